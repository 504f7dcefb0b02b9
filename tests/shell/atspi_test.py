#!/usr/bin/env python3
"""Reads the running window through AT-SPI, finds a step button by its accessible name, presses
it and hears the value cell change; then changes the page by pressing a page tab."""
import os
import subprocess
import sys
import tempfile
import time

import pyatspi


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def wait_for(what, probe, timeout=30.0):
    deadline = time.time() + timeout
    while time.time() < deadline:
        found = probe()
        if found is not None:
            return found
        time.sleep(0.2)
    fail("timed out waiting for " + what)


def find_app(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == name:
            return app
    return None


def find(root, predicate):
    try:
        return pyatspi.findDescendant(root, predicate)
    except Exception:
        return None


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() == "press":
            action.doAction(i)
            return
    fail("no press action on " + node.name)


def main():
    qlor = os.path.abspath(sys.argv[1])
    work = tempfile.mkdtemp()
    env = dict(os.environ)
    env.update({
        "QT_QPA_PLATFORM": "xcb",
        "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
        "QT_ACCESSIBILITY": "1",
        "HOME": work,
        "XDG_CONFIG_HOME": os.path.join(work, "config"),
    })
    proc = subprocess.Popen([qlor], cwd=work, env=env)
    try:
        app = wait_for("the qlor application on the accessibility bus", lambda: find_app("qlor"))
        up = wait_for("the step button", lambda: find(
            app, lambda n: n is not None and n.name == "Text number, thousands digit, up"))
        if up.getRole() != pyatspi.ROLE_PUSH_BUTTON:
            fail("unexpected role %s" % up.getRoleName())
        description = up.description
        if not description:
            fail("the step button has no description")
        cell = find(app, lambda n: n is not None and n.name == "Text number thousands digit: 0")
        if cell is None:
            fail("the value cell does not read 0")
        press(up)
        wait_for("the value cell to read 1", lambda: find(
            app, lambda n: n is not None and n.name == "Text number thousands digit: 1"))
        # The pages are a page-tab list whose tabs can be pressed.
        tab = find(app, lambda n: n is not None and n.getRole() == pyatspi.ROLE_PAGE_TAB and n.name == "Text")
        if tab is None:
            fail("no page tab named Text")
        press(tab)
        wait_for("the Text page tab to be selected",
                 lambda: True if tab.getState().contains(pyatspi.STATE_SELECTED) else None)
        print("PASS: pressed %r (%s), the cell read 1; the Text page is selected" % (up.name, description))
    finally:
        proc.terminate()
        try:
            proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            proc.kill()


if __name__ == "__main__":
    main()
