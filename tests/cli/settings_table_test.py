#!/usr/bin/env python3
"""qlor-cli, its manual page and its bash completion held to the settings table, entry by entry.

Every qlor-cli option of the table refuses the value below and above its range with the range in
its one-line message and shows the range in its help; the manual page (and the README) state the
range the table gives wherever they state one, the completion knows the option takes a value, and
the window's sliders of these values keep the table's range.

Usage: settings_table_test.py QLOR-CLI SETTINGS-TABLE-DUMP SOURCE-DIR
"""
import os
import re
import subprocess
import sys
import unittest

CLI = DUMP = MAN = COMPLETION = README = FORMS = None

# The options whose range the manual page leaves to `--help`.
UNSTATED_IN_MAN = {"--seed", "--last", "--min-speed", "--max-speed", "--min", "--checks", "--accuracy",
                   "--min-sent", "--end-pause", "--fading-depth"}
# The options whose range the README leaves to the manual page and `--help`.
UNSTATED_IN_README = {"--seed", "--last", "--min-speed", "--max-speed", "--min", "--checks", "--accuracy",
                      "--min-sent", "--end-pause", "--width", "--noise", "--count"}
# The options checked as names or digits: their range is in the message, not in the help.
RANGE_IN_MESSAGE_ONLY = {"--number", "--type"}


class Entry:
    def __init__(self, fields):
        self.index = int(fields[0])
        self.stored = fields[1]
        self.digits = int(fields[2])
        self.min, self.max, self.default, self.step = map(int, fields[3:7])
        self.unit, self.zero_means = fields[7], fields[8]
        self.options = fields[9].split()
        # "course set" is a subcommand of two words.
        self.commands = [c.split() for c in fields[10].split(",") if c]
        self.cli_min, self.cli_max = int(fields[11]), int(fields[12])

    def value_text(self, value):
        # The text number is shown with all its digits.
        return str(value).zfill(self.digits) if self.options == ["--number"] else str(value)

    def cli_range(self):
        return self.value_text(self.cli_min) + ".." + self.value_text(self.cli_max)

    def __repr__(self):
        return f"{' '.join(self.options) or self.stored} ({self.index})"


def table():
    out = subprocess.run([DUMP], capture_output=True, check=True, text=True).stdout
    return [Entry(line.split("\t")) for line in out.splitlines()]


def cli_entries():
    return [e for e in table() if e.options]


def run(*args):
    return subprocess.run([CLI, *args], capture_output=True, text=True, timeout=60)


class CommandLine(unittest.TestCase):
    def test_every_option_refuses_values_outside_its_range(self):
        for entry in cli_entries():
            for command in entry.commands:
                for option in entry.options:
                    for value in (entry.cli_min - 1, entry.cli_max + 1):
                        with self.subTest(command=command, option=option, value=value):
                            r = run(*command, f"{option}={value}")
                            self.assertEqual(r.returncode, 2, r.stderr)
                            self.assertEqual(r.stdout, "")
                            self.assertTrue(r.stderr.startswith(f"qlor-cli: {option}: "), r.stderr)
                            self.assertIn(entry.cli_range(), r.stderr)

    def test_help_shows_the_range_of_every_option(self):
        for entry in cli_entries():
            for command in entry.commands:
                help_text = run(*command, "--help").stdout
                for option in entry.options:
                    with self.subTest(command=command, option=option):
                        line = next((l for l in help_text.splitlines() if l.strip().startswith(option + " ")), "")
                        shown = re.search(r":(-?\d+\.\.-?\d+)", line)
                        if option in RANGE_IN_MESSAGE_ONLY:
                            self.assertIsNone(shown, line)
                            continue
                        self.assertIsNotNone(shown, (line, help_text))
                        self.assertEqual(shown.group(1), entry.cli_range())


def man_text():
    with open(MAN, encoding="utf-8") as f:
        text = f.read()
    text = re.sub(r"\\f[BIRP]", "", text)
    return text.replace("\\-", "-").replace("\\%", "").replace("\\(lq", '"').replace("\\(rq", '"')


def man_items():
    """(command, tag, body) of every tagged paragraph; command is the subcommand whose paragraph
    or indented block it belongs to, "text options" or "sound options" for the shared ones."""
    commands = {"text", "elements", "midi", "export", "competition", "check", "judge", "render", "noise",
                "band", "stats", "course", "icr"}
    items, command, lines = [], None, man_text().splitlines()
    i = 0
    while i < len(lines):
        line = lines[i]
        if line.startswith(".SS "):
            command = line[4:].strip().lower()
        elif line.startswith(".SH "):
            command = None
        elif line == ".TP" and i + 1 < len(lines):
            tag = lines[i + 1]
            words = re.sub(r'^\.(B|BI|BR|I)\s+', "", tag).strip('"').split()
            body = []
            i += 2
            while i < len(lines) and not re.match(r"\.(TP|SS|SH|RS|RE)\b", lines[i]):
                body.append(lines[i])
                i += 1
            if words and words[0] in commands:
                command = " ".join(words[:2]) if words[0] == "course" else words[0]
                items.append((command, "", tag + "\n" + "\n".join(body)))
            else:
                items.append((command, tag, "\n".join(body)))
            continue
        i += 1
    return items


def ranges_in(text):
    """Every "a..b" of the text, and "0..n" for every "up to n"."""
    found = set(re.findall(r"(?<![\d.])-?\d+\.\.-?\d+", text))
    return found | {"0.." + n for n in re.findall(r"\bup to (\d+)\b", text)}


def stated_ranges(entry):
    """The forms in which the manual page may state the entry's range: a range whose 0 means
    something of its own may start at 1 ("1..10; 0 also means 10")."""
    forms = {entry.cli_range()}
    if entry.zero_means and entry.cli_min == 0:
        forms.add(entry.value_text(1) + ".." + entry.value_text(entry.cli_max))
    return forms


class ManualPage(unittest.TestCase):
    def test_every_range_of_the_table_is_stated(self):
        with open(README, encoding="utf-8") as f:
            readme = f.read()
        for name, text, unstated in (("man", man_text(), UNSTATED_IN_MAN), ("README", readme, UNSTATED_IN_README)):
            stated = ranges_in(text)
            for entry in cli_entries():
                if set(entry.options) <= unstated:
                    continue
                with self.subTest(document=name, entry=entry):
                    self.assertTrue(stated_ranges(entry) & stated, (stated_ranges(entry), sorted(stated)))

    def test_the_paragraph_of_an_option_states_its_own_range(self):
        groups = {"text options": ["text"], "sound options": ["midi"]}
        entries = cli_entries()
        checked = 0
        for command, tag, body in man_items():
            words = groups.get(command, [command]) if command else []
            for entry in entries:
                for option in entry.options:
                    # The option's own paragraph, in the block of one of its subcommands.
                    if not any(" ".join(c) in words for c in entry.commands):
                        continue
                    if not re.search(re.escape(option) + r"\b(?!-)", tag or ""):
                        continue
                    found = ranges_in(body)
                    if not found:
                        continue
                    checked += 1
                    with self.subTest(command=command, option=option):
                        self.assertTrue(stated_ranges(entry) & found, (body, stated_ranges(entry)))
        self.assertGreater(checked, 10)


def completion_text():
    with open(COMPLETION, encoding="utf-8") as f:
        return f.read()


class Completion(unittest.TestCase):
    def test_every_option_is_completed_as_taking_a_value(self):
        text = completion_text()
        values = text[text.index("case $prev in"):]
        values = values[:values.index("esac")]
        patterns = set(re.findall(r"--[a-z-]+", "\n".join(l.split(")")[0] for l in values.splitlines())))
        # Patterns continued over lines end with "\" and carry on in the next one.
        patterns |= set(re.findall(r"--[a-z-]+", re.sub(r"\\\n", " ", values)))
        for entry in cli_entries():
            for option in entry.options:
                with self.subTest(option=option):
                    self.assertIn(option, patterns)

    def test_every_option_is_offered_by_its_subcommands(self):
        text = completion_text()
        variables = dict(re.findall(r'local (\w+)="([^"]*)"', text))
        commands = text[text.index("case ${words[1]} in"):]

        def offered(name, part=None):
            block = commands
            if part:
                block = block[block.index("case $part in"):]
            m = re.search(r"^\s*" + re.escape(part or name) + r"\)(.*?)(;;|^\s*\w+\))", block, re.S | re.M)
            words = " ".join(re.findall(r'options\+?="([^"]*)"', m.group(1))) if m else ""
            return re.sub(r"\$(\w+)", lambda v: variables.get(v.group(1), ""), words).split()

        for entry in cli_entries():
            for command in entry.commands:
                for option in entry.options:
                    with self.subTest(command=command, option=option):
                        self.assertIn(option, offered(command[0], command[1] if len(command) > 1 else None))


class Forms(unittest.TestCase):
    # The window's sliders of values the table holds: form, slider, the qlor-cli option of its entry.
    SLIDERS = [("configurationpage.ui", "TrackBar1", "--tone"), ("panelpage.ui", "TrackBar2", "--midi-level"),
               ("panelpage.ui", "TrackBar3", "--noise-level")]

    def test_sliders_keep_the_tables_range(self):
        entries = {option: e for e in table() for option in e.options}
        for form, name, option in self.SLIDERS:
            with self.subTest(slider=name):
                with open(os.path.join(FORMS, form), encoding="utf-8") as f:
                    ui = f.read()
                widget = ui[ui.index(f'name="{name}"'):]
                widget = widget[:widget.index("</widget>")]
                bound = {k: int(v) for k, v in re.findall(r'<property name="(minimum|maximum)">\s*<number>(-?\d+)', widget)}
                self.assertEqual((bound["minimum"], bound["maximum"]), (entries[option].min, entries[option].max))


if __name__ == "__main__":
    CLI, DUMP, source = sys.argv[1:4]
    del sys.argv[1:4]
    MAN = os.path.join(source, "data", "man", "qlor-cli.1.in")
    COMPLETION = os.path.join(source, "data", "completion", "qlor-cli")
    README = os.path.join(source, "README.md")
    FORMS = os.path.join(source, "shell", "forms")
    unittest.main()
