"""Listens on the AT-SPI bus as a screen reader does: registers for the object, window and focus
events Orca follows, so the program's accessibility bridge sends them. Prints "ready" once
registered; on SIGTERM prints how many events it heard (to stderr) and ends.
"""

import signal
import sys

import pyatspi
from gi.repository import GLib

EVENTS = [
    "object:property-change:accessible-name",
    "object:property-change:accessible-description",
    "object:state-changed",
    "object:children-changed",
    "object:text-changed",
    "object:text-caret-moved",
    "window:activate",
    "window:create",
    "focus:",
]

heard = 0


def count(_event):
    global heard
    heard += 1


def stop(*_args):
    print(f"screen reader stand-in heard {heard} events", file=sys.stderr, flush=True)
    loop.quit()


loop = GLib.MainLoop()
for event in EVENTS:
    pyatspi.Registry.registerEventListener(count, event)
GLib.unix_signal_add(GLib.PRIORITY_HIGH, signal.SIGTERM, stop)
print("ready", flush=True)
loop.run()
