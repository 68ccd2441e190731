#!/usr/bin/python3
"""Times keys to the first sound sample at the null sink, for one window already on screen.

usage: keysound.py WINDOW-TITLE KEYS SUBJECT-PID
Sends each key with XTest to the focused window, and reads the sink's monitor through parec in
5 ms chunks: the time from the key to the first chunk above the silence threshold. Before each
key it waits for 0.4 s of silence, so every key starts a clip from quiet. Prints one line:
"median p10 p90 ms", the VmRSS of the subject in KiB and how many keys gave no sound within 3 s
(those are left out of the figures)."""
import statistics
import subprocess
import sys
import threading
import time

from Xlib import X, XK, display
from Xlib.ext import xtest

RATE = 22050
CHUNK = 110  # samples, 5 ms
THRESHOLD = 300


class Monitor(threading.Thread):
    def __init__(self):
        super().__init__(daemon=True)
        self.loud_at = None
        self.quiet_since = None
        self.samples = 0
        self.lock = threading.Lock()
        self.parec = subprocess.Popen(
            ["parec", "--latency-msec=5", "--process-time-msec=5", "-d", "null.monitor", "--raw",
             "--format=s16le", f"--rate={RATE}", "--channels=1"], stdout=subprocess.PIPE, bufsize=0)

    def run(self):
        while True:
            data = self.parec.stdout.read(CHUNK * 2)
            if not data:
                return
            now = time.monotonic()
            self.samples += len(data) // 2
            peak = max(abs(int.from_bytes(data[i:i + 2], "little", signed=True))
                       for i in range(0, len(data) - 1, 2))
            with self.lock:
                if peak > THRESHOLD:
                    if self.loud_at is None:
                        self.loud_at = now
                    self.quiet_since = None
                elif self.quiet_since is None:
                    self.quiet_since = now

    def wait_quiet(self, seconds):
        while True:
            with self.lock:
                if self.quiet_since is not None and time.monotonic() - self.quiet_since > seconds:
                    self.loud_at = None
                    return
            time.sleep(0.01)

    def wait_loud(self, limit=3.0):
        end = time.monotonic() + limit
        while time.monotonic() < end:
            with self.lock:
                if self.loud_at is not None:
                    return self.loud_at
            time.sleep(0.001)
        return None


def main():
    title, keys, pid = sys.argv[1], sys.argv[2], sys.argv[3]
    d = display.Display()
    monitor = Monitor()
    monitor.start()
    # The monitor delivers nothing for a while after it starts: warm up on two seconds of it.
    while monitor.samples < 2 * RATE:
        time.sleep(0.05)
    times, missed = [], 0
    for index, key in enumerate(keys):
        code = d.keysym_to_keycode(XK.string_to_keysym(key))
        monitor.wait_quiet(0.4)
        sent = time.monotonic()
        xtest.fake_input(d, X.KeyPress, code)
        xtest.fake_input(d, X.KeyRelease, code)
        d.sync()
        heard = monitor.wait_loud()
        if heard is None:
            print(f"{title}: no sound after key {key!r}, number {index + 1}", file=sys.stderr)
            missed += 1
        else:
            times.append((heard - sent) * 1000)
    if len(times) < 2:
        sys.exit(f"{title}: heard {len(times)} of {len(keys)} keys")
    rss = next(line.split()[1] for line in open(f"/proc/{pid}/status") if line.startswith("VmRSS"))
    deciles = statistics.quantiles(times, n=10)
    print(f"{statistics.median(times):.1f} {deciles[0]:.1f} {deciles[-1]:.1f} {rss} {missed}")
    monitor.parec.terminate()


main()
