"""A seeded storm of keys, clicks, drags, wheel turns and window closes, as a child at the keyboard
and mouse would send them, against the program built with the sanitizers, under openbox: one list
of xdotool commands made from the seed, run by one xdotool process. A run of the program that
ends (Exit, or its frame closed) must end with status 0, and is started again. After the storm
its windows are closed until it ends, with status 0: a hang, a crash, a sanitizer report or a
leak at exit fails the storm.

usage: python3 storm.py PROGRAM OPENBOX-RC SEED|fresh EVENTS
It runs itself on a virtual screen of its own, always 1920x1080, in a private session whose
sound goes nowhere: the same SEED and EVENTS send the same input to the same screen again.
"""

import os
import random
import subprocess
import sys
import tempfile
import time

LETTERS = list("abcdefghijklmnopqrstuvwxyzAKQZ0123456789")
KEYS = ["space", "Return", "KP_Enter", "BackSpace", "Delete", "Tab", "Escape", "Menu", "F1", "F10",
        "Left", "Right", "Up", "Down", "Home", "End", "Prior", "Next", "exclam", "question",
        "slash", "at", "eacute", "ssharp", "alt+h", "alt+o", "alt+l", "alt+w", "alt+e", "alt+x",
        "shift+F10", "ctrl+a", "ctrl+z", "ctrl+v", "shift+Tab", "alt+Return"]
TEXT = ["é", "ж", "中", "😀"]  # beyond ASCII, beyond Latin-1 and beyond 16 bits


def point(rng):
    """Mostly where the menus, the lessons and their dialogs are; now and then anywhere."""
    width, height = rng.choice([(200, 160), (1150, 700), (1150, 700), (1920, 1080)])
    return rng.randrange(width), rng.randrange(height)


def commands(seed, count):
    rng = random.Random(seed)

    def move():
        return "mousemove %d %d" % point(rng)

    def click():
        repeat = "--repeat 2 --delay 80" if rng.randrange(6) == 0 else "--delay 0"
        return [move(), f"click {repeat} {rng.choice([1, 1, 1, 3, 2])}"]

    gestures = [  # (weight, the commands of one)
        (30, lambda: [f"key {rng.choice(LETTERS)}"]),
        (12, lambda: [f"key {rng.choice(KEYS)}"]),
        (2, lambda: [f"type {rng.choice(TEXT)}"]),
        (20, click),
        (5, lambda: [move(), "mousedown 1", move(), "mouseup 1"]),
        (5, lambda: [move(), f"click --repeat 3 --delay 10 {rng.choice([4, 5])}"]),
        (10, lambda: [move()]),
        # A menu item as a child who knows the keys picks it: a lesson, Exit, Help or About.
        (10, lambda: ["key F10" + " Right" * (rng.randrange(8) == 0)
                      + " Down" * rng.randrange(3) + " Return"]),
        (4, lambda: [f"key {rng.choice(['Menu', 'shift+F10'])} {rng.choice('ha')}"]),
        (1, lambda: ["key alt+F4"]),  # openbox closes the active window
    ]
    out = []
    for _ in range(count):
        out += rng.choices(gestures, [weight for weight, _ in gestures])[0][1]() + ["sleep 0.01"]
    return "\n".join(out) + "\n"


def wait_for(what, probe, timeout=60):
    """Polls probe; the timeout only keeps a hang from lasting. what may be a function."""
    deadline = time.monotonic() + timeout
    while not probe():
        if time.monotonic() > deadline:
            raise SystemExit(f"FAIL: {what() if callable(what) else what}")
        time.sleep(0.1)


SCREEN = "-screen 0 1920x1080x24 -noreset"
SESSION = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../session/session.sh")


def main():
    if os.environ.get("QUORBEL_STORM_SCREEN") != SCREEN:
        # Its own screen, whatever display the caller has, so that a replay is the same run.
        os.environ["QUORBEL_STORM_SCREEN"] = SCREEN
        os.execvp("xvfb-run", ["xvfb-run", "-a", "-s", SCREEN, "bash", SESSION,
                               sys.executable, os.path.abspath(__file__)] + sys.argv[1:])
    program, rc, seed, events = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
    seed = int.from_bytes(os.urandom(4), "little") if seed == "fresh" else int(seed)
    print(f"storm seed {seed}, {events} events (replay: the same seed and count)", flush=True)
    suppressions = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../robust/lsan.supp")
    env = dict(os.environ, QT_QPA_PLATFORM="xcb",
               UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1",
               LSAN_OPTIONS=f"suppressions={suppressions}:print_suppressions=0")
    log = tempfile.NamedTemporaryFile(prefix="quorbel-storm-", suffix=".log", delete=False)
    script = tempfile.TemporaryFile("w+")
    script.write(commands(seed, events))
    script.seek(0)
    started = []

    def start(command, **options):
        started.append(subprocess.Popen(command, stdout=log, stderr=log, **options))
        return started[-1]

    def ended_cleanly(run):
        if run.returncode != 0:
            raise SystemExit(f"FAIL: the program ended with status {run.returncode}, seed {seed}")
        return True

    def windows(run):
        """The titles of the program's windows, shown or not, to say where it was stuck."""
        ids = subprocess.run(["xdotool", "search", "--pid", str(run.pid)], capture_output=True,
                             text=True).stdout.split()
        return [subprocess.run(["xdotool", "getwindowname", i], capture_output=True,
                               text=True).stdout.strip() for i in ids]

    try:
        start(["openbox", "--config-file", rc])
        wait_for("openbox did not start", lambda: b"window id" in subprocess.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], capture_output=True).stdout)
        run = start([program], env=env)
        storm = start(["xdotool", "-"], stdin=script)
        starts = 1
        while storm.poll() is None:
            if run.poll() is not None and ended_cleanly(run):
                run = start([program], env=env)
                starts += 1
            time.sleep(0.1)
        print(f"the storm is over; the program was started {starts} times", flush=True)

        def close_all():
            if run.poll() is None:
                subprocess.run(["xdotool", "key", "Escape"])
                found = subprocess.run(
                    ["xdotool", "search", "--onlyvisible", "--pid", str(run.pid)],
                    capture_output=True, text=True).stdout.split()
                subprocess.run(["xdo", "close"] + found)
                time.sleep(0.5)
            return run.poll() is not None

        wait_for(lambda: f"the program did not end when its windows were closed; it has "
                 f"{windows(run)}, seed {seed}", close_all)
        ended_cleanly(run)
    except SystemExit:
        log.flush()
        print(open(log.name, errors="replace").read()[-20000:])
        raise
    finally:
        for process in started:
            process.kill()
    os.unlink(log.name)
    print("PASS")


if __name__ == "__main__":
    main()
