#!/usr/bin/env python3
"""Installs the build into temporary prefixes and checks what a desktop user gets.

InstalledLayout: the installed file set, the language files byte for byte, the desktop entry
(desktop-file-validate), the AppStream metadata (appstreamcli validate --no-net), the icon, and a
DESTDIR install.
Launcher: the installed qlor-launcher, run with a fake HOME / XDG_DATA_HOME and a stub `qlor` put
next to it that reports its working folder and the language files it sees there.

Usage: install_test.py --cmake CMAKE --build-dir DIR --source-dir DIR --prefix DIR --bindir DIR
                       --datadir DIR --version X.Y.Z
                       [unittest arguments, e.g. a class name]
"""

import argparse
import configparser
import os
import re
import shutil
import stat
import subprocess
import sys
import tempfile
import unittest
import wave
import xml.etree.ElementTree as ET

APP_ID = "io.github.qlor2000.QLOR"
NOISE_RECORDINGS = ["noise-hiss.wav", "noise-mix.wav", "noise-qrm.wav", "noise-static.wav"]
ARGS = None

# Stands in for the window program: prints where it was started and what it would find there.
STUB_QLOR = """#!/bin/sh
printf 'cwd=%s\\n' "$(pwd -P)"
for a; do
    printf 'arg=%s\\n' "$a"
done
for f in *.lng; do
    [ -e "$f" ] && printf 'lng=%s\\n' "$f"
done
for f in *.wav; do
    [ -e "$f" ] && printf 'wav=%s\\n' "$f"
done
exit 0
"""


def bin_dir():
    return ARGS.bindir


def data_dir():
    return ARGS.datadir


def run_install(prefix=None, destdir=None):
    env = dict(os.environ)
    env.pop("DESTDIR", None)
    if destdir:
        env["DESTDIR"] = destdir
    cmd = [ARGS.cmake, "--install", ARGS.build_dir]
    if prefix:
        cmd += ["--prefix", prefix]
    done = subprocess.run(cmd, env=env, capture_output=True, text=True)
    if done.returncode != 0:
        raise AssertionError(f"{' '.join(cmd)} failed:\n{done.stdout}\n{done.stderr}")


def read_desktop_entry(path):
    parser = configparser.ConfigParser(interpolation=None, strict=True)
    parser.optionxform = str
    with open(path, encoding="utf-8") as f:
        parser.read_file(f)
    return parser["Desktop Entry"]


def shipped_languages():
    data = os.path.join(ARGS.source_dir, "data")
    return sorted(n for n in os.listdir(data) if n.endswith(".lng"))


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def put_stub(prefix):
    """Replaces the installed window program by the stub (or puts it there)."""
    path = os.path.join(prefix, bin_dir(), "qlor")
    if os.path.lexists(path):
        os.remove(path)
    with open(path, "w", encoding="utf-8") as f:
        f.write(STUB_QLOR)
    os.chmod(path, 0o755)


class InstalledLayout(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory(prefix="qlor-install-")
        cls.prefix = os.path.join(cls.tmp.name, "prefix with space")
        run_install(cls.prefix)
        cls.share = os.path.join(cls.prefix, data_dir())
        cls.bin = os.path.join(cls.prefix, bin_dir())
        cls.desktop = os.path.join(cls.share, "applications", APP_ID + ".desktop")
        cls.metainfo = os.path.join(cls.share, "metainfo", APP_ID + ".metainfo.xml")
        cls.icon = os.path.join(cls.share, "icons", "hicolor", "scalable", "apps", APP_ID + ".svg")

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_file_set(self):
        for name in ("qlor", "qlor-cli", "qlor-launcher"):
            path = os.path.join(self.bin, name)
            with self.subTest(program=name):
                self.assertTrue(os.path.isfile(path), path)
                self.assertTrue(os.access(path, os.X_OK), f"{path} is not executable")
        for path in (self.desktop, self.metainfo, self.icon):
            with self.subTest(file=path):
                self.assertTrue(os.path.isfile(path), path)
        # The launcher is configured, and it points at no folder of the build machine.
        with open(os.path.join(self.bin, "qlor-launcher"), encoding="utf-8") as f:
            launcher = f.read()
        self.assertNotIn("@QLOR_", launcher)
        self.assertNotIn(ARGS.build_dir, launcher)
        self.assertNotIn(ARGS.source_dir, launcher)

    def test_manual_pages_and_completion_cover_every_command(self):
        help_text = subprocess.run([os.path.join(self.bin, "qlor-cli"), "--help"], capture_output=True,
                                   text=True, check=True).stdout
        commands = [line.split()[0] for line in help_text.splitlines()[1:] if line.strip()]
        options = {w.strip("[]").split("=")[0] for w in help_text.split() if w.strip("[]").startswith("--")}
        self.assertIn("render", commands)
        man1 = os.path.join(self.share, "man", "man1")
        for page in ("qlor", "qlor-cli"):
            path = os.path.join(man1, page + ".1.gz")
            with self.subTest(page=page):
                self.assertTrue(os.path.isfile(path), path)
                # Rendered without a warning of the formatter.
                done = subprocess.run(["man", "--warnings", "-E", "UTF-8", "-l", path], capture_output=True,
                                      text=True, env=dict(os.environ, MANWIDTH="80", MAN_KEEP_FORMATTING="0"))
                self.assertEqual(done.returncode, 0, done.stderr)
                self.assertEqual(done.stderr.strip(), "", done.stderr)
                self.assertIn(ARGS.version, done.stdout)
                if page == "qlor-cli":
                    # Without the overstriking of bold and underlined words.
                    text = re.sub(".\b", "", done.stdout).replace("\u2010", "-").replace("\u2212", "-")
                    for word in commands + sorted(options):
                        self.assertIn(word, text, f"{page}(1) does not mention {word}")
        # bash completes the commands and the options of a command.
        completion = os.path.join(self.share, "bash-completion", "completions", "qlor-cli")
        def complete(words, cword):
            script = (f"source '{completion}'; COMP_WORDS=(qlor-cli {words}); COMP_CWORD={cword}; "
                      "_qlor_cli; printf '%s\\n' \"${COMPREPLY[@]}\"")
            return subprocess.run(["bash", "-c", script], capture_output=True, text=True, check=True).stdout.split()
        self.assertEqual(complete("ren", 1), ["render"])
        # Every command completes exactly the options its usage names.
        for line in help_text.splitlines()[1:]:
            command = line.split()[0]
            with self.subTest(completion=command):
                usage = {w.strip("[]") for w in line.split() if w.strip("[]").startswith("--")}
                self.assertEqual(set(complete(command + " --", 2)), usage)
        self.assertEqual(set(complete("check --re", 2)), {"--record"})
        self.assertEqual(complete("render x.mid --fading ''", 4), ["slow", "fast"])
        # Both programs tell their version, and the window its usage, without a display, a settings
        # file or the instance lock.
        for program, option, wanted in (("qlor", "--version", f"qlor {ARGS.version}\n"),
                                         ("qlor-cli", "--version", f"qlor-cli {ARGS.version}\n"),
                                         ("qlor", "--help", None)):
            with self.subTest(program=program, option=option), tempfile.TemporaryDirectory() as home:
                env = {"PATH": os.environ.get("PATH", ""), "HOME": home, "XDG_CONFIG_HOME": home + "/config",
                       "XDG_RUNTIME_DIR": home}
                done = subprocess.run([os.path.join(self.bin, program), option], capture_output=True,
                                      text=True, env=env, timeout=30)
                self.assertEqual(done.returncode, 0, done.stderr)
                if wanted is not None:
                    self.assertEqual(done.stdout, wanted)
                else:
                    self.assertTrue(done.stdout.startswith(f"Usage: {program} "), done.stdout)
                    self.assertIn("--version", done.stdout)
                self.assertEqual(os.listdir(home), [], f"{option} touched the settings or the lock")

    def test_language_files_installed_byte_for_byte(self):
        names = shipped_languages()
        self.assertIn("Russian.lng", names)
        for name in names:
            with self.subTest(language=name):
                installed = read_bytes(os.path.join(self.share, "qlor", name))
                self.assertEqual(installed, read_bytes(os.path.join(ARGS.source_dir, "data", name)))
                self.assertIn(b"\r\n", installed)

    def test_noise_recordings_are_installed_as_minute_long_wav_files(self):
        for name in NOISE_RECORDINGS:
            with self.subTest(recording=name):
                with wave.open(os.path.join(self.share, "qlor", name)) as w:
                    self.assertEqual(w.getnchannels(), 1)
                    self.assertEqual(w.getnframes(), 60 * w.getframerate())

    def test_desktop_entry_is_valid_and_starts_the_launcher(self):
        tool = shutil.which("desktop-file-validate")
        self.assertIsNotNone(tool, "desktop-file-validate missing: run scripts/install-deps")
        done = subprocess.run([tool, self.desktop], capture_output=True, text=True)
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        self.assertNotIn("error:", done.stdout + done.stderr)
        self.assertNotIn("warning:", done.stdout + done.stderr)

        entry = read_desktop_entry(self.desktop)
        self.assertEqual(entry["Type"], "Application")
        self.assertEqual(entry["Exec"].split()[0], "qlor-launcher")
        self.assertEqual(entry["TryExec"], "qlor-launcher")
        self.assertEqual(entry["Terminal"], "false")
        self.assertEqual(entry["Icon"], APP_ID)
        self.assertLessEqual({"Education", "HamRadio"}, set(entry["Categories"].rstrip(";").split(";")))

    def test_metainfo_is_valid_and_matches_the_desktop_entry(self):
        tool = shutil.which("appstreamcli")
        self.assertIsNotNone(tool, "appstreamcli missing: run scripts/install-deps")
        done = subprocess.run([tool, "validate", "--no-net", "--explain", self.metainfo],
                              capture_output=True, text=True)
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)

        root = ET.parse(self.metainfo).getroot()
        self.assertEqual(root.tag, "component")
        self.assertEqual(root.get("type"), "desktop-application")
        self.assertEqual(root.findtext("id"), APP_ID)
        self.assertEqual(root.find("launchable").get("type"), "desktop-id")
        self.assertEqual(root.findtext("launchable"), os.path.basename(self.desktop))
        for binary in root.iterfind("provides/binary"):
            with self.subTest(binary=binary.text):
                self.assertTrue(os.path.isfile(os.path.join(self.bin, binary.text)), binary.text)
        # The licence the package's copyright file grants (GPL-3+), in SPDX form.
        self.assertEqual(root.findtext("project_license"), "GPL-3.0-or-later")
        versions = [r.get("version") for r in root.iterfind("releases/release")]
        self.assertIn(ARGS.version, versions, "the metainfo lacks a release entry for this version")

    def test_icon_is_a_square_svg(self):
        root = ET.parse(self.icon).getroot()
        self.assertEqual(root.tag, "{http://www.w3.org/2000/svg}svg")
        x, y, w, h = (float(v) for v in root.get("viewBox").split())
        self.assertEqual((x, y), (0.0, 0.0))
        self.assertEqual(w, h)
        self.assertGreater(len(list(root.iter())), 5, "the icon draws nothing")

    def test_destdir_install_runs_from_the_staging_tree(self):
        with tempfile.TemporaryDirectory(prefix="qlor-stage-") as stage:
            run_install(destdir=stage)
            prefix = stage + ARGS.prefix
            self.assertTrue(os.path.isfile(os.path.join(prefix, data_dir(), "qlor", "Russian.lng")))
            put_stub(prefix)
            home = os.path.join(stage, "home")
            os.mkdir(home)
            done = subprocess.run([os.path.join(prefix, bin_dir(), "qlor-launcher")], cwd=home,
                                  env={"PATH": "/usr/bin:/bin", "HOME": home},
                                  capture_output=True, text=True)
            self.assertEqual(done.returncode, 0, done.stderr)
            self.assertIn("lng=Russian.lng", done.stdout.splitlines())
            self.assertEqual([l[4:] for l in done.stdout.splitlines() if l.startswith("wav=")], NOISE_RECORDINGS)


class Launcher(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory(prefix="qlor-launcher-")
        cls.prefix = os.path.join(cls.tmp.name, "installed prefix")
        run_install(cls.prefix)
        put_stub(cls.prefix)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="case ", dir=self.tmp.name)
        self.home = os.path.join(self.root, "home of user")
        os.mkdir(self.home)

    def own_prefix(self):
        """A private copy of the installed tree, for cases that change it."""
        prefix = os.path.join(self.root, "copied prefix")
        shutil.copytree(self.prefix, prefix, symlinks=True)
        return prefix

    def shipped(self, prefix=None, name="Russian.lng"):
        return os.path.join(prefix or self.prefix, data_dir(), "qlor", name)

    def launch(self, prefix=None, xdg=None, launcher=None, cwd=None, args=()):
        env = {"PATH": "/usr/bin:/bin", "HOME": self.home}
        if xdg is not None:
            env["XDG_DATA_HOME"] = xdg
        launcher = launcher or os.path.join(prefix or self.prefix, bin_dir(), "qlor-launcher")
        return subprocess.run([launcher, *args], cwd=cwd or self.home, env=env, capture_output=True,
                              text=True, timeout=60)

    def started_in(self, done):
        self.assertEqual(done.returncode, 0, done.stderr)
        lines = done.stdout.splitlines()
        cwd = [l[4:] for l in lines if l.startswith("cwd=")]
        self.assertEqual(len(cwd), 1, f"the stub did not run:\n{done.stdout}{done.stderr}")
        return cwd[0], [l[4:] for l in lines if l.startswith("lng=")]

    def test_first_start_from_home_uses_the_default_data_folder(self):
        done = self.launch(args=("one", "two words"))
        cwd, languages = self.started_in(done)
        work = os.path.join(self.home, ".local", "share", "QLOR")
        self.assertEqual(cwd, os.path.realpath(work))
        self.assertIn("Russian.lng", languages)
        self.assertEqual(read_bytes(os.path.join(work, "Russian.lng")), read_bytes(self.shipped()))
        self.assertEqual(stat.S_IMODE(os.stat(work).st_mode) & 0o077, 0, "working folder open to others")
        self.assertEqual([l for l in done.stdout.splitlines() if l.startswith("arg=")],
                         ["arg=one", "arg=two words"])
        self.assertEqual(done.stderr, "")

    def test_xdg_data_home_with_spaces_is_used(self):
        xdg = os.path.join(self.root, "my data", "share dir")
        cwd, languages = self.started_in(self.launch(xdg=xdg))
        self.assertEqual(cwd, os.path.realpath(os.path.join(xdg, "QLOR")))
        self.assertEqual(languages, ["Russian.lng"])
        self.assertFalse(os.path.exists(os.path.join(self.home, ".local")))

    def test_relative_or_empty_xdg_data_home_falls_back_to_home(self):
        for xdg in ("", "relative/share"):
            with self.subTest(xdg=xdg):
                cwd, languages = self.started_in(self.launch(xdg=xdg))
                self.assertEqual(cwd, os.path.realpath(os.path.join(self.home, ".local", "share", "QLOR")))
                self.assertIn("Russian.lng", languages)
                self.assertFalse(os.path.exists(os.path.join(self.home, "relative")))

    def test_working_folder_others_may_write_to_is_refused(self):
        work = os.path.join(self.home, ".local", "share", "QLOR")
        os.makedirs(work, exist_ok=True)
        try:
            for mode in (0o770, 0o757):
                os.chmod(work, mode)
                done = self.launch()
                self.assertEqual(done.returncode, 1, done.stdout + done.stderr)
                self.assertIn("others may write", done.stderr)
                self.assertNotIn("cwd=", done.stdout)
        finally:
            os.chmod(work, 0o700)

    def test_edited_language_file_is_never_replaced(self):
        work = os.path.join(self.home, ".local", "share", "QLOR")
        edited = b"1=\xcc\xee\xff \xef\xe0\xed\xe5\xeb\xfc;\r\n"  # an operator's own caption
        # Edited after the launcher put the shipped copy there, and edited before any start.
        for first_start in (True, False):
            with self.subTest(first_start=first_start):
                shutil.rmtree(work, ignore_errors=True)
                if first_start:
                    self.started_in(self.launch())
                os.makedirs(work, exist_ok=True)
                with open(os.path.join(work, "Russian.lng"), "wb") as f:
                    f.write(edited)
                for _ in range(2):
                    _, languages = self.started_in(self.launch())
                    self.assertIn("Russian.lng", languages)
                    self.assertEqual(read_bytes(os.path.join(work, "Russian.lng")), edited)

    def test_new_shipped_version_replaces_only_unedited_copies(self):
        prefix = self.own_prefix()
        xdg_plain = os.path.join(self.root, "plain")
        xdg_edited = os.path.join(self.root, "edited")
        self.started_in(self.launch(prefix, xdg=xdg_plain))
        self.started_in(self.launch(prefix, xdg=xdg_edited))
        edited = b"13=My number;\r\n"
        with open(os.path.join(xdg_edited, "QLOR", "Russian.lng"), "wb") as f:
            f.write(edited)

        newer = read_bytes(self.shipped(prefix)) + b"120=\xcd\xee\xe2\xee\xe5;\r\n"
        with open(self.shipped(prefix), "wb") as f:
            f.write(newer)
        self.started_in(self.launch(prefix, xdg=xdg_plain))
        self.started_in(self.launch(prefix, xdg=xdg_edited))
        self.assertEqual(read_bytes(os.path.join(xdg_plain, "QLOR", "Russian.lng")), newer)
        self.assertEqual(read_bytes(os.path.join(xdg_edited, "QLOR", "Russian.lng")), edited)
        leftovers = [n for n in os.listdir(os.path.join(xdg_plain, "QLOR")) if ".tmp." in n]
        self.assertEqual(leftovers, [])

    def test_started_through_a_symlink_from_another_folder(self):
        own_bin = os.path.join(self.home, "bin")
        os.mkdir(own_bin)
        link = os.path.join(own_bin, "qlor-launcher")
        os.symlink(os.path.join(self.prefix, bin_dir(), "qlor-launcher"), link)
        cwd, languages = self.started_in(self.launch(launcher=link, cwd="/"))
        self.assertEqual(cwd, os.path.realpath(os.path.join(self.home, ".local", "share", "QLOR")))
        self.assertIn("Russian.lng", languages)

    def test_user_link_in_place_of_the_file_is_left_alone(self):
        work = os.path.join(self.home, ".local", "share", "QLOR")
        os.makedirs(work)
        own = os.path.join(self.root, "mine.lng")
        os.symlink(own, os.path.join(work, "Russian.lng"))  # dangling: the user's target is gone
        self.started_in(self.launch())
        self.assertEqual(os.readlink(os.path.join(work, "Russian.lng")), own)
        self.assertFalse(os.path.exists(own))

    def test_missing_program_fails_with_a_clear_message(self):
        prefix = self.own_prefix()
        program = os.path.join(prefix, bin_dir(), "qlor")
        os.remove(program)
        done = self.launch(prefix)
        self.assertEqual(done.returncode, 127)
        self.assertEqual(done.stdout, "")
        self.assertIn(program, done.stderr)
        self.assertIn("missing", done.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.home, ".local")))

    def test_working_folder_that_cannot_be_made_fails_clearly(self):
        blocker = os.path.join(self.root, "a file")
        with open(blocker, "w", encoding="utf-8") as f:
            f.write("not a folder\n")
        done = self.launch(xdg=blocker)
        self.assertNotEqual(done.returncode, 0)
        self.assertNotIn("cwd=", done.stdout)
        self.assertIn("working folder", done.stderr)
        self.assertIn(os.path.join(blocker, "QLOR"), done.stderr)

    def test_missing_shipped_files_still_start_the_program(self):
        prefix = self.own_prefix()
        shutil.rmtree(os.path.join(prefix, data_dir(), "qlor"))
        done = self.launch(prefix)
        _, languages = self.started_in(done)
        self.assertEqual(languages, [])
        self.assertIn("no shipped language files", done.stderr)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--cmake", required=True)
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--source-dir", required=True)
    parser.add_argument("--prefix", required=True, help="the configured install prefix")
    parser.add_argument("--bindir", required=True, help="programs, relative to the prefix")
    parser.add_argument("--datadir", required=True, help="read-only data, relative to the prefix")
    parser.add_argument("--version", required=True, help="the project version")
    ARGS, rest = parser.parse_known_args()
    ARGS.build_dir = os.path.abspath(ARGS.build_dir)
    unittest.main(argv=[sys.argv[0], "-v", *rest])


if __name__ == "__main__":
    main()
