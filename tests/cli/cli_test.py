#!/usr/bin/env python3
"""qlor-cli text, elements and midi run as a user runs them: exact output, exit codes, files.

Usage: cli_test.py PATH/TO/qlor-cli
"""
import os
import pty
import subprocess
import sys
import tempfile
import tty
import unittest

CLI = None


def read(path):
    with open(path, "rb") as f:
        return f.read()


def run(*args, cwd=None):
    return subprocess.run([CLI, *args], capture_output=True, cwd=cwd, timeout=60)


class WorkDir(unittest.TestCase):
    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory()
        self.dir = self._tmp.name

    def tearDown(self):
        self._tmp.cleanup()

    def cli(self, *args):
        return run(*args, cwd=self.dir)

    def assertOutput(self, args, expected):
        r = self.cli(*args)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stdout, expected)
        self.assertEqual(r.stderr, b"")

    def assertUsageError(self, *args):
        r = self.cli(*args)
        self.assertEqual(r.returncode, 2, (args, r.stdout, r.stderr))
        lines = r.stderr.decode("utf-8").splitlines()
        self.assertEqual(len(lines), 1, (args, r.stderr))
        self.assertTrue(lines[0].startswith("qlor-cli: "), lines[0])
        self.assertEqual(r.stdout, b"")


NONE = ["--header", "none", "--ending", "none"]


class TextCommand(WorkDir):
    def test_bodies_of_every_type(self):
        cases = [
            (["--type", "L", "--groups", "4"], "ERVHJ YXDKQ FJCVG UXLAG "),
            (["--type", "R", "--groups", "3"], "ДХЩЙК ЮЬГМУ ЖЛВЩЗ "),
            (["--type", "N", "--groups", "4"], "16733 98146 23172 78402 "),
            (["--type", "nc", "--groups", "4"], "16733 98146 23172 784T2 "),
            (["--type", "LN", "--groups", "3"], "FY3KM 86EOW HMC3I "),
            (["--type", "MX", "--groups", "3"], "G27MO /.FQ0 IOC7K "),
            (["--number", "1234", "--type", "N", "--groups", "2", "--group-size", "10"],
             "6048857875 6798473473 "),
            (["--number", "1234", "--type", "NC", "--groups", "2", "--group-size", "0"],
             "6T48857875 6798473473 "),
            (["--number", "0019", "--type", "N", "--groups", "1", "--group-size", "10"], "1696904337 "),
            # An empty symbol memo allows three equal characters in a row.
            (["--number", "0019", "--type", "N", "--groups", "1", "--group-size", "10", "--memo", ""],
             "1696904333 "),
            (["--symbols", "ab", "--groups", "2"], "BBABA BBAAB "),
            # "--name=value", and an option given twice counts the last time.
            (["--type=l", "--groups=9", "--groups", "4"], "ERVHJ YXDKQ FJCVG UXLAG "),
        ]
        for args, body in cases:
            with self.subTest(args=args):
                self.assertOutput(["text", *NONE, *args], body.encode("utf-8"))

    def test_headers_endings_and_defaults(self):
        r = self.cli("text")
        self.assertEqual(r.returncode, 0)
        out = r.stdout
        self.assertTrue(out.startswith(b"vvv=\r\nERVHJ YXDKQ FJCVG UXLAG "), out[:40])
        self.assertTrue(out.endswith(b" \r\n*"), out[-10:])
        self.assertEqual(len(out[len(b"vvv=\r\n"):-len(b"\r\n*")].split()), 50)
        self.assertOutput(["text", "--groups", "2", "--header", "QST de", "--ending", "K"],
                          b"QST de\r\nERVHJ YXDKQ K")
        self.assertOutput(["text", "--groups", "1", "--header", "std", "--ending", "std"],
                          b"vvv=\r\nERVHJ \r\n*")

    def test_own_text_and_encodings(self):
        self.assertOutput(["text", "--own", "cq cq\nde"], b"cq cq\r\nde")
        self.assertOutput(["text", "--own", ""], b"*")
        cp = "ДХЩЙК ЮЬГМУ ".encode("cp1251")
        self.assertOutput(["text", *NONE, "--type", "R", "--groups", "2", "--encoding", "cp1251"], cp)
        self.assertOutput(["text", "--encoding", "cp1251", "--own", "Привет".encode("cp1251")],
                          "Привет".encode("cp1251"))

    def test_failed_generation_exits_1_with_the_message(self):
        r = self.cli("text", "--symbols", "A!", "--group-size", "3")
        self.assertEqual(r.returncode, 1)
        self.assertEqual(r.stdout, b"")
        err = r.stderr.decode("utf-8")
        self.assertIn("Ошибка формирования текста", err)
        self.assertIn("Не могу сформировать текст - набор символов слишком мал!", err)
        # Groups of two still work with the same list.
        self.assertOutput(["text", *NONE, "--symbols", "A!", "--group-size", "2", "--groups", "2"], b"AA AA ")

    def test_line_break_only_on_a_terminal(self):
        # A raw-mode terminal, so the line discipline adds nothing of its own.
        master, slave = pty.openpty()
        tty.setraw(slave)
        try:
            r = subprocess.run([CLI, "text", *NONE, "--groups", "2"], stdout=slave, stderr=subprocess.PIPE,
                               cwd=self.dir, timeout=60)
        finally:
            os.close(slave)
        out = b""
        while True:
            try:
                chunk = os.read(master, 4096)
            except OSError:  # EIO: the terminal has been read to its end
                break
            if not chunk:
                break
            out += chunk
        os.close(master)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(out, b"ERVHJ YXDKQ \r\n")
        # The same command into a pipe: the radiogram alone.
        self.assertOutput(["text", *NONE, "--groups", "2"], b"ERVHJ YXDKQ ")


class ElementsCommand(WorkDir):
    def test_examples(self):
        self.assertOutput(["elements", "AB C"], b"DPTQTPDPDPDRTPDPTPD 3\n")
        self.assertOutput(["elements", "PARIS"], b"DPTPTPDQDPTQDPTPDQDPDQDPDPD 5\n")
        self.assertOutput(["elements", "sos"], b"DPDPDQTPTPTQDPDPD 3\n")
        self.assertOutput(["elements", "а ё б"], b"DPTRTPDPDPD 2\n")
        self.assertOutput(["elements", "--", "--"], b" 0\n")
        self.assertOutput(["elements", ""], b" 0\n")
        self.assertOutput(["elements", "--encoding", "cp1251", "я".encode("cp1251")], b"DPTPDPT 1\n")

    def test_morse_txt_of_the_current_directory_applies(self):
        with open(os.path.join(self.dir, "Morse.txt"), "wb") as f:
            f.write(b"; E as S\r\n5:DPDPD;\r\n20:DDD;\r\nbad line\r\n")
        self.assertOutput(["elements", "ET"], b"DPDPDQD 2\n")


class MidiCommand(WorkDir):
    def path(self, name):
        return os.path.join(self.dir, name)

    def test_single_letter_file_is_byte_exact(self):
        r = self.cli("midi", "--own", "E", "--speed", "60", "--out", self.path("e.mid"))
        self.assertEqual(r.returncode, 0, r.stderr)
        expected = bytes.fromhex(
            "4D546864 00000006 0000 0001 00FF 4D54726B 00000038"
            "00C046 00FF5103F32FDC 00FF0216") + b"QLOR-2000 code trainer" + bytes.fromhex(
            "00904964104900 50FF0105") + b"PAUSE" + bytes.fromhex("00FF2F00")
        self.assertEqual(read(self.path("e.mid")), expected)

    def test_sound_options_reach_the_file(self):
        r = self.cli("midi", "--own", "E", "--channel", "15", "--patch", "127", "--tone", "110",
                     "--out", self.path("c.mid"))
        self.assertEqual(r.returncode, 0, r.stderr)
        data = read(self.path("c.mid"))
        self.assertEqual(data[22:25], bytes([0x00, 0xCF, 0x7F]))
        self.assertEqual(data[58:63], bytes([0x00, 0x9F, 110, 0x64, 0x10]))

    def test_unkeyable_text_and_unwritable_path_exit_1_and_leave_nothing(self):
        r = self.cli("midi", "--own", "- - -", "--out", self.path("x.mid"))
        self.assertEqual(r.returncode, 1)
        self.assertEqual(len(r.stderr.decode().splitlines()), 1)
        self.assertEqual(os.listdir(self.dir), [])
        target = self.path("missing/x.mid")
        r = self.cli("midi", "--out", target)
        self.assertEqual(r.returncode, 1)
        self.assertIn(target, r.stderr.decode())
        self.assertEqual(os.listdir(self.dir), [])

    def test_noise_is_written_whole_or_not_at_all(self):
        r = self.cli("noise", "--kind", "static", "--seconds", "1", "--rate", "8000", "--out", self.path("s.flac"))
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(os.listdir(self.dir), ["s.flac"])
        os.remove(self.path("s.flac"))
        target = self.path("missing/n.wav")
        r = self.cli("noise", "--kind", "hiss", "--out", target)
        self.assertEqual(r.returncode, 1)
        self.assertEqual(len(r.stderr.decode().splitlines()), 1)
        self.assertEqual(os.listdir(self.dir), [])

    def test_paris_speed_is_converted(self):
        # PARIS 100 for letters is 85 characters per minute: the same file as 85 cpm.
        self.assertEqual(self.cli("midi", "--paris", "--speed", "100", "--out", self.path("p.mid")).returncode, 0)
        self.assertEqual(self.cli("midi", "--speed", "85", "--out", self.path("c.mid")).returncode, 0)
        self.assertEqual(read(self.path("p.mid")), read(self.path("c.mid")))
        # Speeds are written as the panel shows them: a leading 0 is decimal, not octal.
        self.assertEqual(self.cli("midi", "--speed", "085", "--out", self.path("z.mid")).returncode, 0)
        self.assertEqual(read(self.path("z.mid")), read(self.path("c.mid")))


class BadArguments(WorkDir):
    def test_usage_errors_exit_2_with_one_line(self):
        out = ["--out", "x.mid"]
        for args in [
            ["nosuchcommand"],
            ["--bogus"],
            ["text", "--bogus"],
            ["text", "--bogus=1"],
            ["text", "-x"],
            ["text", "--groups"],
            ["text", "--", "--groups", "2"],
            ["text", "--groups", "200"],
            ["text", "--groups", "-1"],
            ["text", "--groups", "ten"],
            ["text", "--group-size", "11"],
            ["text", "--number", "12345"],
            ["text", "--number", "12a"],
            ["text", "--type", "Q"],
            ["text", "--header"],
            ["text", "--speed", "50"],  # a sound option is not a text option
            ["text", "stray"],
            ["text", "--encoding", "koi8"],
            ["midi"],
            ["midi", "--speed", "400", *out],
            ["midi", "--speed", "99999999999999999999", *out],
            ["midi", "--channel", "16", *out],
            ["midi", "--patch", "128", *out],
            ["midi", "--pause-delay", "2", *out],
            ["midi", "--pause-delay", "16", *out],
            ["midi", "--tone", "39", *out],
            ["midi", "--tone", "111", *out],
            ["midi", "--end-pause", "-1", *out],
            ["midi", "--paris=yes", *out],
            ["midi", "--out", ""],
            ["elements"],
            ["elements", "A", "B"],
            ["elements", "--", "A", "--"],
            ["noise", "--out", "n.wav"],
            ["noise", "--kind", "pink", "--out", "n.wav"],
            ["noise", "--kind", "hiss", "--rate", "7999", "--out", "n.wav"],
            ["noise", "--kind", "hiss", "--rate", "192001", "--out", "n.wav"],
            ["noise", "--kind", "hiss", "--seconds", "0", "--out", "n.wav"],
            ["noise", "--kind", "hiss", "--seconds", "3601", "--out", "n.wav"],
            ["noise", "--kind", "hiss", "--out", "n.mp3"],
            ["render", "t.mid", "--noise", "n.wav", "--snr", "-21", "--out", "r.wav"],
            ["render", "t.mid", "--noise", "n.wav", "--snr", "61", "--out", "r.wav"],
            ["render", "t.mid", "--snr", "10", "--out", "r.wav"],
            ["render", "t.mid", "--noise", "n.wav", "--snr", "ten", "--out", "r.wav"],
            ["render", "t.mid", "--fading", "medium", "--out", "r.wav"],
            ["render", "t.mid", "--fading-depth", "10", "--out", "r.wav"],
            ["render", "t.mid", "--voice", "piano", "--out", "r.wav"],
            ["render", "t.mid", "--rate", "7999", "--out", "r.wav"],
            ["render", "t.mid", "--band", "off", "--out", "r.wav"],
            ["render", "t.mid", "--band", "quiet", "--snr", "61", "--out", "r.wav"],
            ["render", "t.mid", "--band", "quiet", "--qrm", "13", "--out", "r.wav"],
            ["render", "t.mid", "--band", "quiet", "--qsb", "deep", "--out", "r.wav"],
            ["render", "t.mid", "--band", "quiet", "--qrn", "medium", "--out", "r.wav"],
            ["render", "t.mid", "--band", "quiet", "--filter", "300", "--out", "r.wav"],
            ["render", "t.mid", "--band", "quiet", "--agc", "yes", "--out", "r.wav"],
            ["render", "t.mid", "--band", "quiet", "--seed", "-1", "--out", "r.wav"],
            ["render", "t.mid", "--qsb", "slow", "--out", "r.wav"],  # a part of the band without --band
            ["export", "--band", "contest"],  # the band of the sound files without --audio
            ["band", "--out", "b.wav"],
            ["band", "--preset", "loud", "--out", "b.wav"],
            ["band", "--preset", "quiet", "--seconds", "3601", "--out", "b.wav"],
            ["band", "--preset", "quiet", "--rate", "7999", "--out", "b.wav"],
            ["band", "--preset", "quiet", "--tone", "111", "--out", "b.wav"],
            ["band", "--preset", "quiet", "--filter", "1000", "--out", "b.wav"],
            ["band", "--preset", "quiet", "--out", "b.aiff"],
            ["check", "--sent", "s.txt", "--copy", "c.txt", "--voice", "piano"],
            ["check", "--sent", "s.txt", "--copy", "c.txt", "--number", "123"],
            ["stats", "--last", "0"],
        ]:
            with self.subTest(args=args):
                self.assertUsageError(*args)
        self.assertEqual(os.listdir(self.dir), [])

    def test_every_command_has_its_own_help(self):
        commands = [line.split()[0] for line in run("--help").stdout.decode().splitlines()[1:]]
        self.assertIn("render", commands)
        def options(text):
            return {w.strip("[]") for w in text.split() if w.strip("[]").startswith("--")}

        for command in commands:
            for flag in ("--help", "-h"):
                with self.subTest(command=command, flag=flag):
                    r = self.cli(command, flag)
                    self.assertEqual(r.returncode, 0, r.stderr)
                    self.assertTrue(r.stdout.startswith(b"usage: qlor-cli " + command.encode()), r.stdout)
                    # The usage line names exactly the options the command's list explains.
                    usage, listing = r.stdout.decode().split("\n", 1)
                    listed = {line.split()[0].split(",")[-1] for line in listing.splitlines()
                              if line.strip().startswith("-")}
                    self.assertEqual(options(usage), listed - {"--help"})
        # --help counts even after a bad value: it is what a user asks when a command fails.
        r = self.cli("text", "--groups", "500", "--help")
        self.assertEqual((r.returncode, r.stderr), (0, b""))
        self.assertTrue(r.stdout.startswith(b"usage: qlor-cli text"), r.stdout)
        r = run("--version")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertRegex(r.stdout.decode(), r"^qlor-cli \S+\n$")
        self.assertEqual(os.listdir(self.dir), [])


class OddFilesAndFullDisks(WorkDir):
    def test_odd_inputs_never_hang_and_exit_1_with_one_line(self):
        fifo = os.path.join(self.dir, "fifo.txt")
        os.mkfifo(fifo)  # no writer: a blocking open would hang
        os.mkdir(os.path.join(self.dir, "folder.txt"))
        # A FIFO "Morse.txt" counts as missing.
        os.mkfifo(os.path.join(self.dir, "Morse.txt"))
        r = subprocess.run([CLI, "elements", "E"], capture_output=True, cwd=self.dir, timeout=10)
        self.assertEqual((r.returncode, r.stdout), (0, b"D 1\n"), r.stderr)
        with open(os.path.join(self.dir, "copy.txt"), "wb") as f:
            f.write(b"PARIS")
        for odd in (fifo, os.path.join(self.dir, "folder.txt"), "/dev/zero"):
            with self.subTest(odd=odd):
                r = subprocess.run([CLI, "check", "--sent", odd, "--copy", "copy.txt"], capture_output=True,
                                   cwd=self.dir, timeout=10)
                self.assertEqual(r.returncode, 1)
                self.assertEqual(len(r.stderr.splitlines()), 1, r.stderr)
                self.assertIn(odd.encode(), r.stderr)

    def test_full_disk_keeps_the_old_output_and_says_why(self):
        import resource
        import signal
        old = os.path.join(self.dir, "old.mid")
        with open(old, "wb") as f:
            f.write(b"the old file")

        def small_disk():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (64, 64))

        r = subprocess.run([CLI, "midi", "--groups", "20", "--out", "old.mid"], capture_output=True, cwd=self.dir,
                           timeout=60, preexec_fn=small_disk)
        self.assertEqual(r.returncode, 1, r.stderr)
        self.assertIn(b"old.mid", r.stderr)
        self.assertIn(os.strerror(27).encode(), r.stderr)  # EFBIG, the real reason
        self.assertEqual(read(old), b"the old file")
        self.assertEqual(sorted(os.listdir(self.dir)), ["old.mid"])

    def test_render_never_follows_a_link_planted_at_its_part_file(self):
        if b"render" not in run("--help").stdout:
            self.skipTest("qlor-cli built without audio")
        self.assertEqual(self.cli("midi", "--groups", "1", "--out", "t.mid").returncode, 0)
        victim = os.path.join(self.dir, "victim")
        with open(victim, "wb") as f:
            f.write(b"keep")
        os.symlink(victim, os.path.join(self.dir, "t.wav.part"))
        r = self.cli("render", "t.mid", "--voice", "tone", "--out", "t.wav")
        self.assertEqual(r.returncode, 1, r.stderr)
        self.assertIn(b"t.wav.part", r.stderr)
        self.assertEqual(read(victim), b"keep")
        self.assertFalse(os.path.exists(os.path.join(self.dir, "t.wav")))


if __name__ == "__main__":
    CLI = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
