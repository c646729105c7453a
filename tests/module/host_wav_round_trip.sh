#!/usr/bin/env bash
# The host reads every supported WAV layout and writes 32-bit float output
# that matches the input sample for sample (the fake effect at unity gain),
# and its generated signals hold the values they promise.
source "$(dirname "$0")/host_common.bash"

for format in pcm16 pcm24 float; do
  for channels in 1 2; do
    for header in plain extensible; do
      wav_check make "$format" "$channels" in.wav $([ "$header" = extensible ] && echo --extensible)
      host "$fake_plugin" open "blocksize 512" "mains on" "process in.wav out.wav" >/dev/null ||
        fail "$format/$channels/$header: host failed: $(cat host.err)"
      # A mono file feeds both inputs, so both output channels equal it.
      [ "$(wav_check header out.wav)" = "format=float channels=2 rate=44100 frames=3007" ] ||
        fail "$format/$channels/$header: header $(wav_check header out.wav)"
      wav_check expect out.wav in.wav >/dev/null || fail "$format/$channels/$header: samples differ"
    done
  done
done

# Float files carry the format chunk's extension size (0); PCM files do not.
/usr/bin/python3 - <<'PY' || fail "float fmt chunk lacks its extension size"
import struct
data = open("out.wav", "rb").read()
size, tag = struct.unpack_from("<IH", data, 16)
assert data[12:16] == b"fmt " and size == 18 and tag == 3, (size, tag)
assert struct.unpack_from("<H", data, 36)[0] == 0 and data[38:42] == b"data"
assert struct.unpack_from("<I", data, 4)[0] == len(data) - 8
PY

# Generated files: DC at exactly representable levels, a sine against a
# reference computed here, within one 24-bit step.
host none "generate dc dc16.wav seconds=0.5 channels=1 format=pcm16 level=0.5" \
  "generate dc dc24.wav seconds=0.5 format=pcm24 level=-0.25" \
  "generate sine sine.wav seconds=0.2 rate=48000 channels=1 format=pcm24 freq=1000 level=0.8" \
  "generate noise noise.wav seconds=0.1" "generate pad pad.wav seconds=1" >/dev/null || fail "generate: $(cat host.err)"
[ "$(wav_check header dc16.wav)" = "format=pcm16 channels=1 rate=44100 frames=22050" ] || fail "dc16 header"
wav_check dc dc16.wav 0.5 >/dev/null || fail "dc16 samples"
wav_check dc dc24.wav -0.25 >/dev/null || fail "dc24 samples"
[ "$(wav_check header sine.wav)" = "format=pcm24 channels=1 rate=48000 frames=9600" ] || fail "sine header"
/usr/bin/python3 - <<'PY' || fail "sine samples"
import math, sys
sys.path.insert(0, __import__("os").environ["QUORVEL_SOURCE_DIR"] + "/tests/module")
from wav_check import read_wav
_, _, (ch,) = read_wav("sine.wav")
worst = max(abs(v - 0.8 * math.sin(2 * math.pi * 1000 * i / 48000)) for i, v in enumerate(ch))
sys.exit(0 if worst <= 1 / 8388608 else 1)  # float intermediate plus rounding
PY
/usr/bin/python3 - <<'PY' || fail "noise/pad content"
import sys, os
sys.path.insert(0, os.environ["QUORVEL_SOURCE_DIR"] + "/tests/module")
from wav_check import read_wav
_, _, noise = read_wav("noise.wav")
_, _, pad = read_wav("pad.wav")
flat = noise[0] + noise[1]
assert max(flat) <= 0.5 and min(flat) >= -0.5 and max(flat) > 0.45 and min(flat) < -0.45
assert len(set(flat)) > 0.9 * len(flat)  # not a repeating pattern
peak = max(abs(v) for ch in pad for v in ch)
assert 0.2 < peak <= 0.5, peak
assert pad[0] != pad[1]  # a stereo image, not a copy
assert abs(pad[0][0]) < 1e-3 and abs(pad[0][-1]) < 1e-3  # faded ends
PY

# Unreadable inputs are failures, not silent successes.
printf 'RIFF\x04\x00\x00\x00WAVE' >broken.wav
! host "$fake_plugin" open "mains on" "process broken.wav out2.wav" >/dev/null || fail "broken WAV accepted"
grep -q "missing fmt or data" host.err || fail "no reason given: $(cat host.err)"
! host "$fake_plugin" open "mains on" "process missing.wav out2.wav" >/dev/null || fail "missing WAV accepted"
[ ! -e out2.wav ] || fail "output written for a failed step"
echo "wav round trip ok"
