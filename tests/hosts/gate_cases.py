"""The renders the real-host checks make, and the test input they all use.

  gate_cases.py names                 the case names, one per line
  gate_cases.py shell CASE            the case as shell assignments (tempo, program,
                                      preset, target, rate_index, params, plain)
  gate_cases.py input FILE SECONDS    write the stereo test input at 48 kHz

A case either recalls a factory preset (by number for hosts that select
programs, by name for hosts that pick presets from a list) or sets all 17
host-visible parameters from plain values, which are turned into the
normalised positions a host sends, with each parameter's range and curve.
"""
import math
import os
import shlex
import sys

import numpy as np

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import wav_io  # noqa: E402

SAMPLE_RATE = 48000

# name: (min, max, curve) for parameters 0-16, in index order.
PARAM_RANGES = [
    ("Rate", 0, 27, 1), ("Cycle", 1, 32, 1), ("Attack", 0, 200, 2), ("Gate", 0, 100, 1),
    ("Tie Lock", 0, 1, 1), ("Release", 0, 200, 2), ("Fade", 0, 100, 2),
    ("Split Freq", 20, 20000, 2), ("Target", 0, 3, 1), ("Mix", 0, 100, 1),
] + [("PatternWord%d" % i, 0, 9765624, 1) for i in range(6)] + [("PatternWord6", 0, 624, 1)]


def pattern_words(times, volumes):
    """Packs step times and volumes (digit strings, step 1 first) into the seven words."""
    digits = [int(c) for c in (times + volumes).replace(" ", "")]
    assert len(digits) == 64
    words = []
    for first in range(0, 64, 10):
        word = 0
        for d in digits[first:first + 10]:
            word = word * 5 + d
        words.append(word)
    return words


def normalised(index, value):
    _, low, high, curve = PARAM_RANGES[index]
    return ((value - low) / (high - low)) ** (1.0 / curve)


# "Mini Gate" as plain values, written out here rather than read from the effect.
MINI_GATE = [9, 8, 5, 100, 1, 30, 5, 1000, 0, 100] + pattern_words(
    "30202222 22222222 22222222 22222222", "44444444 44444444 44444444 44444444")

# Each case: tempo, the "Rate" and "Target" it plays with, and either a preset
# (number, name) or plain values for parameters 0-16.
CASES = {
    "mini_gate": dict(tempo=120, rate_index=9, target=0, program=1, preset="Mini Gate"),
    # 132 BPM makes a step 5454.5 samples; the effect rounds it to 5455.
    "groove_gate_3": dict(tempo=132, rate_index=9, target=0, program=24, preset="Groove Gate 3"),
    # A band target set through the host's parameters: "Low - High", "1/8".
    "low_high_eighths": dict(tempo=97, rate_index=12, target=3,
                             values=[{0: 12, 8: 3}.get(i, v) for i, v in enumerate(MINI_GATE)]),
}


def shell(name):
    case = CASES[name]
    params = plain = ""
    if "values" in case:
        params = " ".join("%d:%.9f" % (i, normalised(i, v)) for i, v in enumerate(case["values"]))
        plain = " ".join("%d:%d" % (i, v) for i, v in enumerate(case["values"]))
    lines = {
        "case_tempo": case["tempo"],
        "case_rate_index": case["rate_index"],
        "case_target": case["target"],
        "case_program": case.get("program", ""),
        "case_preset": case.get("preset", ""),
        "case_params": params,
        "case_plain": plain,
    }
    return "".join("%s=%s\n" % (k, shlex.quote(str(v))) for k, v in lines.items())


def write_input(path, seconds):
    """Left: a steady 0.5, so that the left output divided by 0.5 is the gain the
    effect applied, sample by sample. Right: a 330 Hz sine at 0.5, for the band
    split and the second channel."""
    frames = int(round(seconds * SAMPLE_RATE))
    t = np.arange(frames) / SAMPLE_RATE
    left = np.full(frames, 0.5)
    right = 0.5 * np.sin(2 * math.pi * 330.0 * t)
    wav_io.write_wav(path, np.stack([left, right], axis=1), SAMPLE_RATE)


def main(argv):
    if len(argv) == 2 and argv[1] == "names":
        print("\n".join(CASES))
    elif len(argv) == 3 and argv[1] == "shell" and argv[2] in CASES:
        sys.stdout.write(shell(argv[2]))
    elif len(argv) == 4 and argv[1] == "input":
        write_input(argv[2], float(argv[3]))
    else:
        sys.stderr.write(__doc__)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
