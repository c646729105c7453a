#!/usr/bin/env bash
# Every factory preset recalls by program number with its name, and renders a
# pad at 120 BPM. On Windows each render must agree sample for sample (to
# float rounding) with the native build's render of the same script, so the
# DLL gates exactly like the effect the native tests check against their
# reference computation.
source "$(dirname "$0")/host_common.bash"

names=("Mini Gate" "3 Long Gates" "Ascending Volume" "Ascending Volume 2" "Ascending Volume 3"
  "Ascending Volume 4" "Linear Medium Gate" "Linear Short Gate" "Low to High" "House" "House 2"
  "Trance" "Trance 2" "Trance 3" "Trance 4" "Trance 5" "Trance 6" "Trance 7" "Trance 8" "Trance 9"
  "Trance 10" "Groove Gate" "Groove Gate 2" "Groove Gate 3")

out=$(host "$QUORVEL_MODULE" programs) || fail "programs: $(cat host.err)"
for i in "${!names[@]}"; do
  expect_line "$out" "program $((i + 1)) name=\"${names[$i]}\""
done

native_host="$QUORVEL_SOURCE_DIR/build/native/quorvel_host"
native_module="$QUORVEL_SOURCE_DIR/build/native/Quorvel.so"
if [ "$QUORVEL_PLATFORM" = windows ]; then
  [ -x "$native_host" ] && [ -f "$native_module" ] || fail "build the native configuration first"
fi

host none "generate pad in.wav seconds=2 rate=44100 channels=2 level=0.5" >/dev/null
for program in $(seq 1 24); do
  steps=("tempo 120" "transport playing" "position 0" open "samplerate 44100" "blocksize 512"
         "program $program" "mains on" "process in.wav out_$program.wav replacing" "mains off" close)
  host "$QUORVEL_MODULE" "${steps[@]}" >/dev/null || fail "render $program: $(cat host.err)"
  if [ "$QUORVEL_PLATFORM" = windows ]; then
    mv "out_$program.wav" "win_$program.wav"
    "$native_host" "$native_module" "${steps[@]}" >/dev/null 2>native.err ||
      fail "native render $program: $(cat native.err)"
  fi
done

/usr/bin/python3 - "$QUORVEL_SOURCE_DIR/tests/module" "$QUORVEL_PLATFORM" <<'PY' || fail "renders differ"
import sys
sys.path.insert(0, sys.argv[1])
from wav_check import read_wav
windows = sys.argv[2] == "windows"
bad = 0
frames = read_wav("in.wav")[2]
for program in range(1, 25):
    samples = read_wav(("win_%d.wav" if windows else "out_%d.wav") % program)[2]
    # The gate must act: some steps are quieter than the input.
    quiet = sum(1 for a, b in zip(samples[0], frames[0]) if abs(a) < 0.25 * abs(b) and abs(b) > 0.1)
    if quiet == 0:
        print("program %d does not gate" % program); bad += 1
    if windows:
        ref = read_wav("out_%d.wav" % program)[2]
        worst = max(abs(a - b) for c in range(2) for a, b in zip(samples[c], ref[c]))
        if len(samples[0]) != len(ref[0]) or worst > 1e-6:
            print("program %d: Windows and native differ by %g" % (program, worst)); bad += 1
sys.exit(1 if bad else 0)
PY
echo "factory presets ok"
