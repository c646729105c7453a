#!/ usr / bin / env python3
"""Compares the X11 editor's capture with the Windows editor's capture of the
same steps at the same size: outside the boxes where text is drawn (which
FreeType and GDI draw differently), every pixel must be equal.

usage: compare_captures.py PERCENT X11.png WINDOWS.png
"""
import sys

from PIL import Image

#The text boxes at 100 % (left, top, right, bottom), each with a margin for
#glyphs drawn past their box : the version, the status line, the program
#slot, the value labels under the Swing and Chance sliders and under each
#knob(centred on the knob's centre).
MARGIN = 3
KNOB_CENTRES = (51, 121, 207, 277, 347, 499, 569)
TEXT_BOXES = [(558, 40, 608, 58), (316, 180, 446, 198), (426, 42, 554, 56),
              (56, 20, 158, 30), (56, 46, 158, 56)] + [
    (x - 35, 150, x + 35, 172) for x in KNOB_CENTRES
]


def in_text(x, y, percent):
    for left, top, right, bottom in TEXT_BOXES:
        if (left - MARGIN) * percent // 100 <= x < (right + MARGIN) * percent // 100 and \
           (top - MARGIN) * percent // 100 <= y < (bottom + MARGIN) * percent // 100:
            return True
    return False


def main():
    percent = int(sys.argv[1])
    x11, windows = (Image.open(p).convert("RGB") for p in sys.argv[2:4])
    if x11.size != windows.size:
        sys.exit("sizes differ: X11 %s, Windows %s" % (x11.size, windows.size))
    width, height = x11.size
    a, b = x11.load(), windows.load()
#Columns wholly black in the Windows capture lay beyond Wine's virtual
#screen(the 200 % window is wider than it) : nothing to compare there.
    visible = [x for x in range(width) if any(b[x, y] != (0, 0, 0) for y in range(height))]
    visible_width = max(visible) + 1 if visible else 0
    compared = differing = 0
    first = None
    for y in range(height):
        for x in range(visible_width):
            if in_text(x, y, percent):
                continue
            compared += 1
            if a[x, y] != b[x, y]:
                differing += 1
                first = first or (x, y, a[x, y], b[x, y])
    print("%d %%: %d pixels compared outside the text, %d differ" % (percent, compared, differing))
    if compared < width * height * 7 // 10:
        sys.exit("too little compared")
    if differing:
        sys.exit("first difference at %s" % (first,))


if __name__ == "__main__":
    main()
