#!/usr/bin/env python3
"""Checks a real host's two captures of the effect's editor window, taken a
moment apart while the host's audio runs, against the test host's capture of
a fresh editor: the same size (the one the effect reports), every pixel equal
outside the text boxes and the activity strip, and the activity strip changed
between the two captures (its lamp follows the audio, and only the host's idle
calls repaint it).

usage: editor_capture_check.py REFERENCE FIRST SECOND
"""
import os
import sys

from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "editor_x11"))
from compare_captures import in_text  # noqa: E402

# The lamp strip between the two rows of steps at 100 % (left, top, right, bottom).
ACTIVITY = (30, 230, 589, 243)


def main():
    reference, first, second = (Image.open(p).convert("RGB") for p in sys.argv[1:4])
    if not first.size == second.size == reference.size:
        sys.exit("sizes differ: host %s and %s, test host %s" % (first.size, second.size, reference.size))
    width, height = reference.size
    r, a, b = reference.load(), first.load(), second.load()
    compared = lamp_changes = 0
    differing = []
    for y in range(height):
        for x in range(width):
            if ACTIVITY[0] <= x < ACTIVITY[2] and ACTIVITY[1] <= y < ACTIVITY[3]:
                lamp_changes += a[x, y] != b[x, y]
            elif not in_text(x, y, 100):
                compared += 1
                differing += [(x, y, c[x, y], r[x, y]) for c in (a, b) if c[x, y] != r[x, y]]
    print("%dx%d: %d pixels compared outside the text and the strip, %d differ; %d strip pixels changed"
          % (width, height, compared, len(differing), lamp_changes))
    if compared < width * height * 7 // 10:
        sys.exit("too little compared")
    if differing:
        sys.exit("first difference (x, y, host, test host): %s" % (differing[0],))
    if not lamp_changes:
        sys.exit("the activity lamp did not move: the editor is not being repainted")


main()
