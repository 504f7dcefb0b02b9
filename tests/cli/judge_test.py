#!/usr/bin/env python3
"""qlor-cli judge run as an instructor runs it: copies of a class against a competition protocol.

Usage: judge_test.py PATH/TO/qlor-cli
"""
import json
import os
import subprocess
import sys
import tempfile
import unittest

CLI = None


def run(*args, cwd=None):
    return subprocess.run([CLI, *args], capture_output=True, cwd=cwd, timeout=60)


def drop(text, count):
    """The body with `count` characters left out (at distinct places): exactly `count` errors."""
    letters = text.replace(" ", "")
    step = len(letters) // (count + 1)
    return "".join(c for i, c in enumerate(letters) if not (count and i % step == step - 1 and i // step < count))


class Judge(unittest.TestCase):
    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory()
        self.dir = self._tmp.name
        r = self.cli("competition", "--start", "50", "--final", "70", "--out", "c.mid", "--protocol", "p.txt")
        self.assertEqual(r.returncode, 0, r.stderr)
        lines = self.read("p.txt").decode("cp1251").split("\r\n")
        self.bodies = [lines[i + 1] for i, line in enumerate(lines) if line == "vvv="]
        self.assertEqual(len(self.bodies), 4)  # training text, 50, 60, 70

    def tearDown(self):
        self._tmp.cleanup()

    def cli(self, *args):
        return run(*args, cwd=self.dir)

    def read(self, name):
        with open(os.path.join(self.dir, name), "rb") as f:
            return f.read()

    def write(self, name, data):
        with open(os.path.join(self.dir, name), "wb") as f:
            f.write(data if isinstance(data, bytes) else data.encode("utf-8"))

    def judge_json(self, *copies, protocol="p.txt", extra=()):
        args = ["judge", "--protocol", protocol, "--format", "json", *extra]
        for name in copies:
            args += ["--copy", name]
        r = self.cli(*args)
        self.assertEqual(r.returncode, 0, r.stderr)
        return json.loads(r.stdout), r.stderr.decode()

    def test_errors_validity_and_best_speed(self):
        t, b50, b60, b70 = self.bodies
        n = [len(b.replace(" ", "")) for b in self.bodies]
        cases = [
            # blocks of the copy, blocks read, errors per text, best speed
            ([t, b50, b60, b70], 4, [0, 0, 0, 0], 70),
            ([t.lower(), b50.replace(" ", ""), " ".join(b60), b70 + "\n"], 4, [0, 0, 0, 0], 70),
            ([t, drop(b50, 3), drop(b60, 5), drop(b70, 6)], 4, [0, 3, 5, 6], 60),
            ([t, b50 + "ABCDEF", "", b70], 4, [0, 6, n[2], 0], 70),
            ([drop(t, 9), drop(b50, 6), drop(b60, 7), drop(b70, 8)], 4, [9, 6, 7, 8], None),
            # the training text alone is never the result; empty lines at the end add no block
            ([t, "", "", ""], 1, [0, n[1], n[2], n[3]], None),
            # a copy that lacks its last blocks: every character of those texts is an error
            ([t, b50], 2, [0, 0, n[2], n[3]], 50),
            # surplus blocks are not judged
            ([t, b50, b60, b70, "EXTRA"], 5, [0, 0, 0, 0], 70),
        ]
        names = []
        for i, (blocks, _, _, _) in enumerate(cases):
            names.append(f"student{i}.txt")
            self.write(names[-1], "\n\n".join(blocks) + "\n")
        result, stderr = self.judge_json(*names)
        self.assertEqual(result["text_count"], 4)
        self.assertEqual(len(result["students"]), len(cases))
        for student, (_, blocks, errors, best) in zip(result["students"], cases):
            with self.subTest(copy=student["copy"]):
                self.assertEqual(set(student), {"copy", "blocks", "texts", "best_speed"})
                self.assertEqual(student["blocks"], blocks)
                self.assertEqual([t["errors"] for t in student["texts"]], errors)
                self.assertEqual([t["valid"] for t in student["texts"]], [e <= 5 for e in errors])
                self.assertEqual([t["speed"] for t in student["texts"]], [50, 50, 60, 70])
                self.assertEqual([t["train"] for t in student["texts"]], [True, False, False, False])
                self.assertEqual(student["best_speed"], best)
        # The copies with another number of blocks are named on stderr, and nothing else is.
        warnings = stderr.splitlines()
        self.assertEqual(len(warnings), 3, stderr)
        for line, told in zip(warnings, ["student5.txt: 1 block", "student6.txt: 2 blocks", "student7.txt: 5 blocks"]):
            self.assertIn(told + " for 4 texts", line)

    def test_the_protocol_in_russian_printed_or_saved_judges_alike(self):
        r = self.cli("competition", "--start", "50", "--final", "70", "--lang", "ru", "--out", "c.mid")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.write("printed.txt", r.stdout)  # UTF-8, LF
        self.write("copy.txt", "\n\n".join([self.bodies[0], drop(self.bodies[1], 2), "", self.bodies[3]]))
        saved, _ = self.judge_json("copy.txt")
        printed, _ = self.judge_json("copy.txt", protocol="printed.txt")
        self.assertEqual(saved, printed)
        self.assertEqual([t["errors"] for t in saved["students"][0]["texts"]][:2], [0, 2])

    def test_table_csv_and_encodings(self):
        # Russian texts: case is folded by the Windows-1251 rules in either encoding of the copy.
        r = self.cli("competition", "--start", "100", "--final", "100", "--no-train", "--type", "R", "--out", "r.mid",
                     "--protocol", "r.txt")
        self.assertEqual(r.returncode, 0, r.stderr)
        body = [line for line in self.read("r.txt").decode("cp1251").split("\r\n") if line][-2]
        self.write("utf8.txt", body.lower())
        self.write("cp1251.txt", body.lower().encode("cp1251"))
        self.write("bom.txt", b"\xef\xbb\xbf" + drop(body, 6).encode("utf-8"))
        as_utf8, _ = self.judge_json("utf8.txt", "bom.txt", protocol="r.txt")
        as_cp1251, _ = self.judge_json("cp1251.txt", protocol="r.txt", extra=["--encoding", "cp1251"])
        self.assertEqual(as_utf8["students"][0]["texts"][0]["errors"], 0)
        self.assertEqual(as_utf8["students"][1]["texts"][0]["errors"], 6)
        self.assertEqual(as_cp1251["students"][0]["texts"][0]["errors"], 0)

        r = self.cli("judge", "--protocol", "r.txt", "--copy", "utf8.txt", "--copy", "bom.txt")
        self.assertEqual(r.returncode, 0, r.stderr)
        rows = r.stdout.decode().split("\r\n")
        self.assertEqual(rows[0].split(), ["copy", "blocks", "100", "best"])
        self.assertEqual(rows[1].split(), ["utf8.txt", "1/1", "0", "100"])
        self.assertEqual(rows[2].split(), ["bom.txt", "1/1", "6x", "-"])
        r = self.cli("judge", "--protocol", "r.txt", "--copy", "utf8.txt", "--copy", "bom.txt", "--format", "csv")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stdout.decode().split("\r\n"),
                         ["copy,blocks,text,speed,train,errors,valid,best_speed", "utf8.txt,1,1,100,no,0,yes,100",
                          "bom.txt,1,1,100,no,6,no,", ""])

    def test_bad_input(self):
        self.write("copy.txt", self.bodies[0])
        self.write("notext.txt", "Checklist QLOR-2000\r\nBegin\r\nInitial speed 50 spm\r\n")
        os.mkdir(os.path.join(self.dir, "folder"))
        cases = [
            (["--protocol", "notext.txt", "--copy", "copy.txt"], 1, "holds no text"),
            (["--protocol", "p.txt", "--copy", "missing.txt"], 1, "missing.txt"),
            (["--protocol", "p.txt", "--copy", "folder"], 1, "folder"),
            (["--protocol", "missing.txt", "--copy", "copy.txt"], 1, "missing.txt"),
            (["--protocol", "p.txt"], 2, "--copy"),
            (["--copy", "copy.txt"], 2, "--protocol"),
            (["--protocol", "p.txt", "--copy", "copy.txt", "--format", "xml"], 2, "--format"),
        ]
        for args, code, word in cases:
            with self.subTest(args=args):
                r = self.cli("judge", *args)
                self.assertEqual(r.returncode, code, r.stderr)
                lines = r.stderr.decode().splitlines()
                self.assertEqual(len(lines), 1, r.stderr)
                self.assertTrue(lines[0].startswith("qlor-cli: ") and word in lines[0], lines[0])
                self.assertEqual(r.stdout, b"")

    def test_competition_speeds_up_to_990(self):
        for start, final, code in [("980", "990", 0), ("990", "990", 0), ("990", "1000", 2), ("985", "990", 2)]:
            with self.subTest(start=start, final=final):
                r = self.cli("competition", "--start", start, "--final", final, "--out", "hst.mid", "--protocol",
                             "hst.txt")
                self.assertEqual(r.returncode, code, r.stderr)
        lines = self.read("hst.txt").decode("cp1251").split("\r\n")
        body = lines[lines.index("OOOOO 990") + 2]
        self.assertEqual(len(body.split()), 990 // 5)


if __name__ == "__main__":
    CLI = os.path.abspath(sys.argv.pop(1))
    unittest.main()
