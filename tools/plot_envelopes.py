#!/usr/bin/python3
"""Draws the level envelopes of the first two bars of WAV files into one PNG,
one lane per file, with the step boundaries of a "1/16" rate (light), beats
and bars (darker) at the given tempo, to see the gate's rhythm at a glance.

  plot_envelopes.py OUT.png BPM INPUT.wav OUTPUT.wav...
"""
import math
import os
import sys

from PIL import Image, ImageDraw

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wav_io import read_wav  # noqa: E402

WIDTH, LANE, MARGIN = 1200, 140, 24
WINDOW_SECONDS = 0.01
BARS, BEATS_PER_BAR, STEPS_PER_BEAT = 2, 4, 4
FLOOR_DB = -60.0
COLOURS = [(150, 150, 150), (40, 120, 220), (220, 90, 40), (40, 170, 90), (170, 60, 170)]


def envelope_db(rate, samples):
    window = max(1, int(rate * WINDOW_SECONDS))
    levels = []
    for start in range(0, len(samples), window):
        chunk = samples[start:start + window]
        rms = math.sqrt(float((chunk * chunk).mean()))
        levels.append(max(FLOOR_DB, 20 * math.log10(rms) if rms > 0 else FLOOR_DB))
    return levels, window / rate


def main(argv):
    out, bpm, files = argv[1], float(argv[2]), argv[3:]
    height = MARGIN + len(files) * (LANE + MARGIN)
    image = Image.new("RGB", (WIDTH, height), (255, 255, 255))
    draw = ImageDraw.Draw(image)
    longest = 0.0
    curves = []
    for path in files:
        frames, rate = read_wav(path)
        samples = frames.mean(axis=1)[:int(rate * BARS * BEATS_PER_BAR * 60.0 / bpm)]
        levels, step = envelope_db(rate, samples)
        curves.append((path, levels, step))
        longest = max(longest, len(samples) / rate)
    scale = (WIDTH - 2 * MARGIN) / max(longest, 1e-9)
    for lane, (path, levels, step) in enumerate(curves):
        top = MARGIN + lane * (LANE + MARGIN)
        draw.rectangle([MARGIN, top, WIDTH - MARGIN, top + LANE], outline=(200, 200, 200))
        step_seconds = 60.0 / bpm / STEPS_PER_BEAT
        for k in range(int(longest / step_seconds + 1e-9) + 1):
            x = MARGIN + k * step_seconds * scale
            shade = 160 if k % (STEPS_PER_BEAT * BEATS_PER_BAR) == 0 else (
                200 if k % STEPS_PER_BEAT == 0 else 235)
            draw.line([x, top, x, top + LANE], fill=(shade, shade, shade))
        points = [(MARGIN + i * step * scale, top + LANE * (level / FLOOR_DB))
                  for i, level in enumerate(levels)]
        if len(points) > 1:
            draw.line(points, fill=COLOURS[lane % len(COLOURS)], width=2)
        draw.text((MARGIN + 4, top + 2), "%s (0 to %d dB)" % (path, FLOOR_DB), fill=(0, 0, 0))
    image.save(out)


if __name__ == "__main__":
    main(sys.argv)
