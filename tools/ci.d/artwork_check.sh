#!/usr/bin/env bash
# The editor images in img/ (100 %) and img/2x/ (200 %) must be exactly what
# tools/make_artwork.py draws: regenerate both sets into a scratch folder and
# compare sizes, pixel format and pixels with the committed files. Also checks,
# in both sets, that the knob turns about its centre and that the cut-out
# control images line up with the background they are drawn over, and that
# the 200 % set is the same drawing as the 100 % set, drawn at its own
# resolution rather than enlarged.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

/usr/bin/python3 "$root/tools/make_artwork.py" --out "$scratch" >/dev/null

/usr/bin/python3 - "$root/img" "$scratch" <<'PY'
import os
import sys
from PIL import Image, ImageChops, ImageStat

committed, fresh = sys.argv[1], sys.argv[2]
sizes = {
    "bg.png": (620, 285), "knob.png": (50, 50), "but1.png": (112, 31),
    "but2.png": (112, 31), "but3.png": (22, 20), "radio.png": (70, 72),
    "slider.png": (31, 14), "on.png": (11, 7), "on_.png": (11, 7),
    "restart.png": (168, 14), "midi_switch.png": (168, 14),
}
sets = {1: "", 2: "2x"}  # output pixels per editor pixel -> sub-folder
failures = []
images = {}  # (scale, name) -> committed image
for scale, folder in sets.items():
    for name, (w, h) in sizes.items():
        label_name = os.path.join(folder, name)
        want = (w * scale, h * scale)
        old = Image.open(os.path.join(committed, folder, name))
        new = Image.open(os.path.join(fresh, folder, name))
        images[scale, name] = old
        for label, im in (("committed", old), ("regenerated", new)):
            if im.size != want or im.mode != "RGBA":
                failures.append(f"{label_name} ({label}): {im.size} {im.mode}, want {want} RGBA")
        if old.size == new.size and old.mode == new.mode and old.tobytes() != new.tobytes():
            # getbbox on an RGBA image looks at alpha only, so take each band on its own.
            boxes = [band.getbbox() for band in ImageChops.difference(old, new).split()]
            boxes = [bx for bx in boxes if bx]
            diff = (min(bx[0] for bx in boxes), min(bx[1] for bx in boxes),
                    max(bx[2] for bx in boxes), max(bx[3] for bx in boxes))
            failures.append(f"{label_name}: committed pixels differ from the script's in {diff}; "
                            "run tools/make_artwork.py and commit img/")


def distance(a, b):
    return sum(ImageStat.Stat(ImageChops.difference(a, b)).sum[:3])


def check_set(scale):
    prefix = sets[scale] + "/" if sets[scale] else ""
    bg = images[scale, "bg.png"].convert("RGBA")
    knob = images[scale, "knob.png"]
    last = knob.width - 1
    # The knob turns about its centre: its corners must be clear, its middle
    # solid, and its alpha balanced about the centre within a tenth of a pixel.
    for xy in ((0, 0), (last, 0), (0, last), (last, last)):
        if knob.getpixel(xy)[3] != 0:
            failures.append(f"{prefix}knob.png: corner {xy} is not transparent")
    c = knob.width // 2
    if knob.getpixel((c, c))[3] != 255:
        failures.append(f"{prefix}knob.png: centre is not opaque")
    alpha = knob.getchannel("A")
    total = sum(alpha.getdata())
    cx = sum(a * (i % knob.width + 0.5) for i, a in enumerate(alpha.getdata())) / total
    cy = sum(a * (i // knob.width + 0.5) for i, a in enumerate(alpha.getdata())) / total
    if abs(cx - knob.width / 2) > 0.1 or abs(cy - knob.height / 2) > 0.1:
        failures.append(f"{prefix}knob.png: centred at ({cx:.2f}, {cy:.2f}), "
                        f"not ({knob.width / 2}, {knob.height / 2})")
    # The pointer sits straight up at angle 0: the column through the centre is
    # brighter above the centre than below it.
    up = sum(knob.getpixel((c, y))[0] for y in range(5 * scale, 15 * scale))
    down = sum(knob.getpixel((c, y))[0] for y in range(36 * scale, 46 * scale))
    if up <= down + 500 * scale:
        failures.append(f"{prefix}knob.png: no pointer above the centre")
    # Cut-outs replace a part of the background: they must be opaque, differ from
    # it (the pressed or selected look) and resemble it best exactly where the
    # editor draws them, not one pixel off.
    for name, (x, y) in (("but1.png", (22, 172)), ("but2.png", (485, 172)),
                         ("but3.png", (288, 179)), ("radio.png", (387, 97)),
                         ("restart.png", (426, 8)), ("midi_switch.png", (426, 25))):
        im = images[scale, name].convert("RGBA")
        x, y = x * scale, y * scale

        def here_at(dx, dy):
            return distance(im, bg.crop((x + dx, y + dy, x + dx + im.width, y + dy + im.height)))

        if im.getextrema()[3] != (255, 255):
            failures.append(f"{prefix}{name}: not opaque")
        here = here_at(0, 0)
        if here == 0:
            failures.append(f"{prefix}{name}: identical to the background, no pressed look")
        for dx, dy in ((-1, 0), (1, 0), (0, -1), (0, 1)):
            if here_at(dx, dy) <= here:
                failures.append(f"{prefix}{name}: matches the background better at an offset "
                                f"of ({dx}, {dy}) than at ({x}, {y})")


def edge_energy(im):
    """Sum of squared differences between horizontal neighbours, colour only."""
    rgb = im.convert("RGB")
    w, h = rgb.size
    steps = ImageChops.difference(rgb.crop((1, 0, w, h)), rgb.crop((0, 0, w - 1, h)))
    return sum(ImageStat.Stat(steps).sum2)


def check_sets_agree():
    # Same drawing: the 200 % background halved comes close to the 100 % one.
    small, large = images[1, "bg.png"], images[2, "bg.png"]
    mean = max(ImageStat.Stat(ImageChops.difference(small, large.reduce(2))).mean)
    if mean > 3.0:
        failures.append(f"2x/bg.png: halved, differs from bg.png by {mean:.2f} per channel")
    # Drawn natively: an enlargement of the 100 % image has at most twice its
    # edge energy (nearest neighbour exactly twice, smoother filters less); a
    # drawing at twice the resolution keeps its edges one pixel wide.
    ratio = edge_energy(large) / edge_energy(small)
    if ratio < 2.2:
        failures.append(f"2x/bg.png: edge energy only {ratio:.2f} times bg.png's; "
                        "an enlargement, not a drawing at 200 %?")


if not failures:
    for scale in sets:
        check_set(scale)
    check_sets_agree()

for f in failures:
    print("artwork_check:", f)
sys.exit(1 if failures else 0)
PY
echo "artwork_check: img/ and img/2x/ match tools/make_artwork.py"
