#!/usr/bin/env python3
"""qlor-cli text --source and qlor-cli course run as a learner runs them, with the history in a
temporary XDG data folder: the groups unchanged, the course moving on after a good copy, and bad
input (an empty copy, a copy of another text, a newer or damaged history) recording nothing wrongly.

Usage: course_cli_test.py PATH/TO/qlor-cli
"""
import json
import os
import re
import sqlite3
import subprocess
import sys
import tempfile
import unittest

CLI = None
CALL = re.compile(r"^[A-Z0-9]{1,3}[0-9][A-Z]{1,3}(/P|/M|/QRP)?$")


class WorkDir(unittest.TestCase):
    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory()
        self.dir = self._tmp.name
        self.env = dict(os.environ, XDG_DATA_HOME=os.path.join(self.dir, "data"))
        self.history = os.path.join(self.dir, "data", "QLOR", "history.sqlite")

    def tearDown(self):
        self._tmp.cleanup()

    def cli(self, *args):
        return subprocess.run([CLI, *args], capture_output=True, cwd=self.dir, env=self.env, timeout=60)

    def ok(self, *args):
        r = self.cli(*args)
        self.assertEqual(r.returncode, 0, (args, r.stdout, r.stderr))
        return r.stdout.decode("utf-8")

    def write(self, name, text):
        path = os.path.join(self.dir, name)
        with open(path, "w", encoding="ascii", newline="") as f:
            f.write(text)
        return path

    def status(self):
        return json.loads(self.ok("course", "status", "--format", "json"))

    def checks(self):
        return json.loads(self.ok("stats", "--format", "json"))["checks"]


class TextSources(WorkDir):
    def test_groups_are_the_radiogram_byte_for_byte(self):
        for args in (["--number", "0417", "--groups", "7"], ["--type", "MX", "--groups", "3", "--header", "none"],
                     ["--symbols", "abc", "--groups", "2"], ["--own", "CQ DE"]):
            with self.subTest(args=args):
                self.assertEqual(self.cli("text", "--source", "groups", *args).stdout,
                                 self.cli("text", *args).stdout)

    def test_items_are_counted_by_groups_and_decided_by_the_number(self):
        frame = ["--header", "none", "--ending", "none"]
        cases = [("callsigns", 12, lambda item: CALL.match(item)), ("words", 9, lambda item: item.isupper() or
                                                                     item.isalnum() or item.endswith("?"))]
        for source, count, fits in cases:
            with self.subTest(source=source):
                text = self.ok("text", "--source", source, "--number", "1234", "--groups", str(count), *frame)
                items = text.split()
                self.assertEqual(len(items), count, text)
                self.assertTrue(text.endswith(" "), text)
                for item in items:
                    self.assertTrue(fits(item), item)
                self.assertEqual(text, self.ok("text", "--source", source, "--number", "1234", "--groups",
                                               str(count), *frame))
                self.assertNotEqual(text, self.ok("text", "--source", source, "--number", "1235", "--groups",
                                                  str(count), *frame))
        qso = self.ok("text", "--source", "qso", "--number", "0001", "--groups", "2")
        self.assertTrue(qso.startswith("vvv=\r\nCQ CQ CQ DE "), qso)  # framed like every radiogram
        self.assertTrue(qso.endswith(" K \r\n*"), qso)

    def test_an_unknown_source_is_a_bad_argument(self):
        r = self.cli("text", "--source", "poems")
        self.assertEqual(r.returncode, 2)
        self.assertIn("groups, callsigns, words or qso", r.stderr.decode())


class Course(WorkDir):
    def next_text(self, *args):
        text = self.ok("course", "next", *args)
        self.assertRegex(text, r"^([A-Z0-9.,?/=]{5} )+$")
        return text

    def test_a_good_copy_moves_the_course_on_and_every_check_is_recorded(self):
        self.assertEqual(self.status()["lesson"], 1)
        self.assertEqual(self.status()["characters"], "KM")
        text = self.next_text("--out", "lesson.mid")
        with open(os.path.join(self.dir, "lesson.mid"), "rb") as f:
            self.assertEqual(f.read(4), b"MThd")
        self.assertEqual(set(text) - set("KM "), set())
        self.assertEqual(len(text.split()), 20)  # a minute at 100 cpm
        self.assertEqual(self.status()["pending_text_number"], 1)

        # One error: the course still moves on, and says so.
        copy = self.write("copy.txt", "E" + text[1:].lower())
        out = self.ok("course", "check", "--copy", copy)
        self.assertIn("Lesson 1 passed: lesson 2 adds U.", out)
        self.assertIn("^", out)
        status = self.status()
        self.assertEqual((status["lesson"], status["characters"], status["checks"]), (2, "KMU", 0))
        self.assertIsNone(status["pending_text_number"])
        self.assertEqual(set(status["counts"]), {"K", "M", "U"})
        self.assertEqual(set(status["counts"]["K"]), {"sent", "correct", "omitted", "inserted", "error_rate", "heard"})
        self.assertEqual(self.checks(), 1)

        # Lesson 2: a poor copy keeps it, and the numbers go on.
        text = self.next_text()
        self.assertEqual(set(text) - set("KMU "), set())
        half = self.write("half.txt", text[: len(text) // 2])
        out = self.ok("course", "check", "--copy", half)
        self.assertIn("Lesson 2 goes on.", out)
        status = self.status()
        self.assertEqual((status["lesson"], status["checks"]), (2, 1))
        self.assertLess(status["accuracy"], 0.9)
        self.assertEqual(self.checks(), 2)
        db = sqlite3.connect(self.history)
        self.assertEqual(db.execute("SELECT text_number FROM checks ORDER BY id").fetchall(), [(1,), (7920,)])
        self.assertEqual(db.execute("SELECT lesson FROM course_checks ORDER BY check_id").fetchall(), [(1,), (2,)])

    def test_settings_shape_the_next_text(self):
        out = self.ok("course", "set", "--cpm", "200", "--pause-delay", "9", "--checks", "5", "--accuracy", "95",
                      "--min-sent", "30", "--lesson", "4")
        self.assertIn("Lesson 4 of 40: KMURE", out)
        s = self.status()["settings"]
        self.assertEqual((s["char_speed_cpm"], s["pause_delay"], s["effective_cpm"], s["recent_checks"],
                          s["pass_percent"], s["min_newest_sent"]), (200, 9, 116, 5, 95, 30))
        self.assertEqual(len(self.next_text().split()), 23)  # 116 characters a minute
        for bad in (["--cpm", "1001"], ["--pause-delay", "2"], ["--lesson", "41"]):
            with self.subTest(bad=bad):
                self.assertEqual(self.cli("course", "set", *bad).returncode, 2)

    def test_words_or_callsigns_of_the_lesson_or_groups_when_it_has_too_few(self):
        self.assertEqual((self.status()["source"], self.status()["text_source"]), ("groups", "groups"))
        for lesson, source, letters, sent in ((10, "words", "KMURESNAPTL", "words"),
                                              (40, "callsigns", None, "callsigns"),
                                              (1, "words", "KM", "groups"), (12, "callsigns", None, "groups")):
            with self.subTest(lesson=lesson, source=source):
                out = self.ok("course", "set", "--lesson", str(lesson), "--source", source)
                self.assertIn("groups are sent" if sent == "groups" else "Texts: " + source, out)
                s = self.status()
                self.assertEqual((s["source"], s["text_source"]), (source, sent))
                text = self.ok("course", "next")
                self.assertEqual(self.ok("course", "status").count("Texts: "), 1)
                items = text.split()
                if sent == "groups":
                    self.assertTrue(all(len(item) == 5 for item in items), text)
                elif source == "callsigns":
                    self.assertTrue(all(CALL.match(item) for item in items), text)
                if letters:
                    self.assertEqual(set(text) - set(letters + " "), set())
                # The copy of the text is checked like a copy of groups.
                out = self.ok("course", "check", "--copy", self.write("copy.txt", text))
                self.assertIn("Aligned: 0 errors", out)
        self.assertEqual(self.cli("course", "set", "--source", "qso").returncode, 2)

        # The choice is a row of its own: a history without it (written by an older program) reads
        # as groups, keeps its course, and gains the table again when it is opened.
        db = sqlite3.connect(self.history)
        self.assertEqual(db.execute("SELECT value FROM course_options WHERE name = 'source'").fetchall(),
                         [("callsigns",)])
        db.execute("DROP TABLE course_options")
        db.commit()
        db.close()
        s = self.status()
        self.assertEqual((s["lesson"], s["source"], s["text_source"]), (12, "groups", "groups"))
        self.assertEqual(self.checks(), 4)
        self.ok("course", "set", "--source", "words")
        self.assertEqual(self.status()["source"], "words")

    def test_bad_copies_record_nothing(self):
        r = self.cli("course", "check", "--copy", self.write("c.txt", "KMKMK"))
        self.assertEqual(r.returncode, 1)
        self.assertIn("No lesson text waits for its copy", r.stderr.decode())
        text = self.next_text()
        cases = [("empty.txt", " \r\n", "The copy is empty"),
                 ("other.txt", "ABCDE FGHIJ LOPQR STVWX", "does not look like a copy of lesson text 0001")]
        for name, copy, message in cases:
            with self.subTest(copy=name):
                r = self.cli("course", "check", "--copy", self.write(name, copy))
                self.assertEqual(r.returncode, 1)
                self.assertIn(message, r.stderr.decode())
                self.assertEqual(r.stdout, b"")
                self.assertEqual(self.checks(), 0)
                self.assertEqual(self.status()["pending_text_number"], 1)  # the text still waits
        r = self.cli("course", "check", "--copy", os.path.join(self.dir, "missing.txt"))
        self.assertEqual(r.returncode, 1)
        self.ok("course", "check", "--copy", self.write("good.txt", text))
        self.assertEqual(self.checks(), 1)

    def test_a_newer_history_is_left_alone_and_a_damaged_one_kept_aside(self):
        self.next_text()
        db = sqlite3.connect(self.history)
        db.execute("PRAGMA user_version = 9")
        db.commit()
        db.close()
        with open(self.history, "rb") as f:
            before = f.read()
        for args in (["status"], ["next"], ["check", "--copy", self.write("c.txt", "KMKMK")], ["set", "--cpm", "80"]):
            with self.subTest(args=args):
                r = self.cli("course", *args)
                self.assertEqual(r.returncode, 1, r.stderr)
                self.assertIn("newer", r.stderr.decode())
                self.assertEqual(r.stdout, b"")
        with open(self.history, "rb") as f:
            self.assertEqual(f.read(), before)

        with open(self.history, "wb") as f:
            f.write(os.urandom(3000))
        for suffix in ("-wal", "-shm"):
            if os.path.exists(self.history + suffix):
                os.remove(self.history + suffix)
        r = self.cli("course", "status")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn("damaged", r.stderr.decode().lower())
        kept = [n for n in os.listdir(os.path.dirname(self.history)) if ".damaged-" in n]
        self.assertTrue(kept, os.listdir(os.path.dirname(self.history)))
        self.assertEqual(self.status()["lesson"], 1)

    def test_help_of_each_part(self):
        for part, option in (("status", "--format"), ("next", "--out"), ("check", "--copy"), ("set", "--cpm")):
            with self.subTest(part=part):
                out = self.ok("course", part, "--help")
                self.assertTrue(out.startswith("usage: qlor-cli course " + part), out)
                self.assertIn(option, out)
        self.assertEqual(self.cli("course").returncode, 2)
        self.assertEqual(self.cli("course", "begin").returncode, 2)
        self.assertEqual(self.cli("course", "status", "--bogus").returncode, 2)


class Recognition(WorkDir):
    """qlor-cli icr on a silent sound device, the keys piped in."""

    def icr(self, keys, *args):
        env = dict(self.env, SDL_AUDIODRIVER="dummy")
        return subprocess.run([CLI, "icr", *args], input=keys, capture_output=True, cwd=self.dir, env=env,
                              timeout=120)

    def test_answers_are_told_summed_up_and_recorded(self):
        r = self.icr(b"KMKMKXKM", "--chars", "km", "--count", "6", "--seed", "5", "--cpm", "300")
        self.assertEqual(r.returncode, 0, r.stderr)
        lines = r.stdout.decode().splitlines()
        told = [l for l in lines if l.startswith(("Right: ", "Wrong: "))]
        self.assertEqual(len(told), 6, lines)
        right = sum(l.startswith("Right: ") for l in told)
        self.assertIn(f"{right} of 6 right", r.stdout.decode())
        self.assertTrue(any(re.match(r"^[KM]: \d of \d right, median reaction \d+ ms$", l) for l in lines), lines)
        db = sqlite3.connect(self.history)
        self.assertEqual(db.execute("SELECT characters, char_speed_cpm, seed FROM recognition_sessions").fetchall(),
                         [("KM", 300, 5)])
        answers = db.execute("SELECT shown, typed FROM recognition_answers ORDER BY seq").fetchall()
        self.assertEqual([typed for _, typed in answers], list("KMKMKX"))
        self.assertEqual(sum(shown == typed for shown, typed in answers), right)
        # The same seed and keys give the same characters.
        self.assertEqual(self.icr(b"KMKMKXKM", "--chars", "KM", "--count", "6", "--seed", "5").stdout.decode()
                         .splitlines()[:6], told)

    def test_words_are_typed_up_to_enter_and_recorded_whole(self):
        # "K" is the only telegraph word of K alone.
        r = self.icr(b"k\nKX\n", "--chars", "K", "--source", "words", "--count", "2", "--seed", "5", "--cpm", "300")
        self.assertEqual(r.returncode, 0, r.stderr)
        out = r.stdout.decode()
        self.assertRegex(out, r"Right: K \(\d+ ms\)\nWrong: it was K, not KX\n")
        self.assertIn("1 of 2 right", out)
        self.assertRegex(out, r"\nK: 1 of 2 right, median reaction \d+ ms\n")
        # Callsigns of the characters given, decided by the seed; Enter alone is a wrong answer.
        chars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/"
        r = self.icr(b"\n", "--chars", chars, "--source", "callsigns", "--count", "1", "--seed", "7")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertRegex(r.stdout.decode(), r"^Wrong: it was \S+, not -\n")
        self.assertEqual(self.icr(b"\n", "--chars", "K", "--source", "callsigns").returncode, 1)
        db = sqlite3.connect(self.history)
        sessions = db.execute("SELECT s.characters, m.mode FROM recognition_sessions s "
                              "JOIN recognition_modes m ON m.session_id = s.id ORDER BY s.id").fetchall()
        self.assertEqual(sessions, [("K", "words"), (chars, "callsigns")])
        answers = db.execute("SELECT shown, typed FROM recognition_answers ORDER BY session_id, seq").fetchall()
        self.assertEqual(answers[:2], [("K", "K"), ("K", "KX")])
        self.assertRegex(answers[2][0], CALL)
        self.assertEqual(answers[2][1], "")

    def test_escape_or_the_end_of_input_ends_the_session(self):
        r = self.icr(b"K\x1b", "--chars", "K", "--count", "5", "--seed", "1")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn("1 of 1 right", r.stdout.decode())
        r = self.icr(b"", "--chars", "K", "--count", "5")
        self.assertEqual((r.returncode, r.stdout), (0, b""))
        self.assertEqual(sqlite3.connect(self.history).execute("SELECT count(*) FROM recognition_sessions")
                         .fetchone(), (1,))


if __name__ == "__main__":
    CLI = os.path.abspath(sys.argv.pop(1))
    unittest.main()
