#!/usr/bin/env python3
"""Timing of the MIDI files that `qlor-cli midi` writes, read back with mido (an independent reader).

For many settings (speeds, speed systems, text types, pauses, channels, group sizes) it checks that
  * the file is a format-0 file of one track, 255 ticks per quarter note, readable by mido;
  * every note is on the chosen channel, pitch and program;
  * the body (written with header and ending "none") lasts N x 60 / S seconds from its first note-on
    to its last note-off, N being its characters and S the sending speed, once the extra silence
    of a longer "Pause Delay" is taken off;
  * the closing "PAUSE" marker sits the end pause (5 s by default) after the last note-off;
  * header and ending do not change the tempo.

Usage: midi_timing_test.py PATH/TO/qlor-cli
"""
import itertools
import os
import subprocess
import sys
import tempfile

try:
    import mido
except ImportError:
    sys.exit("python3-mido is missing: run scripts/install-deps")

MAX_TEMPO = 0xFFFFFF
FACTOR_PERCENT = {0: 87, 1: 87, 2: 56, 3: 56, 4: 70, 5: 70}  # PARIS to characters per minute
TYPES = ["L", "R", "N", "NC", "LN", "MX"]


def sending_speed(speed, text_type, paris):
    if paris:
        speed = 5 * (speed * FACTOR_PERCENT[text_type] // 100 // 5)
    return max(speed, 5)


def run(cli, cwd, *args):
    r = subprocess.run([cli, *args], capture_output=True, cwd=cwd, timeout=60)
    if r.returncode != 0:
        raise AssertionError(f"qlor-cli {' '.join(args)} failed: {r.stderr.decode()}")
    return r.stdout


class Track:
    """The events of the one track with absolute ticks."""

    def __init__(self, path):
        f = mido.MidiFile(path)
        assert f.type == 0, f.type
        assert f.ticks_per_beat == 255, f.ticks_per_beat
        assert len(f.tracks) == 1
        self.tempos, self.notes, self.markers, self.programs, self.copyrights = [], [], [], [], []
        tick, open_note = 0, None
        for msg in f.tracks[0]:
            tick += msg.time
            if msg.type == "set_tempo":
                self.tempos.append(msg.tempo)
            elif msg.type == "copyright":
                self.copyrights.append(msg.text)
            elif msg.type == "program_change":
                self.programs.append((msg.channel, msg.program))
            elif msg.type == "text":
                self.markers.append((tick, msg.text))
            elif msg.type == "note_on" and msg.velocity > 0:
                assert open_note is None, "overlapping notes"
                open_note = (tick, msg.channel, msg.note, msg.velocity)
            elif msg.type in ("note_on", "note_off"):
                assert open_note is not None and open_note[2] == msg.note, "note-off without note-on"
                self.notes.append((open_note[0], tick, open_note[1], open_note[2], open_note[3]))
                open_note = None
        assert open_note is None, "note left sounding"
        assert len(self.tempos) == 1 and len(self.markers) == 1


def check(cli, work, settings, failures):
    speed, paris, ttype, pause, channel, groups, size, end_pause = settings
    common = ["--type", TYPES[ttype], "--groups", str(groups), "--group-size", str(size), "--number", "0417"]
    body = run(cli, work, "text", "--header", "none", "--ending", "none", *common).decode("utf-8")
    sound = ["--speed", str(speed), "--pause-delay", str(pause), "--channel", str(channel),
             "--patch", "19", "--tone", "81"]
    if paris:
        sound.append("--paris")
    if end_pause is not None:
        sound += ["--end-pause", str(end_pause)]
    path = os.path.join(work, "body.mid")
    run(cli, work, "midi", "--header", "none", "--ending", "none", *common, *sound, "--out", path)
    t = Track(path)
    label = f"speed {speed} paris {paris} type {TYPES[ttype]} pause {pause} channel {channel} " \
            f"groups {groups}x{size} end pause {end_pause}"

    s = sending_speed(speed, ttype, paris)
    n = len(body.replace(" ", ""))
    tempo = t.tempos[0]
    seconds_per_tick = tempo / 255 / 1e6
    if t.programs != [(channel, 19)]:
        failures.append(f"{label}: program change {t.programs}")
    if any(ch != channel or note != 81 or vel != 100 for _, _, ch, note, vel in t.notes):
        failures.append(f"{label}: notes on the wrong channel, pitch or velocity")
    if t.copyrights != ["QLOR-2000 code trainer"]:
        failures.append(f"{label}: copyright {t.copyrights}")

    first_on, last_off = t.notes[0][0], t.notes[-1][1]
    # A "Pause Delay" above 3 adds silence that the speed does not count: (p - 3) units to each of
    # the size - 1 character gaps of a group and 2 (p - 3) units to each of the groups - 1 word gaps.
    extra_units = (pause - 3) * (groups * (size - 1) + 2 * (groups - 1))
    body_seconds = (last_off - first_on - 16 * extra_units) * seconds_per_tick
    expected = n * 60 / s
    # The tempo is a whole number of microseconds: it may be off by half a microsecond per quarter.
    tolerance = expected * 0.5 / tempo * 1.001 + 1e-9
    if tempo < MAX_TEMPO and abs(body_seconds - expected) > tolerance:
        failures.append(f"{label}: body lasts {body_seconds:.6f} s, expected {expected:.6f} s")

    marker_tick, marker_text = t.markers[0]
    wanted_pause = end_pause or 5
    pause_seconds = (marker_tick - last_off) * seconds_per_tick
    if marker_text != "PAUSE" or abs(pause_seconds - wanted_pause) > seconds_per_tick / 2 + 1e-9:
        failures.append(f"{label}: marker '{marker_text}' {pause_seconds:.6f} s after the last note")

    # The standard header and ending sound at the body's tempo.
    framed = os.path.join(work, "framed.mid")
    run(cli, work, "midi", "--header", "std", "--ending", "std", *common, *sound, "--out", framed)
    framed_track = Track(framed)
    if framed_track.tempos != t.tempos:
        failures.append(f"{label}: header and ending changed the tempo")
    if len(framed_track.notes) <= len(t.notes):
        failures.append(f"{label}: header and ending added no notes")


def main():
    cli = os.path.abspath(sys.argv[1])
    speeds = [0, 5, 12, 50, 60, 99, 150, 250, 399]
    cases = []
    for i, (speed, paris, ttype) in enumerate(itertools.product(speeds, [False, True], range(6))):
        pause = [3, 3, 4, 7, 15][i % 5]
        channel = (i * 7) % 16
        groups, size = [(1, 1), (3, 5), (50, 5), (199, 9), (7, 10)][i % 5]
        end_pause = [None, None, 1, 60][i % 4]
        cases.append((speed, paris, ttype, pause, channel, groups, size, end_pause))
    failures = []
    with tempfile.TemporaryDirectory() as work:
        for case in cases:
            check(cli, work, case, failures)
    for f in failures:
        print("FAIL:", f)
    print(f"{len(cases)} settings checked, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
