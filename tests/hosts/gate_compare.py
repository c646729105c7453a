"""Compares a real host's render of the test input with the test host's render.

  gate_compare.py INPUT REFERENCE HOST_RENDER --tempo BPM --rate-index R --target T
                  [--skip-start N] [--skip-end N] [--edge-tolerance S] [--sample-tolerance A]

The left input channel is a steady 0.5, so left output / left input is the
gain the effect applied at each sample; with "Mix" 100 that gain is the gate
level itself for the "Volume" target and its complement for "Low - High".
Checks, over the input's frames less --skip-start and --skip-end (a host's own
start-up fade, or a clip it ends early):
  1. the host really ran the effect: its output is neither silent nor the dry input;
  2. every rise of the gate level (a step opening) in the reference lies on the
     step grid that tempo and "Rate" imply: step k starts at k * samplesPerStep,
     samplesPerStep = round(note length * 4 * 60 * rate / BPM);
  3. the host's rises are the reference's, each within --edge-tolerance samples;
  4. each step's mean and peak gain in the host render equal the reference's;
  5. both channels agree sample by sample within --sample-tolerance, after the
     best alignment within --edge-tolerance samples.
Prints one line per check and exits 1 when any fails.
"""
import argparse
import os
import sys

import numpy as np

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import wav_io  # noqa: E402

RISE_THRESHOLD = 1e-5  # per-sample gate rise that counts; float noise is ~1e-7
SETTLE = 480  # the crossover starts from 0: its first 10 ms are no step edge


def note_length(rate_index):
    """Whole notes per step for a "Rate" value, in single precision."""
    third = 0.3333333333333333
    q, m = divmod(rate_index, 3)
    base = 1.0 / 128.0
    if m == 0:
        length = 2.0 ** (rate_index * third) * base
    elif m == 1:
        length = 2.0 ** ((rate_index + 2) * third) * base * 0.6666666666666666
    else:
        length = 2.0 ** ((rate_index - 2) * third) * base * 1.5
    return float(np.float32(length))


def samples_per_step(sample_rate, tempo, rate_index):
    whole_note = (sample_rate / tempo) * 60.0 * 4.0
    x = note_length(rate_index) * whole_note
    return int(x + 0.5)


def gate_level(render, dry, target):
    gain = render[:, 0] / dry[:, 0]
    return 1.0 - gain if target == 3 else gain


def rises(level, start):
    """Samples where the level starts rising after holding or falling."""
    step = np.diff(level)
    rising = step > RISE_THRESHOLD
    at = np.nonzero(rising[1:] & ~rising[:-1])[0] + 2
    return at[at >= start]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("input")
    parser.add_argument("reference")
    parser.add_argument("host")
    parser.add_argument("--tempo", type=float, required=True)
    parser.add_argument("--rate-index", type=int, required=True)
    parser.add_argument("--target", type=int, required=True)
    parser.add_argument("--skip-start", type=int, default=0)
    parser.add_argument("--skip-end", type=int, default=0)
    parser.add_argument("--edge-tolerance", type=int, default=0)
    parser.add_argument("--sample-tolerance", type=float, default=1e-5)
    args = parser.parse_args()

    dry, rate = wav_io.read_wav(args.input)
    reference, reference_rate = wav_io.read_wav(args.reference)
    host, host_rate = wav_io.read_wav(args.host)
    failures = []

    def check(ok, text):
        print(("ok   " if ok else "FAIL ") + text)
        if not ok:
            failures.append(text)

    frames = len(dry) - args.skip_end
    check(reference_rate == rate and host_rate == rate,
          "sample rates: input %d, reference %d, host %d" % (rate, reference_rate, host_rate))
    check(len(reference) >= frames and len(host) >= frames and host.shape[1] == 2,
          "lengths: %d input frames compared, reference %d, host %d frames"
          % (frames, len(reference), len(host)))
    if failures:
        return 1
    dry, reference, host = dry[:frames], reference[:frames], host[:frames]
    start, tol = args.skip_start, args.edge_tolerance
    span = slice(start, frames - tol)

    host_rms = float(np.sqrt(np.mean(host[span] ** 2)))
    from_dry = float(np.max(np.abs(host[span] - dry[span])))
    check(host_rms > 0.01 and from_dry > 0.1,
          "host ran the effect: rms %.4f, largest difference from the dry input %.4f"
          % (host_rms, from_dry))

    step = samples_per_step(rate, args.tempo, args.rate_index)
    ref_level = gate_level(reference, dry, args.target)
    host_level = gate_level(host, dry, args.target)
    ref_rises = rises(ref_level, start + tol + SETTLE)
    off_grid = [int(r) for r in ref_rises if r % step != 0]
    check(len(ref_rises) >= 3 and not off_grid,
          "reference: %d step openings, all at multiples of %d samples%s"
          % (len(ref_rises), step, "" if not off_grid else " except %s" % off_grid[:8]))

    host_rises = rises(host_level, start + 1)
    host_rises = host_rises[host_rises < frames - 2 * tol - 1] if tol else host_rises
    unmatched = [int(r) for r in ref_rises if np.min(np.abs(host_rises - r), initial=10**9) > tol]
    extra = [int(h) for h in host_rises
             if h >= start + tol + SETTLE and np.min(np.abs(ref_rises - h), initial=10**9) > tol]
    offsets = sorted({int(np.min(np.abs(host_rises - r))) for r in ref_rises} - {10**9}) if len(host_rises) else []
    check(not unmatched and not extra,
          "host step openings match the reference within %d samples (offsets seen %s)%s%s"
          % (tol, offsets, "" if not unmatched else "; missing %s" % unmatched[:8],
             "" if not extra else "; extra %s" % extra[:8]))

    worst_mean = worst_peak = 0.0
    first_step, last_step = -(-(start + tol) // step), (frames - tol) // step
    for k in range(first_step, last_step):
        a, b = k * step + tol, (k + 1) * step - tol
        worst_mean = max(worst_mean, abs(host_level[a:b].mean() - ref_level[a:b].mean()))
        worst_peak = max(worst_peak, abs(host_level[a:b].max() - ref_level[a:b].max()))
    gain_tolerance = args.sample_tolerance + 2.0 * tol * np.max(np.abs(np.diff(ref_level[span])))
    check(last_step - first_step >= 3 and worst_mean <= gain_tolerance and worst_peak <= gain_tolerance,
          "gain per step (steps %d-%d): largest mean difference %.2e, peak %.2e (allowed %.2e)"
          % (first_step + 1, last_step, worst_mean, worst_peak, gain_tolerance))

    best_shift, best_error = 0, float("inf")
    for shift in range(-tol, tol + 1):
        shifted = host[start + tol + shift:frames - tol + shift]
        error = float(np.max(np.abs(shifted - reference[start + tol:frames - tol])))
        if error < best_error:
            best_shift, best_error = shift, error
    check(best_error <= args.sample_tolerance,
          "samples, both channels: largest difference %.2e at shift %d (allowed %.1e)"
          % (best_error, best_shift, args.sample_tolerance))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
