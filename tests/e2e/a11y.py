"""A screen reader's walk over AT-SPI, inside its own D-Bus session: the frame's menus by name;
activating "English Alphabet", "About" and "Help" comes back while the window it opened is up;
the lesson's controls by name, and the card's names follow "Next card" with change events.

usage: dbus-run-session -- /usr/bin/python3 a11y.py PROGRAM xcb       (under xvfb-run -a)
       dbus-run-session -- /usr/bin/python3 a11y.py PROGRAM wayland   (starts a headless Weston)
"""

import os
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import GLib  # noqa: E402
import pyatspi  # noqa: E402

FRAME_MENUS = ["Learn", "Number", "English Alphabet", "HindiAlphabet", "Window", "Exit"]
MOVE_BUTTONS = ["First card", "Previous card", "Next card", "Last card"]


class Failure(Exception):
    pass


def wait_for(what, probe, timeout=60):
    """Calls probe until it gives something true, letting events in between; the timeout only
    keeps a hang from lasting."""
    deadline = time.monotonic() + timeout
    while True:
        context = GLib.MainContext.default()
        while context.pending():
            context.iteration(False)
        try:
            found = probe()
            if found:
                return found
        except GLib.Error:  # an object went away while being read
            pass
        if time.monotonic() > deadline:
            raise Failure(f"no {what}")
        time.sleep(0.1)

MENU_ITEM, BUTTON = pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_PUSH_BUTTON


def tree(root):
    yield root
    for index in range(root.childCount):
        child = root.getChildAtIndex(index)
        if child is not None:
            yield from tree(child)


# Roles by value: their names change between AT-SPI releases ("push button" became "button").
def names(root, role):
    return [node.name for node in tree(root) if node.getRole() == role]


def one(root, name, role):
    found = [node for node in tree(root) if node.name == name and node.getRole() == role]
    if not found:
        raise Failure(f"no {role} '{name}'; there are {names(root, role)}")
    return found[0]


def press(node):
    """Activation as a screen reader does it: the call blocks until the program answers."""
    action = node.queryAction()
    try:
        action.doAction([action.getName(i) for i in range(action.nActions)].index("Press"))
    except GLib.Error as error:
        raise Failure(f"pressing '{node.name}' did not come back: {error}") from None


def window(app, title, up=True):
    """Waits for a top-level window whose name starts with title to show, or to go."""
    def shown():
        app.clear_cache()
        return [w for w in (app.getChildAtIndex(i) for i in range(app.childCount))
                if w and w.name.startswith(title) and w.getState().contains(pyatspi.STATE_SHOWING)]
    if up:
        return wait_for(f"window '{title}'", shown)[0]
    wait_for(f"end of window '{title}'", lambda: not shown())


def heard_name(event, heard):
    # The new name comes as the event's text, or Qt's bridge sends the object that has it.
    try:
        name = event.any_data if isinstance(event.any_data, str) else event.source.name
        heard.append((event.source.getRole(), name))
    except GLib.Error:
        pass


def walk(program):
    pid = program.pid
    app = wait_for("program on the accessibility bus", lambda: next(
        (a for a in pyatspi.Registry.getDesktop(0) if a and a.get_process_id() == pid), None))
    frame = window(app, "Quorbel Alphabet")
    heard = []
    pyatspi.Registry.registerEventListener(lambda event: heard_name(event, heard),
                                           "object:property-change:accessible-name")

    print("-- the frame's menus; English Alphabet answers while the lesson is up")
    menus = [name.replace(" ", "") for name in names(frame, MENU_ITEM)]
    if menus != [name.replace(" ", "") for name in FRAME_MENUS]:
        raise Failure(f"the frame's menus read {menus}")
    press(one(frame, "English Alphabet", MENU_ITEM))
    lesson = window(app, "English Alphabet")

    print("-- the lesson's controls, and its card after Next card")
    for name in MOVE_BUTTONS:
        one(lesson, name, BUTTON)
    one(lesson, "Type a letter", pyatspi.ROLE_TEXT)
    one(lesson, "Picture: APPLE", pyatspi.ROLE_IMAGE)
    press(one(lesson, "Next card", BUTTON))
    for role, name in [(pyatspi.ROLE_LABEL, "B"), (pyatspi.ROLE_LABEL, "BOY"),
                       (pyatspi.ROLE_IMAGE, "Picture: BOY")]:
        wait_for(f"name change to '{name}' on a {role}", lambda: (role, name) in heard)

    print("-- About and Help answer while they are up")
    press(one(lesson, "About", MENU_ITEM))
    about = window(app, "About")
    press(one(about, "OK", BUTTON))
    window(app, "About", up=False)
    press(one(lesson, "Help", MENU_ITEM))
    picture = names(window(app, "Help Content"), pyatspi.ROLE_IMAGE)
    if not picture or not picture[0]:
        raise Failure("Help's picture has no name")


def main():
    path, platform = sys.argv[1], sys.argv[2]
    env = dict(os.environ, QT_QPA_PLATFORM=platform, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               XDG_RUNTIME_DIR=os.environ.get("XDG_RUNTIME_DIR") or tempfile.mkdtemp())
    weston = None
    if platform == "wayland":
        env.pop("DISPLAY", None)
        env["WAYLAND_DISPLAY"] = "quorbel"
        weston = subprocess.Popen(["weston", "--backend=headless-backend.so", "--socket=quorbel",
                                   "--no-config", "--idle-time=0", "--width=1920", "--height=1080"],
                                  env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("Weston", lambda: os.path.exists(f"{env['XDG_RUNTIME_DIR']}/quorbel"))
    # A blocked call fails only after this long; a screen reader waits far less.
    pyatspi.setTimeout(20000, 20000)
    program = subprocess.Popen([path], env=env)
    try:
        walk(program)
        print("PASS")
        return 0
    except Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        return 1
    finally:
        program.kill()
        if weston:
            weston.kill()


if __name__ == "__main__":
    sys.exit(main())
