#!/usr/bin/python3
"""Draws the editor's eleven PNG images into img/ (or another folder), twice:
at 100 % into img/ and at 200 % into img/2x/, from the same drawing.

Coordinates are editor pixels (the 620 x 285 layout). Each set is drawn at
SUPERSAMPLE times its own final size and reduced with a Lanczos filter, so
edges and text come out anti-aliased; the 200 % set is drawn natively at twice
the resolution, not enlarged from the 100 % set. The script uses no clock and
no unseeded randomness: two runs write identical pixels.

The opaque images (rocker frames, padlock, "Target" panel) are cut out of a
render of the whole background with those controls in their pressed or
selected look, so their borders match the background pixel for pixel.

Usage:
    make_artwork.py [--out DIR] [--preview FILE.png]
"""

import argparse
import math
import os
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

SUPERSAMPLE = 4  # canvas pixels per output pixel
SCALES = {1: "", 2: "2x"}  # output pixels per editor pixel -> sub-folder of the set
scale = 1  # the set being drawn
SS = SUPERSAMPLE * scale  # canvas pixels per editor pixel


def use_scale(s):
    global scale, SS
    scale, SS = s, SUPERSAMPLE * s
WIDTH, HEIGHT = 620, 285

FONT_DIRS = ["/usr/share/fonts/truetype/liberation2", "/usr/share/fonts/truetype/dejavu"]
SANS = "LiberationSans-Regular.ttf"
SANS_BOLD = "LiberationSans-Bold.ttf"
DEJAVU = "DejaVuSans.ttf"
DEJAVU_BOLD = "DejaVuSans-Bold.ttf"

# Palette. The accents are the colours the editor itself draws with.
TIME_BLUE = (130, 195, 255)
LEVEL_TEAL = (0, 255, 180)
SLIDER_LINE = (66, 110, 170)
CAPTION = (198, 207, 220)
CAPTION_DIM = (128, 138, 154)
BODY_TOP = (44, 48, 57)
BODY_BOTTOM = (29, 32, 38)
WELL = (13, 15, 19)

# Control rectangles of the editor (left, top, right, bottom).
TITLE_PLATE = (164, 6, 356, 54)
VERSION_AREA = (558, 40, 608, 58)
STATUS_BOX = (316, 180, 446, 198)
TARGET_PANEL = (387, 97, 457, 169)
TARGET_OPTIONS = ["Volume", "Low Gain", "High Gain", "Low - High"]
SLIDER_RECT = (193, 174, 285, 194)
SLIDER_TRACK = (195, 174, 283, 188)  # handle area: 89 px centred, handle height
LOCK_BUTTON = (288, 179, 310, 199)
TIME_ROCKER = (22, 172, 134, 203)
LEVEL_ROCKER = (485, 172, 597, 203)
ACTIVITY_STRIP = (30, 230, 589, 243)
PATTERN_BUTTON = (420, 270, 492, 283)  # opens the pattern menu, in the footer under the grid
# The header's groove controls: two sliders on the left, two selectors and the
# program slot on the right. Selector buttons are as wide as their texts need.
GROOVE_SLIDERS = [("SWING", (56, 6, 158, 30)), ("CHANCE", (56, 32, 158, 56))]
GROOVE_TRACK = 100  # handle area of each, centred in its rectangle
SELECTOR_LEFT = 426
SELECTORS = [  # (caption, top, [(option, button width)]), 14 pixels tall
    ("RESTART", 8, [("Host position", 58), ("Transport start", 64), ("MIDI note", 46)]),
    ("MIDI SWITCH", 25, [("Off", 24), ("Immediate", 50), ("Next step", 46), ("Next bar", 48)]),
]
SELECTOR_HEIGHT = 14
SELECTOR_FONT = 8.5
PROGRAM_SLOT = (426, 42, 554, 56)
KNOBS = [("Rate", 51), ("Cycle", 121), ("Attack", 207), ("Release", 277),
         ("Fade", 347), ("Split Freq", 499), ("Mix", 569)]
KNOB_Y = 125
KNOB_RADIUS = 23.0      # body radius inside the 50 x 50 knob image
SCALE_RADIUS = 27.5     # tick ring drawn on the background
CAPTION_Y = 87          # captions sit above the knobs: the value text is below
STEP_PITCH = 35


def step_cells(row):
    """Time and level cell rectangles of one grid row (0 or 1)."""
    y = 221 + 34 * row
    cells = []
    for c in range(16):
        x = 30 + STEP_PITCH * c
        cells.append(((x, y - 11, x + 34, y - 1), (x, y, x + 34, y + 8)))
    return cells


# ---------------------------------------------------------------- primitives

_fonts = {}


def font(name, size):
    key = (name, size, SS)
    if key not in _fonts:
        for d in FONT_DIRS:
            path = os.path.join(d, name)
            if os.path.exists(path):
                _fonts[key] = ImageFont.truetype(path, int(round(size * SS)))
                break
        else:
            sys.exit("make_artwork: font %s not found" % name)
    return _fonts[key]


def sc(v):
    return int(round(v * SS))


def rgba(c, a=255):
    return (c[0], c[1], c[2], a if len(c) == 3 else c[3])


def vgradient(size, top, bottom):
    """RGBA patch of the given (supersampled) size, top colour to bottom colour."""
    w, h = size
    ramp = Image.linear_gradient("L").resize((max(w, 1), max(h, 1)), Image.BILINEAR)
    return Image.composite(Image.new("RGBA", (w, h), rgba(bottom)),
                           Image.new("RGBA", (w, h), rgba(top)), ramp)


def hgradient(size, left, right):
    w, h = size
    ramp = Image.linear_gradient("L").rotate(90, expand=True)  # 0 at the left edge
    ramp = ramp.resize((max(w, 1), max(h, 1)), Image.BILINEAR)
    return Image.composite(Image.new("RGBA", (w, h), rgba(right)),
                           Image.new("RGBA", (w, h), rgba(left)), ramp)


def radial(size, centre, edge):
    w, h = size
    ramp = Image.radial_gradient("L").resize((w, h), Image.BILINEAR)
    return Image.composite(Image.new("RGBA", (w, h), rgba(edge)),
                           Image.new("RGBA", (w, h), rgba(centre)), ramp)


def shape_mask(size, kind, box, radius=0.0):
    """A hard-edged L mask; anti-aliasing comes from the final reduction."""
    m = Image.new("L", size, 0)
    d = ImageDraw.Draw(m)
    x0, y0, x1, y1 = box
    if kind == "rect":
        if radius > 0:
            d.rounded_rectangle((x0, y0, x1 - 1, y1 - 1), radius=radius, fill=255)
        else:
            d.rectangle((x0, y0, x1 - 1, y1 - 1), fill=255)
    elif kind == "ellipse":
        d.ellipse((x0, y0, x1 - 1, y1 - 1), fill=255)
    return m


class Canvas:
    """An RGBA image at SS times the size; all coordinates are editor pixels."""

    def __init__(self, w, h, fill=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.im = Image.new("RGBA", (w * SS, h * SS), fill)

    # Composite `patch` (RGBA, supersampled) at editor position (x, y), its alpha
    # scaled by `mask` when given.
    def put(self, patch, x, y, mask=None, alpha=255):
        if mask is not None:
            a = patch.getchannel("A")
            a = Image.composite(a, Image.new("L", a.size, 0), mask)
            if alpha != 255:
                a = a.point(lambda v: v * alpha // 255)
            patch = patch.copy()
            patch.putalpha(a)
        self.im.alpha_composite(patch, (sc(x), sc(y)))

    def fill(self, box, paint, radius=0.0, kind="rect", alpha=255):
        """paint: a colour, or ('v', top, bottom), ('h', left, right), ('r', centre, edge)."""
        x0, y0, x1, y1 = box
        size = (sc(x1) - sc(x0), sc(y1) - sc(y0))
        if size[0] <= 0 or size[1] <= 0:
            return
        if isinstance(paint, tuple) and isinstance(paint[0], str):
            fn = {"v": vgradient, "h": hgradient, "r": radial}[paint[0]]
            patch = fn(size, paint[1], paint[2])
        else:
            patch = Image.new("RGBA", size, rgba(paint))
        mask = shape_mask(size, kind, (0, 0) + size, radius * SS)
        self.put(patch, x0, y0, mask, alpha)

    def ring(self, box, colour, width, kind="ellipse", radius=0.0):
        """Outline of a rectangle or ellipse, `width` editor pixels thick, inside the box."""
        x0, y0, x1, y1 = box
        size = (sc(x1) - sc(x0), sc(y1) - sc(y0))
        outer = shape_mask(size, kind, (0, 0) + size, radius * SS)
        wi = sc(width)
        inner = shape_mask(size, kind, (wi, wi, size[0] - wi, size[1] - wi),
                           max(radius - width, 0) * SS)
        mask = Image.composite(Image.new("L", size, 0), outer, inner)
        self.put(Image.new("RGBA", size, rgba(colour)), x0, y0, mask)

    def shadow(self, box, colour, blur, offset=(0, 0), radius=0.0, kind="rect", grow=0.0):
        x0, y0, x1, y1 = box
        x0, y0, x1, y1 = x0 - grow, y0 - grow, x1 + grow, y1 + grow
        pad = blur * 3 + 1
        size = (sc(x1 - x0 + 2 * pad), sc(y1 - y0 + 2 * pad))
        p = sc(pad)
        mask = shape_mask(size, kind, (p, p, size[0] - p, size[1] - p), radius * SS)
        mask = mask.filter(ImageFilter.GaussianBlur(blur * SS))
        a = colour[3] if len(colour) == 4 else 255
        mask = mask.point(lambda v: v * a // 255)
        patch = Image.new("RGBA", size, rgba(colour, 255))
        patch.putalpha(mask)
        self.im.alpha_composite(patch, (sc(x0 - pad + offset[0]), sc(y0 - pad + offset[1])))

    def polygon(self, points, colour, blur=0.0):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        pad = blur * 3 + 1
        x0, y0 = min(xs) - pad, min(ys) - pad
        size = (sc(max(xs) - x0 + pad), sc(max(ys) - y0 + pad))
        mask = Image.new("L", size, 0)
        ImageDraw.Draw(mask).polygon([(sc(x - x0), sc(y - y0)) for x, y in points], fill=255)
        if blur:
            mask = mask.filter(ImageFilter.GaussianBlur(blur * SS))
        self.put(Image.new("RGBA", size, rgba(colour)), x0, y0, mask)

    def line(self, p0, p1, colour, width, blur=0.0, round_caps=True):
        pad = width + blur * 3 + 1
        x0, y0 = min(p0[0], p1[0]) - pad, min(p0[1], p1[1]) - pad
        size = (sc(abs(p1[0] - p0[0]) + 2 * pad), sc(abs(p1[1] - p0[1]) + 2 * pad))
        mask = Image.new("L", size, 0)
        d = ImageDraw.Draw(mask)
        a = (sc(p0[0] - x0), sc(p0[1] - y0))
        b = (sc(p1[0] - x0), sc(p1[1] - y0))
        d.line([a, b], fill=255, width=sc(width))
        if round_caps:
            r = sc(width) / 2
            for c in (a, b):
                d.ellipse((c[0] - r, c[1] - r, c[0] + r, c[1] + r), fill=255)
        if blur:
            mask = mask.filter(ImageFilter.GaussianBlur(blur * SS))
        self.put(Image.new("RGBA", size, rgba(colour)), x0, y0, mask)

    def arc(self, box, start, end, colour, width):
        """Arc of the ellipse in box, angles in degrees clockwise from 3 o'clock."""
        x0, y0, x1, y1 = box
        pad = width
        size = (sc(x1 - x0 + 2 * pad), sc(y1 - y0 + 2 * pad))
        mask = Image.new("L", size, 0)
        p = sc(pad)
        ImageDraw.Draw(mask).arc((p, p, size[0] - p - 1, size[1] - p - 1), start, end,
                                 fill=255, width=sc(width))
        self.put(Image.new("RGBA", size, rgba(colour)), x0 - pad, y0 - pad, mask)

    def text(self, xy, s, face, size, colour, anchor="mm", tracking=0.0, blur=0.0):
        """Text at editor position xy; tracking adds space between letters (editor px)."""
        f = font(face, size)
        probe = ImageDraw.Draw(Image.new("L", (1, 1)))
        widths = [probe.textlength(ch, font=f) for ch in s]
        total = probe.textlength(s, font=f) + sc(tracking) * (len(s) - 1)
        asc, desc = f.getmetrics()
        pad = sc(blur * 3 + 2)
        size4 = (int(total) + 2 * pad, asc + desc + 2 * pad)
        mask = Image.new("L", size4, 0)
        d = ImageDraw.Draw(mask)
        if tracking:
            x = pad
            for ch, w in zip(s, widths):
                d.text((x, pad), ch, font=f, fill=255)
                x += w + sc(tracking)
        else:
            d.text((pad, pad), s, font=f, fill=255)
        if blur:
            mask = mask.filter(ImageFilter.GaussianBlur(blur * SS))
        # Anchor: horizontal l/m/r, vertical m = middle of the cap height, s = baseline.
        cap = f.getbbox("H")
        cap_top, baseline = cap[1], asc
        ax = {"l": 0, "m": total / 2, "r": total}[anchor[0]]
        ay = {"m": (cap_top + baseline) / 2, "s": baseline}[anchor[1]]
        x = sc(xy[0]) - pad - ax
        y = sc(xy[1]) - pad - ay
        patch = Image.new("RGBA", size4, rgba(colour, 255))
        a = colour[3] if len(colour) == 4 else 255
        patch.putalpha(mask.point(lambda v: v * a // 255))
        self.im.alpha_composite(patch, (int(round(x)), int(round(y))))

    def reduce(self):
        return self.im.resize((self.w * scale, self.h * scale), Image.LANCZOS)


def text_width(s, face, size):
    f = font(face, size)
    return ImageDraw.Draw(Image.new("L", (1, 1))).textlength(s, font=f) / SS


def bevel(cv, box, radius, light=(255, 255, 255, 26), dark=(0, 0, 0, 90)):
    """A one-pixel raised edge: light along the top, dark outline around."""
    x0, y0, x1, y1 = box
    cv.ring(box, dark, 1.0, kind="rect", radius=radius)
    cv.fill((x0 + radius * 0.6 + 1, y0 + 1, x1 - radius * 0.6 - 1, y0 + 2), light)


def recess(cv, box, radius, base, depth=150):
    """A sunken well: dark fill, inner shadow at the top, highlight under the lower edge."""
    x0, y0, x1, y1 = box
    cv.fill((x0, y0 + 1, x1, y1 + 1), (255, 255, 255, 20), radius=radius)
    cv.fill(box, base, radius=radius)
    cv.fill((x0, y0, x1, y0 + 1.5), (0, 0, 0, depth // 2), radius=min(radius, 0.7))
    cv.ring(box, (0, 0, 0, depth), 1.0, kind="rect", radius=radius)


# ---------------------------------------------------------------- background

def draw_body(cv):
    cv.fill((0, 0, WIDTH, HEIGHT), ("v", BODY_TOP, BODY_BOTTOM))
    # A broad soft light from above the controls.
    cv.shadow((120, 70, 500, 150), (255, 255, 255, 10), 40)
    # Header band.
    cv.fill((0, 0, WIDTH, 60), ("v", (27, 30, 36), (20, 22, 27)))
    cv.fill((0, 60, WIDTH, 61), (8, 9, 11))
    cv.fill((0, 61, WIDTH, 62), (255, 255, 255, 22))
    cv.shadow((0, 56, WIDTH, 61), (0, 0, 0, 90), 3, offset=(0, 5))
    # Frame of the whole editor.
    cv.ring((0, 0, WIDTH, HEIGHT), (0, 0, 0, 200), 1.0, kind="rect")
    cv.fill((1, 1, WIDTH - 1, 2), (255, 255, 255, 18))
    for x, y in ((8, 8), (WIDTH - 8, 8), (8, HEIGHT - 8), (WIDTH - 8, HEIGHT - 8)):
        screw(cv, x, y)


def screw(cv, x, y):
    cv.shadow((x - 3.5, y - 3.5, x + 3.5, y + 3.5), (0, 0, 0, 150), 1.0, offset=(0, 1),
              kind="ellipse")
    cv.fill((x - 3.5, y - 3.5, x + 3.5, y + 3.5), ("v", (110, 116, 128), (52, 56, 64)),
            kind="ellipse")
    cv.fill((x - 2.6, y - 2.6, x + 2.6, y + 2.6), ("v", (62, 67, 76), (96, 102, 114)),
            kind="ellipse")
    cv.line((x - 1.8, y + 1.8), (x + 1.8, y - 1.8), (28, 30, 34), 0.9)


def draw_header(cv):
    x0, y0, x1, y1 = TITLE_PLATE
    cv.shadow(TITLE_PLATE, (0, 0, 0, 200), 3, offset=(0, 2), radius=6)
    cv.fill(TITLE_PLATE, ("v", (56, 61, 71), (33, 36, 43)), radius=6)
    bevel(cv, TITLE_PLATE, 6, light=(255, 255, 255, 40), dark=(0, 0, 0, 220))
    inner = (x0 + 5, y0 + 5, x1 - 5, y1 - 5)
    recess(cv, inner, 3.5, ("v", (14, 17, 22), (20, 24, 31)), depth=170)
    cx = (x0 + x1) / 2
    # Accent glow behind the name, then the name.
    cv.text((cx, 24.5), "Quorvel", SANS_BOLD, 21, rgba(TIME_BLUE, 150), tracking=1.2, blur=3.0)
    cv.text((cx, 24.5), "Quorvel", SANS_BOLD, 21, (232, 240, 250), tracking=1.2)
    cv.line((cx - 44, 36.5), (cx + 44, 36.5), rgba(SLIDER_LINE, 200), 0.8)
    cv.text((cx, 42.5), "RHYTHMIC STEP GATE", SANS, 6.8, rgba(TIME_BLUE, 210), tracking=1.4)

    # Light badge under the version text (the editor writes it in dark grey).
    bx0, by0, bx1, by1 = VERSION_AREA
    badge = (bx0 - 5, by0 - 1, bx1 - 10, by1 + 1)
    cv.shadow(badge, (0, 0, 0, 160), 1.5, offset=(0, 1), radius=3)
    cv.fill(badge, ("v", (236, 240, 245), (200, 206, 215)), radius=3)
    cv.ring(badge, (0, 0, 0, 120), 1.0, kind="rect", radius=3)


def selector_box(top, options):
    return (SELECTOR_LEFT, top, SELECTOR_LEFT + sum(w for _, w in options), top + SELECTOR_HEIGHT)


def draw_groove(cv, selected=False):
    """The header's groove controls; `selected` draws every selector button in its
    selected look (the image the editor cuts them from)."""
    for caption, (x0, y0, x1, y1) in GROOVE_SLIDERS:
        cv.text((16, y0 + 7), caption, SANS_BOLD, 7.2, CAPTION_DIM, anchor="lm", tracking=0.8)
        cx = (x0 + x1) / 2
        tx0, tx1 = cx - GROOVE_TRACK / 2, cx + GROOVE_TRACK / 2
        cy = y0 + 7  # the editor's value line is centred on the handle's height
        recess(cv, (tx0 + 2, cy - 2, tx1 - 2, cy + 2), 2, (8, 10, 13), depth=200)
    for caption, top, options in SELECTORS:
        box = selector_box(top, options)
        cv.text((SELECTOR_LEFT - 4, top + 7), caption, SANS_BOLD, 7.2, CAPTION_DIM, anchor="rm",
                tracking=0.6)
        recess(cv, box, 3, ("v", (17, 19, 24), (22, 25, 31)), depth=200)
        x = SELECTOR_LEFT
        for i, (label, w) in enumerate(options):
            # Whole texts only: a label wider than its button is a layout error.
            need = text_width(label, SANS, SELECTOR_FONT) + 6
            if need > w:
                sys.exit("make_artwork: %r needs %.1f px, its button has %d" % (label, need, w))
            if i:
                cv.fill((x, top + 3, x + 1, top + SELECTOR_HEIGHT - 3), (0, 0, 0, 140))
            if selected:
                cv.fill((x + 1, top + 1, x + w - 1, top + SELECTOR_HEIGHT - 1),
                        ("v", rgba(SLIDER_LINE, 220), rgba(SLIDER_LINE, 90)), radius=2.5)
                cv.ring((x + 1, top + 1, x + w - 1, top + SELECTOR_HEIGHT - 1),
                        rgba(TIME_BLUE, 110), 0.8, kind="rect", radius=2.5)
                colour = (244, 248, 255)
            else:
                colour = (150, 160, 175)
            cv.text((x + w / 2, top + SELECTOR_HEIGHT / 2), label, SANS, SELECTOR_FONT, colour)
            x += w
    x0, y0, x1, y1 = PROGRAM_SLOT
    cv.text((SELECTOR_LEFT - 4, y0 + 7), "PROGRAM", SANS_BOLD, 7.2, CAPTION_DIM, anchor="rm",
            tracking=0.6)
    recess(cv, (x0 - 2, y0, x1, y1), 3, ("v", (8, 12, 16), (14, 19, 25)), depth=220)


def draw_separators(cv):
    for x in (164.5, 465.5):
        cv.fill((x - 1, 72, x, 198), (0, 0, 0, 110))
        cv.fill((x, 72, x + 1, 198), (255, 255, 255, 18))


def draw_knob_socket(cv, name, cx):
    cy = KNOB_Y
    # Scale: ticks from -150 to +150 degrees; longer ticks at the ends and the middle.
    for i in range(11):
        deg = -150 + 30 * i
        a = math.radians(deg)
        major = i in (0, 5, 10)
        r0 = SCALE_RADIUS - (0.6 if major else 0)
        r1 = SCALE_RADIUS + (3.2 if major else 2.0)
        p0 = (cx + r0 * math.sin(a), cy - r0 * math.cos(a))
        p1 = (cx + r1 * math.sin(a), cy - r1 * math.cos(a))
        cv.line(p0, p1, (150, 160, 176, 210) if major else (105, 114, 128, 190),
                1.1 if major else 0.9)
    # Socket: a dark ring the knob sits in, its shadow cast downwards.
    r = KNOB_RADIUS + 2.0
    cv.fill((cx - r, cy - r + 0.6, cx + r, cy + r + 0.6), (255, 255, 255, 20), kind="ellipse")
    cv.fill((cx - r, cy - r, cx + r, cy + r), ("v", (10, 11, 14), (24, 27, 32)), kind="ellipse")
    rk = KNOB_RADIUS
    cv.shadow((cx - rk, cy - rk, cx + rk, cy + rk), (0, 0, 0, 230), 2.2, offset=(0, 2.2),
              kind="ellipse")
    cv.text((cx, CAPTION_Y + 1), name, SANS_BOLD, 10.5, (0, 0, 0, 160))
    cv.text((cx, CAPTION_Y), name, SANS_BOLD, 10.5, CAPTION)


def draw_target(cv, selected=()):
    x0, y0, x1, y1 = TARGET_PANEL
    cx = (x0 + x1) / 2
    cv.text((cx, CAPTION_Y + 1), "Target", SANS_BOLD, 10.5, (0, 0, 0, 160))
    cv.text((cx, CAPTION_Y), "Target", SANS_BOLD, 10.5, CAPTION)
    cv.shadow(TARGET_PANEL, (255, 255, 255, 14), 0.6, offset=(0, 1), radius=4)
    recess(cv, TARGET_PANEL, 4, ("v", (17, 19, 24), (22, 25, 31)), depth=200)
    for i, label in enumerate(TARGET_OPTIONS):
        top = y0 + 18 * i
        if i:
            cv.fill((x0 + 4, top, x1 - 4, top + 1), (0, 0, 0, 120))
            cv.fill((x0 + 4, top + 1, x1 - 4, top + 2), (255, 255, 255, 10))
        on = i in selected
        lx, ly = x0 + 8.5, top + 9.5
        if on:
            cv.fill((x0 + 2, top + 2, x1 - 2, top + 17), ("h", rgba(SLIDER_LINE, 200),
                                                           rgba(SLIDER_LINE, 40)), radius=2.5)
            cv.fill((x0 + 2, top + 2, x1 - 2, top + 3), (255, 255, 255, 40), radius=1)
            cv.ring((x0 + 2, top + 2, x1 - 2, top + 17), rgba(TIME_BLUE, 90), 0.8,
                    kind="rect", radius=2.5)
            cv.shadow((lx - 2.5, ly - 2.5, lx + 2.5, ly + 2.5), rgba(TIME_BLUE, 255), 1.6,
                      kind="ellipse")
            cv.fill((lx - 2.4, ly - 2.4, lx + 2.4, ly + 2.4), ("r", (240, 250, 255), TIME_BLUE),
                    kind="ellipse")
            colour = (244, 248, 255)
        else:
            cv.fill((lx - 2.6, ly - 2.6, lx + 2.6, ly + 2.6), (0, 0, 0, 180), kind="ellipse")
            cv.fill((lx - 2.0, ly - 2.0, lx + 2.0, ly + 2.0), ("v", (34, 40, 50), (52, 60, 72)),
                    kind="ellipse")
            colour = (150, 160, 175)
        cv.text((x0 + 14, ly), label, SANS, 9.2, colour, anchor="lm")


def draw_rocker(cv, box, label, pressed=None):
    x0, y0, x1, y1 = box
    cx = round((x0 + x1) * 0.5)
    cy = (y0 + y1) / 2
    r = 5
    cv.shadow(box, (0, 0, 0, 200), 2.0, offset=(0, 1.5), radius=r)
    cv.fill(box, ("v", (70, 76, 88), (44, 48, 57)), radius=r)
    bevel(cv, box, r, light=(255, 255, 255, 45), dark=(0, 0, 0, 230))
    # A slight hollow along the pivot makes the two ends read as separate pads.
    cv.shadow((cx - 0.5, y0 + 4, cx + 0.5, y1 - 4), (0, 0, 0, 60), 2.5)
    if pressed:
        # The pressed end sinks: darker towards its edge, fading out at the pivot.
        half = (x0, y0, cx, y1) if pressed == "left" else (cx, y0, x1, y1)
        edge, pivot = ((0, 0, 0, 175), (0, 0, 0, 0))
        paint = ("h", edge, pivot) if pressed == "left" else ("h", pivot, edge)
        size = (sc(x1) - sc(x0), sc(y1) - sc(y0))
        full = Image.new("RGBA", size, (0, 0, 0, 0))
        hx0 = sc(half[0]) - sc(x0)
        hx1 = sc(half[2]) - sc(x0)
        fn = hgradient((hx1 - hx0, size[1]), paint[1], paint[2])
        full.paste(fn, (hx0, 0))
        mask = shape_mask(size, "rect", (0, 0) + size, r * SS)
        cv.put(full, x0, y0, mask)
        # Inner shadow along the pressed edge.
        ex = x0 if pressed == "left" else x1
        cv.shadow((ex - 3, y0, ex + 3, y1), (0, 0, 0, 120), 2.0)
        bevel(cv, box, r, light=(0, 0, 0, 0), dark=(0, 0, 0, 230))
    # Minus and plus pads, lit in the accent colour on the pressed end.
    for side, mx in (("left", x0 + 15), ("right", x1 - 15)):
        lit = pressed == side
        col = (190, 228, 255) if lit else (176, 184, 198)
        if lit:
            cv.shadow((mx - 5, cy - 5, mx + 5, cy + 5), rgba(TIME_BLUE, 220), 2.5, kind="ellipse")
        cv.fill((mx - 4, cy + 0.5, mx + 4, cy + 1.5), (0, 0, 0, 120))  # engraved edge
        cv.fill((mx - 4, cy - 1, mx + 4, cy + 1), col)
        if side == "right":
            cv.fill((mx - 1, cy - 4 + 1, mx + 1, cy + 4 + 1), (0, 0, 0, 120))
            cv.fill((mx - 1, cy - 4, mx + 1, cy + 4), col)
            cv.fill((mx - 4, cy - 1, mx + 4, cy + 1), col)
    cv.text((cx, cy + 1), label, SANS_BOLD, 9.5, (0, 0, 0, 170))
    cv.text((cx, cy), label, SANS_BOLD, 9.5, (206, 214, 226))


def draw_slider_track(cv):
    x0, y0, x1, y1 = SLIDER_TRACK
    cy = (y0 + y1) / 2  # the editor's value line is centred here
    groove = (x0 + 2, cy - 2, x1 - 2, cy + 2)
    recess(cv, groove, 2, (8, 10, 13), depth=200)
    for i in range(5):
        x = x0 + 15.5 + (x1 - x0 - 31) * i / 4
        cv.fill((x - 0.5, cy + 4, x + 0.5, cy + 6.5), (110, 120, 135, 150))
        cv.fill((x - 0.5, cy - 6.5, x + 0.5, cy - 4), (110, 120, 135, 150))
    cx = (SLIDER_RECT[0] + SLIDER_RECT[2]) / 2
    cv.text((cx, 197.5), "Gate", SANS_BOLD, 9.5, (0, 0, 0, 160))
    cv.text((cx, 196.5), "Gate", SANS_BOLD, 9.5, CAPTION)


def padlock(cv, cx, cy, colour, closed):
    """Body centred on cx with its top at cy - 1.5; the shackle lifts and frees its left leg when open."""
    body_top = cy - 1.5
    lift = 0.0 if closed else 2.4
    w, t = 2.5, 1.4              # inner half-width and thickness of the shackle
    arc_cy = body_top - 2.6 - lift
    r = w + t / 2
    cv.arc((cx - r, arc_cy - r, cx + r, arc_cy + r), 180, 360, colour, t)
    left_end = body_top if closed else arc_cy + 1.2
    cv.fill((cx - r - t / 2, arc_cy, cx - r + t / 2, left_end), colour)
    cv.fill((cx + r - t / 2, arc_cy, cx + r + t / 2, body_top + 0.5), colour)
    cv.fill((cx - 4.5, body_top, cx + 4.5, cy + 5.5), colour, radius=1.2)
    cv.fill((cx - 0.7, cy + 0.7, cx + 0.7, cy + 3.3), (0, 0, 0, 150))


def draw_lock(cv, on=False):
    x0, y0, x1, y1 = LOCK_BUTTON
    r = 3.5
    cv.shadow(LOCK_BUTTON, (0, 0, 0, 200), 1.6, offset=(0, 1.2), radius=r)
    if on:
        cv.fill(LOCK_BUTTON, ("v", (30, 40, 54), (44, 58, 78)), radius=r)
        cv.shadow((x0 + 4, y0 + 4, x1 - 4, y1 - 4), rgba(TIME_BLUE, 110), 3.0, radius=3)
        cv.ring(LOCK_BUTTON, (0, 0, 0, 230), 1.0, kind="rect", radius=r)
        cv.fill((x0 + 2, y0 + 1, x1 - 2, y0 + 2.2), (0, 0, 0, 90))
        padlock(cv, (x0 + x1) / 2, (y0 + y1) / 2 + 1.5, (200, 232, 255), True)
    else:
        cv.fill(LOCK_BUTTON, ("v", (70, 76, 88), (44, 48, 57)), radius=r)
        bevel(cv, LOCK_BUTTON, r, light=(255, 255, 255, 45), dark=(0, 0, 0, 230))
        padlock(cv, (x0 + x1) / 2, (y0 + y1) / 2 + 1.5, (140, 148, 162), False)


def draw_status_box(cv):
    cv.shadow(STATUS_BOX, (255, 255, 255, 14), 0.6, offset=(0, 1), radius=3)
    recess(cv, STATUS_BOX, 3, ("v", (8, 12, 16), (14, 19, 25)), depth=220)
    x0, y0, x1, y1 = STATUS_BOX
    cv.shadow((x0 + 10, y0 + 4, x1 - 10, y1 - 4), rgba(SLIDER_LINE, 26), 6)


def draw_grid(cv):
    well = (21, 205, 599, 268)
    cv.shadow(well, (255, 255, 255, 14), 0.6, offset=(0, 1), radius=5)
    recess(cv, well, 5, ("v", (12, 14, 18), (16, 18, 23)), depth=220)
    for row in (0, 1):
        for c, (tcell, lcell) in enumerate(step_cells(row)):
            beat = (c // 4) % 2
            cell(cv, tcell, (30, 36, 47) if beat == 0 else (25, 30, 39), TIME_BLUE)
            cell(cv, lcell, (24, 36, 36) if beat == 0 else (20, 30, 31), LEVEL_TEAL)
    # Activity strip with an unlit socket for every step in both rows.
    sx0, sy0, sx1, sy1 = ACTIVITY_STRIP
    cv.fill((sx0, sy0 + 1, sx1, sy1 - 1), (7, 8, 10, 200), radius=2)
    for c in range(16):
        lx = sx0 + STEP_PITCH * c + 12
        lamp_shape(cv, lx, sy0, up=True, colour=(37, 42, 51))
        lamp_shape(cv, lx, sy1 - 7, up=False, colour=(37, 42, 51))
    for c in range(1, 16, 4):
        x = sx0 + STEP_PITCH * (c - 1) + 2
        cv.text((x + 1, 236.6), str(c), SANS_BOLD, 7.0, (92, 102, 116), anchor="lm")


def cell(cv, box, base, accent):
    x0, y0, x1, y1 = box
    cv.fill(box, ("v", base, tuple(max(v - 6, 0) for v in base)))
    cv.fill((x0, y0, x1, y0 + 1), (0, 0, 0, 120))
    cv.ring(box, rgba(accent, 26), 1.0, kind="rect")
    for q in (0.25, 0.5, 0.75):
        x = x0 + (x1 - x0) * q
        h = (y1 - y0) * (0.45 if q == 0.5 else 0.3)
        cv.fill((x - 0.5, y1 - h, x + 0.5, y1 - 1), rgba(accent, 40))


def lamp_shape(cv, x, y, up, colour, blur=0.0):
    """Triangle inside the 11 x 7 lamp cell at (x, y), pointing up or down."""
    if up:
        pts = [(x + 5.5, y + 0.6), (x + 10.2, y + 6.2), (x + 0.8, y + 6.2)]
    else:
        pts = [(x + 0.8, y + 0.8), (x + 10.2, y + 0.8), (x + 5.5, y + 6.4)]
    cv.polygon(pts, colour, blur=blur)


def draw_footer(cv):
    cv.text((24, 277), "Click or drag a step to set it  \u00b7  right-click fills it  \u00b7  "
            "double-click resets  \u00b7  Ctrl+click sets its chance", SANS, 8.0, (104, 114, 128),
            anchor="lm")
    x = 596
    for name, c in (("Level", LEVEL_TEAL), ("Time", TIME_BLUE)):
        w = text_width(name, SANS_BOLD, 8.0)
        cv.text((x, 277), name, SANS_BOLD, 8.0, CAPTION_DIM, anchor="rm")
        x -= w + 5
        cv.fill((x - 10, 274.5, x, 279.5), ("v", rgba(c), rgba(c, 170)), radius=1)
        x -= 18


def draw_pattern_button(cv):
    """The footer button that opens the pattern menu: a small rocker-like pad with a
    caption and a mark pointing up, where the menu opens."""
    x0, y0, x1, y1 = PATTERN_BUTTON
    r = 3
    cv.shadow(PATTERN_BUTTON, (0, 0, 0, 200), 1.4, offset=(0, 1), radius=r)
    cv.fill(PATTERN_BUTTON, ("v", (70, 76, 88), (44, 48, 57)), radius=r)
    bevel(cv, PATTERN_BUTTON, r, light=(255, 255, 255, 45), dark=(0, 0, 0, 230))
    cy = (y0 + y1) / 2
    cv.text((x0 + 7, cy + 1), "PATTERN", SANS_BOLD, 7.2, (0, 0, 0, 170), anchor="lm", tracking=0.8)
    cv.text((x0 + 7, cy), "PATTERN", SANS_BOLD, 7.2, (206, 214, 226), anchor="lm", tracking=0.8)
    mx = x1 - 10
    cv.polygon([(mx - 3.2, cy + 1.8), (mx + 3.2, cy + 1.8), (mx, cy - 2.0)], rgba(TIME_BLUE, 230))


def render_editor(state):
    """The whole background at SS times size; `state` shows pressed/selected controls."""
    cv = Canvas(WIDTH, HEIGHT, (0, 0, 0, 255))
    draw_body(cv)
    draw_header(cv)
    draw_separators(cv)
    for name, x in KNOBS:
        draw_knob_socket(cv, name, x)
    draw_target(cv, state.get("radio", ()))
    draw_rocker(cv, TIME_ROCKER, "Times", state.get("rocker"))
    draw_rocker(cv, LEVEL_ROCKER, "Levels", state.get("rocker"))
    draw_slider_track(cv)
    draw_lock(cv, state.get("lock", False))
    draw_status_box(cv)
    draw_grid(cv)
    draw_footer(cv)
    draw_pattern_button(cv)
    draw_groove(cv, state.get("selectors", False))
    return cv.reduce()


# ---------------------------------------------------------------- sprites

def make_knob():
    cv = Canvas(50, 50)
    c = 25.0
    r = KNOB_RADIUS
    body = (c - r, c - r, c + r, c + r)
    cv.fill(body, ("r", (50, 55, 64), (30, 33, 39)), kind="ellipse")
    # Knurled skirt: evenly spaced ridges, so the look is the same at every angle.
    for i in range(48):
        a = 2 * math.pi * i / 48
        p0 = (c + (r - 3.4) * math.sin(a), c - (r - 3.4) * math.cos(a))
        p1 = (c + (r - 0.5) * math.sin(a), c - (r - 0.5) * math.cos(a))
        cv.line(p0, p1, (70, 76, 88, 200), 0.7, round_caps=False)
    cv.ring(body, (8, 9, 11, 255), 0.9)
    rr = r - 0.9
    cv.ring((c - rr, c - rr, c + rr, c + rr), (255, 255, 255, 34), 0.6)
    # Cap with concentric machining rings.
    rc = r - 4.6
    cap = (c - rc, c - rc, c + rc, c + rc)
    cv.shadow(cap, (0, 0, 0, 220), 1.2, kind="ellipse", grow=0.6)
    cv.fill(cap, ("r", (74, 80, 92), (46, 50, 59)), kind="ellipse")
    for i in range(1, 9):
        rr = rc * i / 9
        cv.ring((c - rr, c - rr, c + rr, c + rr), (255, 255, 255, 9 if i % 2 else 0), 0.5)
    cv.ring(cap, (120, 128, 142, 150), 0.6)
    # Pointer: straight up at angle 0, from near the centre out onto the skirt.
    cv.line((c, c - 6.5), (c, c - r + 2.2), rgba(TIME_BLUE, 170), 2.6, blur=1.2)
    cv.line((c, c - 6.5), (c, c - r + 2.2), (214, 238, 255), 2.1)
    im = cv.reduce()
    return bleed_edges(im, (30, 33, 39))


def bleed_edges(im, colour):
    """Give fully transparent pixels a body colour so bilinear rotation leaves no dark fringe."""
    px = im.load()
    for y in range(im.height):
        for x in range(im.width):
            if px[x, y][3] == 0:
                px[x, y] = colour + (0,)
    return im


def make_slider_handle():
    cv = Canvas(31, 14)
    box = (0.5, 0.5, 30.5, 13.5)
    cv.shadow((1, 1.5, 30, 13.6), (0, 0, 0, 200), 0.6, radius=3)
    cv.fill(box, ("v", (150, 158, 172), (74, 80, 94)), radius=3)
    cv.ring(box, (10, 12, 15, 255), 0.8, kind="rect", radius=3)
    cv.fill((3, 1.3, 28, 2.1), (255, 255, 255, 110), radius=0.5)
    for dx in (-8, -5.5, 5.5, 8):
        cv.fill((15.5 + dx - 0.5, 4, 15.5 + dx + 0.5, 10), (30, 34, 40, 190))
        cv.fill((15.5 + dx + 0.5, 4, 15.5 + dx + 1.0, 10), (255, 255, 255, 60))
    cv.fill((14.4, 2.2, 16.6, 11.8), (14, 18, 24, 230), radius=0.8)
    cv.line((15.5, 4), (15.5, 10), rgba(TIME_BLUE, 160), 2.2, blur=0.8)
    cv.line((15.5, 3.6), (15.5, 10.4), (200, 232, 255), 1.2)
    return bleed_edges(cv.reduce(), (74, 80, 94))


def make_lamp(up):
    cv = Canvas(11, 7)
    lamp_shape(cv, 0, 0, up, rgba(TIME_BLUE, 200), blur=0.7)
    lamp_shape(cv, 0, 0, up, (150, 214, 255))
    if up:
        pts = [(5.5, 2.2), (7.8, 5.2), (3.2, 5.2)]
    else:
        pts = [(3.2, 1.8), (7.8, 1.8), (5.5, 4.8)]
    cv.polygon(pts, (235, 248, 255))
    return bleed_edges(cv.reduce(), TIME_BLUE)


# ---------------------------------------------------------------- assembly

def px(*values):
    """Editor pixels to output pixels of the set being drawn (whole numbers only)."""
    return tuple(v * scale for v in values)


def crop(im, box):
    """The part of a rendered background under an editor rectangle."""
    return im.crop(px(*box)).convert("RGBA")


def make_all():
    """Returns {file name: image} for the set of the current scale."""
    base = render_editor({})
    pressed_left = render_editor({"rocker": "left", "lock": True, "radio": (0, 2)})
    pressed_right = render_editor({"rocker": "right", "radio": (1, 3)})
    selectors = render_editor({"selectors": True})

    def rocker_frames(box):
        x0, y0, x1, y1 = box
        cx = round((x0 + x1) * 0.5)
        im = Image.new("RGBA", px(x1 - x0, y1 - y0))
        im.paste(crop(pressed_left, (x0, y0, cx, y1)), (0, 0))
        im.paste(crop(pressed_right, (cx, y0, x1, y1)), px(cx - x0, 0))
        return im

    x0, y0, x1, y1 = TARGET_PANEL
    radio = Image.new("RGBA", px(x1 - x0, y1 - y0))
    for i in range(4):
        src = pressed_left if i in (0, 2) else pressed_right
        row = crop(src, (x0, y0 + 18 * i, x1, y0 + 18 * (i + 1)))
        radio.paste(row, px(0, 18 * i))

    return {
        "bg.png": base.convert("RGBA"),
        "knob.png": make_knob(),
        "but1.png": rocker_frames(TIME_ROCKER),
        "but2.png": rocker_frames(LEVEL_ROCKER),
        "but3.png": crop(pressed_left, LOCK_BUTTON),
        "radio.png": radio,
        "slider.png": make_slider_handle(),
        "on.png": make_lamp(True),
        "on_.png": make_lamp(False),
        "restart.png": crop(selectors, selector_box(*SELECTORS[0][1:])),
        "midi_switch.png": crop(selectors, selector_box(*SELECTORS[1][1:])),
    }


def save(images, out_dir):
    os.makedirs(out_dir, exist_ok=True)
    for name, im in images.items():
        im.save(os.path.join(out_dir, name), optimize=True)


# ---------------------------------------------------------------- preview

def make_preview(images):
    """A mock of the running editor: controls drawn the way the editor draws them."""
    ed = images["bg.png"].copy()
    knob = images["knob.png"]
    values = [0.0, 0.25, 0.5, 0.65, 0.8, 1.0, 0.4]
    texts = ["1/16", "4", "5ms", "120ms", "60%", "800Hz", "100%"]
    d = ImageDraw.Draw(ed)
    vf = ImageFont.truetype(os.path.join(FONT_DIRS[0], SANS), 15)
    for (name, x), v, t in zip(KNOBS, values, texts):
        deg = (v - 0.5) * 300
        rot = knob.rotate(-deg, resample=Image.BILINEAR)
        ed.alpha_composite(rot, (x - 25, KNOB_Y - 25))
        lay = Image.new("RGBA", ed.size)
        ImageDraw.Draw(lay).text((x, KNOB_Y + 30), t, font=vf, fill=(255, 255, 255, 180),
                                 anchor="mt")
        ed.alpha_composite(lay)
    # Slider at 0.6: line then handle.
    v = 0.6
    ax0, ay0, ax1, ay1 = SLIDER_TRACK
    b = 58 * v + 15
    d.rectangle((ax0 + 8, 180, round(ax0 + b) - 1, 181), fill=SLIDER_LINE + (255,))
    ed.alpha_composite(images["slider.png"], (round(ax0 + 58 * v), ay0))
    # Radio: option 3 selected.
    x0, y0, x1, y1 = TARGET_PANEL
    k = 2
    ed.alpha_composite(images["radio.png"].crop((0, 18 * k, 70, 18 * k + 18)), (x0, y0 + 18 * k))
    # Rockers: time rocker right half pressed, level rocker left half pressed.
    but1, but2 = images["but1.png"], images["but2.png"]
    ed.alpha_composite(but1.crop((56, 0, 112, 31)), (78, 172))
    ed.alpha_composite(but2.crop((0, 0, 56, 31)), (485, 172))
    ed.alpha_composite(images["but3.png"], LOCK_BUTTON[:2])
    # Bars.
    lay = Image.new("RGBA", ed.size)
    ld = ImageDraw.Draw(lay)
    times = [4, 2, 3, 1, 4, 4, 0, 2, 3, 3, 1, 4, 2, 2, 4, 1, 1, 3, 4, 2, 0, 4, 2, 3, 4, 1, 2, 2, 3, 4, 4, 2]
    levels = [4, 3, 4, 2, 4, 1, 3, 4, 2, 4, 4, 0, 3, 4, 2, 4, 4, 4, 2, 3, 4, 1, 4, 2, 3, 4, 4, 1, 2, 4, 3, 4]
    for row in (0, 1):
        for c, (tc, lc) in enumerate(step_cells(row)):
            i = row * 16 + c
            for cellbox, n, col in ((tc, times[i], TIME_BLUE + (255,)), (lc, levels[i], LEVEL_TEAL + (200,))):
                w = round(34 * n / 4)
                if w:
                    ld.rectangle((cellbox[0], cellbox[1], cellbox[0] + w - 1, cellbox[3] - 1), fill=col)
    ed.alpha_composite(lay)
    ed.alpha_composite(images["on.png"], (30 + 35 * 5 + 12, 230))
    ed.alpha_composite(images["on_.png"], (30 + 35 * 9 + 12, 243 - 7))
    # Texts the editor writes.
    lay = Image.new("RGBA", ed.size)
    ld = ImageDraw.Draw(lay)
    vf2 = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 11)
    ld.text(VERSION_AREA[:2], "v1.00", font=vf2, fill=(55, 55, 55, 100))
    ld.text(((STATUS_BOX[0] + STATUS_BOX[2]) / 2, 180), "Step 6 time: 100%", font=vf,
            fill=(255, 255, 255, 180), anchor="mt")
    ed.alpha_composite(lay)
    return ed


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    ap.add_argument("--out", default=os.path.join(root, "img"),
                    help="folder of the 100 %% set; the 200 %% set goes into its 2x/")
    ap.add_argument("--preview", metavar="FILE.png", help="a mock of the editor at 100 %%")
    args = ap.parse_args()
    for s, folder in SCALES.items():
        use_scale(s)
        images = make_all()
        save(images, os.path.join(args.out, folder))
        if args.preview and s == 1:
            make_preview(images).save(args.preview)


if __name__ == "__main__":
    main()
