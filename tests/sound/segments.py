#!/usr/bin/python3
"""Names the clips heard in a recording of the sound server's output.

usage: segments.py SOUNDS-DIR [RECORDING]
RECORDING is raw 16-bit mono at 22050 Hz. Sound separated by 0.3 s of quiet is one stretch;
each stretch that has ended prints "duration clip", where clip is the one in SOUNDS-DIR whose
loudness contour best matches the stretch, from its start or, for a clip cut off by the next,
from its end.
Without a recording it prints each clip's own "duration clip"."""
import array
import math
import os
import sys
import wave

RATE = 22050
FRAME = RATE // 100  # 10 ms
LOUD = 300
GAP = 30  # frames of quiet that end a stretch


def contour(samples):
    return [math.sqrt(sum(x * x for x in samples[i:i + FRAME]) / FRAME)
            for i in range(0, len(samples) - FRAME + 1, FRAME)]


def trimmed(levels):
    loud = [i for i, level in enumerate(levels) if level > LOUD / 4]
    return levels[loud[0]:loud[-1] + 1] if loud else []


def correlation(a, b):
    n = len(a)
    ma, mb = sum(a) / n, sum(b) / n
    cov = sum((x - ma) * (y - mb) for x, y in zip(a, b))
    va = sum((x - ma) ** 2 for x in a)
    vb = sum((y - mb) ** 2 for y in b)
    return cov / math.sqrt(va * vb) if va and vb else 0.0


# Contours aligned at their starts (a whole clip) or at their ends (a clip that cut off another),
# the shorter one filled out with quiet.
def likeness(a, b):
    pad = [0.0] * abs(len(a) - len(b))
    a_pad, b_pad = (a, b + pad) if len(a) > len(b) else (a + pad, b)
    a_lead, b_lead = (a, pad + b) if len(a) > len(b) else (pad + a, b)
    return max(correlation(a_pad, b_pad), correlation(a_lead, b_lead))


def main():
    folder = sys.argv[1]
    clips = {}
    for name in sorted(os.listdir(folder)):
        with wave.open(os.path.join(folder, name)) as clip:
            clips[name] = trimmed(contour(array.array("h", clip.readframes(clip.getnframes()))))
    if len(sys.argv) < 3:
        for name, levels in clips.items():
            print(f"{len(levels) / 100:.2f} {name}")
        return
    data = open(sys.argv[2], "rb").read()
    levels = contour(array.array("h", data[:len(data) // 2 * 2]))
    start, quiet = None, 0
    for i, level in enumerate(levels):
        if level > LOUD / 4:
            start = i if start is None else start
            quiet = 0
        elif start is not None:
            quiet += 1
            if quiet == GAP:
                stretch = trimmed(levels[start:i])
                best = max(clips, key=lambda name: likeness(stretch, clips[name]))
                print(f"{len(stretch) / 100:.2f} {best}")
                start = None


main()
