"""A screen reader's walk through the program over AT-SPI: reads the frame's menus, opens the
English lesson by activating its menu item, steps to DOG with "Next card", hears the cards
change, opens About and Help from the lesson's pop-up and closes them.

usage: a11y_walk.py PROGRAM xcb XCLOSE     (inside dbus-run-session and xvfb-run -a)
       a11y_walk.py PROGRAM wayland        (inside dbus-run-session, on a running compositor)
"""

import subprocess
import sys

import atspiclient as at
from atspiclient import Failure, act, find, fresh, step
from gi.repository import Atspi

FRAME = "Quorbel Alphabet"
LESSON = "English Alphabet"
HELP = "Help Content"
ABOUT = "About"

FRAME_MENUS = [("Learn", ["Number", "English Alphabet", "HindiAlphabet"]), ("Window", ["Exit"])]
MOVE_BUTTONS = ["First card", "Previous card", "Next card", "Last card"]
NEXT_CARDS = [("B", "BOY"), ("C", "CAT"), ("D", "DOG")]

KEY_MENU = 0xFF67
KEY_DOWN = 0xFF54
KEY_F10 = 0xFFC7
SHIFT_MASK = 1


def expect(condition, message):
    if not condition:
        raise Failure(message)


def one(root, name, role=None, only_showing=True):
    found = find(root, name, role, only_showing)
    expect(found is not None, f"no {role or 'object'} named '{name}'")
    return found


def read_frame(frame):
    bars = at.find_all(frame, role="menu bar")
    expect(bars, "the frame has no menu bar")
    for menu, items in FRAME_MENUS:
        top = one(bars[0], menu, "menu item", only_showing=False)
        names = [child.name for child in at.walk(top)
                 if at.role_of(child) == "menu item" and child is not top]
        # Read as their captions, where "HindiAlphabet" may be spoken as two words.
        expect([name.replace(" ", "") for name in names] == [item.replace(" ", "") for item in items],
               f"menu {menu} holds {names}, expected {items}")


def read_card(lesson, letter, word):
    """The letter and word labels and the picture, read afresh from the program."""
    def shows():
        labels = {fresh(label).name for label in at.find_all(lesson, role="label")}
        pictures = {fresh(picture).name for picture in at.find_all(lesson, role="image")}
        return letter in labels and word in labels and f"Picture: {word}" in pictures

    at.wait_for(f"the card {letter} {word} with 'Picture: {word}'", shows, 5)


def press_keys(*keys, shift=False):
    """Keys as an assistive tool sends them, through the accessibility registry."""
    if shift:
        Atspi.generate_keyboard_event(SHIFT_MASK, None, Atspi.KeySynthType.LOCKMODIFIERS)
    try:
        for key in keys:
            Atspi.generate_keyboard_event(key, None, Atspi.KeySynthType.SYM)
    finally:
        if shift:
            Atspi.generate_keyboard_event(SHIFT_MASK, None, Atspi.KeySynthType.UNLOCKMODIFIERS)


def popup_item(focus, name):
    """An item of the pop-up menu just opened: Down puts the focus on its first item, and the
    menu holding that item is the pop-up."""
    press_keys(KEY_DOWN)
    first = focus.wait("menu item")
    menu = first.parent
    expect(menu is not None and at.role_of(menu) == "popup menu",
           f"the focused item '{first.name}' is not in a pop-up menu")
    names = [item.name for item in at.children(menu) if at.role_of(item) == "menu item"]
    expect(names == ["Help", "About"], f"the pop-up holds {names}, expected Help and About")
    return one(menu, name, "menu item")


def lesson_menu_item(lesson, name):
    """The pop-up's item as the lesson offers it in its tree, for tools that cannot send keys."""
    found = at.find_all(lesson, name, "menu item")
    expect(found, f"the lesson offers no menu item '{name}'")
    return found[0]


def xclose(xclose_path, title):
    ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                         capture_output=True, text=True).stdout.split()
    expect(ids, f"no X window titled '{title}'")
    subprocess.run([xclose_path, ids[0]], check=True)


def walk(program, platform, xclose_path):
    step("the program starts and shows its frame with the Learn and Window menus")
    program.find_app()
    frame = program.window(FRAME)
    expect(at.role_of(frame) == "frame", f"the main window's role is {at.role_of(frame)}")
    read_frame(frame)
    events = at.NameEvents()
    focus = at.FocusEvents()

    step("activating 'English Alphabet' returns at once and opens the lesson")
    item = one(frame, "English Alphabet", "menu item", only_showing=False)
    took = act(item, "Press", within=1.0)
    print(f"   the activation returned in {took * 1000:.0f} ms")
    lesson = program.window(LESSON)

    step("the lesson reads: named move buttons, answer box, card labels and picture")
    for name in MOVE_BUTTONS:
        button = one(lesson, name, "push button")
        expect("Press" in at.action_names(button), f"'{name}' cannot be pressed")
    one(lesson, "Type a letter", "text")
    read_card(lesson, "A", "APPLE")

    step("'Next card' three times shows DOG, and each change is heard")
    events.clear()
    next_card = one(lesson, "Next card", "push button")
    for letter, word in NEXT_CARDS:
        act(next_card, "Press", within=1.0)
        read_card(lesson, letter, word)
    events.wait("DOG", "label")
    events.wait("Picture: DOG", "image")
    events.wait("D", "label")

    if platform == "xcb":
        step("Shift+F10 opens the lesson's pop-up; About opens and its OK closes it")
        focus.clear()
        press_keys(KEY_F10, shift=True)
        act(popup_item(focus, "About"), "Press", within=1.0)
    else:
        step("the lesson's About item opens About; its OK closes it")
        act(lesson_menu_item(lesson, "About"), "Press", within=1.0)
    about = program.window(ABOUT)
    act(one(about, "OK", "push button"), "Press", within=1.0)
    program.window_gone(ABOUT)
    step("the lesson takes 'Next card' again once About has closed")
    act(next_card, "Press", within=1.0)
    read_card(lesson, "E", "ELEPHANT")

    if platform == "xcb":
        step("the Menu key opens the pop-up; Help opens and shows a described picture")
        focus.clear()
        press_keys(KEY_MENU)
        act(popup_item(focus, "Help"), "Press", within=1.0)
    else:
        step("the lesson's Help item opens Help with a described picture")
        act(lesson_menu_item(lesson, "Help"), "Press", within=1.0)
    help_window = program.window(HELP)
    pictures = at.find_all(help_window, role="image")
    expect(pictures, "Help shows no picture")
    picture = fresh(pictures[0])
    expect(picture.name or picture.description, "the Help picture has no name or description")

    if platform != "xcb":
        # Only the compositor's own close box closes a window on Wayland; no client may.
        step("the walk ends with Help open: nothing outside the compositor can close it")
        events.close()
        focus.close()
        return

    step("closing Help, then the lesson, gives the frame back; Exit ends the program")
    xclose(xclose_path, HELP)
    program.window_gone(HELP)
    xclose(xclose_path, LESSON)
    program.window_gone(LESSON)
    act(one(frame, "Exit", "menu item", only_showing=False), "Press", within=1.0,
        ends_program=True)
    at.wait_for("the program to end", lambda: not program.running(), 10)
    expect(program.process.returncode == 0,
           f"the program ended with status {program.process.returncode}")
    events.close()
    focus.close()


def main():
    if len(sys.argv) < 3 or sys.argv[2] not in ("xcb", "wayland"):
        print(__doc__, file=sys.stderr)
        return 2
    path, platform = sys.argv[1], sys.argv[2]
    xclose_path = sys.argv[3] if len(sys.argv) > 3 else None
    program = at.Program(path, {"QT_QPA_PLATFORM": platform})
    return at.run(lambda p: walk(p, platform, xclose_path), program)


if __name__ == "__main__":
    sys.exit(main())
