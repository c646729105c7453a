#!/usr/bin/env bash
# The editor images in img/ must be exactly what tools/make_artwork.py draws:
# regenerate them into a scratch folder and compare sizes, pixel format and
# pixels with the committed files. Also checks that the cut-out control images
# line up with the background they are drawn over.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

/usr/bin/python3 "$root/tools/make_artwork.py" --out "$scratch" >/dev/null

/usr/bin/python3 - "$root/img" "$scratch" <<'PY'
import sys
from PIL import Image, ImageChops, ImageStat

committed, fresh = sys.argv[1], sys.argv[2]
sizes = {
    "bg.png": (620, 285), "knob.png": (50, 50), "but1.png": (112, 31),
    "but2.png": (112, 31), "but3.png": (22, 20), "radio.png": (70, 72),
    "slider.png": (31, 14), "on.png": (11, 7), "on_.png": (11, 7),
}
failures = []
images = {}
for name, size in sizes.items():
    old = Image.open(f"{committed}/{name}")
    new = Image.open(f"{fresh}/{name}")
    images[name] = old
    for label, im in (("committed", old), ("regenerated", new)):
        if im.size != size or im.mode != "RGBA":
            failures.append(f"{name} ({label}): {im.size} {im.mode}, want {size} RGBA")
    if old.size == new.size and old.mode == new.mode and old.tobytes() != new.tobytes():
        # getbbox on an RGBA image looks at alpha only, so take each band on its own.
        boxes = [band.getbbox() for band in ImageChops.difference(old, new).split()]
        boxes = [bx for bx in boxes if bx]
        diff = (min(bx[0] for bx in boxes), min(bx[1] for bx in boxes),
                max(bx[2] for bx in boxes), max(bx[3] for bx in boxes))
        failures.append(f"{name}: committed pixels differ from the script's in {diff}; "
                        "run tools/make_artwork.py and commit img/")

if not failures:
    bg = images["bg.png"].convert("RGBA")
    knob = images["knob.png"]
    # The knob turns about its centre: its corners must be clear, its middle solid.
    for xy in ((0, 0), (49, 0), (0, 49), (49, 49)):
        if knob.getpixel(xy)[3] != 0:
            failures.append(f"knob.png: corner {xy} is not transparent")
    if knob.getpixel((25, 25))[3] != 255:
        failures.append("knob.png: centre is not opaque")
    # The pressed pointer sits straight up at angle 0: the column through the
    # centre is brighter above the centre than below it.
    up = sum(knob.getpixel((25, y))[0] for y in range(5, 15))
    down = sum(knob.getpixel((25, y))[0] for y in range(36, 46))
    if up <= down + 500:
        failures.append("knob.png: no pointer above the centre")
    # Cut-outs replace a part of the background: they must be opaque, differ from
    # it (the pressed or selected look) and resemble it best exactly where the
    # editor draws them, not one pixel off.
    def distance(im, x, y):
        region = bg.crop((x, y, x + im.width, y + im.height))
        return sum(ImageStat.Stat(ImageChops.difference(im, region)).sum[:3])

    for name, (x, y) in (("but1.png", (22, 172)), ("but2.png", (485, 172)),
                         ("but3.png", (288, 179)), ("radio.png", (387, 97))):
        im = images[name].convert("RGBA")
        if im.getextrema()[3] != (255, 255):
            failures.append(f"{name}: not opaque")
        here = distance(im, x, y)
        if here == 0:
            failures.append(f"{name}: identical to the background, no pressed look")
        for dx, dy in ((-1, 0), (1, 0), (0, -1), (0, 1)):
            if distance(im, x + dx, y + dy) <= here:
                failures.append(f"{name}: matches the background better at an offset of "
                                f"({dx}, {dy}) than at ({x}, {y})")

for f in failures:
    print("artwork_check:", f)
sys.exit(1 if failures else 0)
PY
echo "artwork_check: img/ matches tools/make_artwork.py"
