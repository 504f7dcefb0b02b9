#!/usr/bin/env python3
"""Reads the running window through AT-SPI the way a screen reader does.

In English: finds a step button by its accessible name, presses it and hears the value cell
change; changes the page by pressing a page tab. In Russian (the shipped Russian.lng, language
position 1): the names are Russian, Start is pressed with the Enter key on the keyboard, and the
export status after a series is read through the text interface and heard as a change event."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

HERE = os.path.dirname(os.path.abspath(__file__))
RUSSIAN_LNG = os.path.join(HERE, "..", "..", "data", "Russian.lng")
RETURN_KEYCODE = 36  # X keycode of Return

events = []


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def wait_for(what, probe, timeout=30.0):
    deadline = time.time() + timeout
    context = GLib.MainContext.default()
    while time.time() < deadline:
        # Delivers the events the listeners are registered for.
        while context.pending():
            context.iteration(False)
        found = probe()
        if found is not None:
            return found
        # Most conditions hold within tens of ms: a short poll keeps the test from idling.
        time.sleep(0.02)
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
        return pyatspi.findDescendant(root, lambda n: n is not None and predicate(n))
    except Exception:
        return None


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() == "press":
            action.doAction(i)
            return
    fail("no press action on " + node.name)


def start(work, env):
    proc = subprocess.Popen([QLOR], cwd=work, env=env)
    app = wait_for("the qlor application on the accessibility bus", lambda: find_app("qlor"))
    return proc, app


def stop(proc):
    proc.terminate()
    try:
        proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def english(app):
    up = wait_for("the step button", lambda: find(app, lambda n: n.name == "Text number, thousands digit, up"))
    if up.getRole() != pyatspi.ROLE_PUSH_BUTTON:
        fail("unexpected role %s" % up.getRoleName())
    if not up.description:
        fail("the step button has no description")
    if find(app, lambda n: n.name == "Text number thousands digit: 0") is None:
        fail("the value cell does not read 0")
    press(up)
    wait_for("the value cell to read 1", lambda: find(app, lambda n: n.name == "Text number thousands digit: 1"))
    # The pages are a page-tab list whose tabs can be pressed.
    tab = find(app, lambda n: n.getRole() == pyatspi.ROLE_PAGE_TAB and n.name == "Text")
    if tab is None:
        fail("no page tab named Text")
    press(tab)
    wait_for("the Text page tab to be selected",
             lambda: True if tab.getState().contains(pyatspi.STATE_SELECTED) else None)
    print("PASS: pressed %r (%s), the cell read 1; the Text page is selected" % (up.name, up.description))


def russian(app):
    up = wait_for("the Russian step button", lambda: find(app, lambda n: n.name == "Номер текста, разряд тысяч, больше"))
    if up.description != "Увеличивает на единицу: номер текста, разряд тысяч":
        fail("the step button's description is %r" % up.description)
    header = find(app, lambda n: n.getRole() == pyatspi.ROLE_RADIO_BUTTON and n.name == "другой"
                  and n.parent is not None and n.parent.name == "Заголовок")
    if header is None:
        fail("no \"другой\" radio button in a group named \"Заголовок\"")

    # Start on the main panel, pressed with Enter.
    run = find(app, lambda n: n.name == "Пуск" and n.description == "Начинает передачу" and showing(n))
    if run is None:
        fail("no Start button on the main panel")
    # The virtual display has no window manager to activate the window; a second start asks the
    # running copy to come to the front, which activates it, and then ends.
    subprocess.run([QLOR], cwd=WORK, env=ENV, timeout=30, check=True)
    window = app.getChildAtIndex(0)
    wait_for("the window to be active", lambda: True if window.getState().contains(pyatspi.STATE_ACTIVE) else None)
    if window.getRole() != pyatspi.ROLE_FRAME:
        fail("the window reads as a %s, not a frame" % window.getRoleName())
    run.queryComponent().grabFocus()
    wait_for("Start to take the focus", lambda: True if run.getState().contains(pyatspi.STATE_FOCUSED) else None)
    pyatspi.Registry.generateKeyboardEvent(RETURN_KEYCODE, None, pyatspi.KEY_PRESSRELEASE)
    wait_for("the lamp to go on air", lambda: find(app, lambda n: n.name == "Индикатор передачи: в эфире" and showing(n)))
    stop_button = find(app, lambda n: n.name == "Стоп" and showing(n))
    press(stop_button)
    wait_for("the lamp to go idle", lambda: find(app, lambda n: n.name == "Индикатор передачи: ожидание" and showing(n)))

    # A series of files; its status is read and heard.
    press(find(app, lambda n: n.getRole() == pyatspi.ROLE_PAGE_TAB and n.name == "Файлы"))
    write = wait_for("the Files page's write button", lambda: find(
        app, lambda n: n.description == "Записывает серию текстовых и MIDI-файлов" and showing(n)))
    status = find(app, lambda n: n.getRole() == pyatspi.ROLE_STATUS_BAR and showing(n))
    if status is None:
        fail("no export status line")
    del events[:]
    press(write)
    written = "Записано пар файлов: 1 из 1"
    text = wait_for("the export status", lambda: (lambda t: t if t == written else None)(
        status.queryText().getText(0, -1)))
    if status.name != "Состояние записи файлов: " + written:
        fail("the status line is named %r" % status.name)
    wait_for("a change event of the status line", lambda: True if any(
        e.source == status and written in str(e.any_data) + str(e.source.name) for e in events) else None)
    print("PASS: Russian names; Start pressed with Enter went on air; the export status read %r" % text)


def main():
    global WORK, ENV
    work = WORK = tempfile.mkdtemp()
    env = ENV = dict(os.environ)
    env.update({
        "QT_QPA_PLATFORM": "xcb",
        "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
        "QT_ACCESSIBILITY": "1",
        "SDL_AUDIODRIVER": "dummy",
        "HOME": work,
        "XDG_CONFIG_HOME": os.path.join(work, "config"),
    })
    listener = lambda event: events.append(event)
    pyatspi.Registry.registerEventListener(listener, "object:text-changed:insert",
                                           "object:property-change:accessible-name")

    proc, app = start(work, env)
    try:
        english(app)
    finally:
        stop(proc)

    # The second start: the shipped Russian file chosen as the saved language.
    shutil.copy(RUSSIAN_LNG, os.path.join(work, "Russian.lng"))
    settings = os.path.join(work, "config", "Tavel")
    os.makedirs(settings, exist_ok=True)
    with open(os.path.join(settings, "QLOR.conf"), "w") as f:
        f.write("[General]\nLanguige=1\n")
    wait_for("the first copy to leave the bus", lambda: True if find_app("qlor") is None else None)
    proc, app = start(work, env)
    try:
        russian(app)
    finally:
        stop(proc)


if __name__ == "__main__":
    QLOR = os.path.abspath(sys.argv[1])
    main()
