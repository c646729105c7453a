#!/usr/bin/env bash
# The VST 3 bundle against the VST 2 module of the same build, through the
# same test host: identical renders for the default, every factory program
# and every target (float and double), and without time info; states saved by either format load in
# the other byte for byte (the 140-byte chunk and its extension, holding
# program, bypass and the values after the 17; the VST 2 module saves its own
# program and no bypass), foreign states are refused by both; a parameter change at sample 100 changes the
# output exactly from sample 100, as the VST 2 module split there does; and
# on Windows the same editor, pixel for pixel, whose edits reach the host
# through the component handler, and whose own size changes the host's window
# follows.
source "$(dirname "$0")/host_common.bash"
bundle="$QUORVEL_BINARY_DIR/Quorvel.vst3"
vst2="$QUORVEL_MODULE"
[ -d "$bundle" ] || fail "no bundle at $bundle"
cmp_files() { cmp -s "$1" "$2" || fail "$3: $1 and $2 differ"; }
# A state is the 140-byte chunk, then 80 bytes: "QRVX", version 2, 68
# payload bytes, the program, the bypass and 7 (little-endian int32s), then
# 7 doubles.
chunk_part() { head -c 140 "$1" >"$1.140"; echo "$1.140"; }
expect_extension() {
  local program bypass got
  program=$(printf '%02x000000' "$2")
  bypass=$(printf '%02x000000' "$3")
  got=$(od -An -tx1 -j140 -N24 "$1" | tr -d ' \n')
  [ "$got" = "515256580200000044000000$program${bypass}07000000" ] || fail "extension of $1: $got"
  [ "$(wc -c <"$1")" -eq 220 ] || fail "size of $1"
}
# The same bytes but for the program word.
same_but_program() {
  cmp -s <(head -c 152 "$1") <(head -c 152 "$2") && cmp -s <(tail -c +157 "$1") <(tail -c +157 "$2") ||
    fail "$3: $1 and $2 differ"
}

host none "generate pad in.wav seconds=0.4 rate=44100 channels=2 level=0.5" >/dev/null
# One session per format and sample size: every render follows the last, so
# the two formats must agree on everything carried from one to the next.
for size in replacing double; do
  steps=(open "samplerate 44100" "blocksize 512" "tempo 128" "transport playing" "mains on"
         "process in.wav default.wav $size")
  for p in $(seq 0 49); do steps+=("program $p" "process in.wav program_$p.wav $size"); done
  for t in 0 1 2 3; do
    steps+=("param 8=$(python3 -c "print($t / 3)")" "process in.wav target_$t.wav $size")
  done
  # No time info (VST 3: no process context): the gate holds as VST 2's does.
  steps+=("timeinfo off" "process in.wav no_time.wav $size")
  for format in vst2 vst3; do
    module=$vst2
    [ $format = vst2 ] || module=$bundle
    mkdir -p "$format"
    (cd "$format" && ln -sf ../in.wav in.wav && host "$module" "${steps[@]}" >/dev/null) ||
      fail "$format $size renders: $(cat "$format/host.err")"
  done
  for file in vst2/*.wav; do cmp_files "$file" "vst3/${file#vst2/}" "$size render"; done
  cmp -s in.wav vst3/default.wav && fail "the VST 3 render did not gate"
done

# State: VST 2 -> VST 3 -> VST 2, and a short state reports failure in both.
# "Swing" and "Chance" moved too: they travel in the extension.
host "$vst2" open "program 7" "param 9=0.3" "param 17=0.6" "param 18=0.25" "savechunk bank a.chunk" \
  params >a.params || fail "vst2 save: $(cat host.err)"
expect_extension a.chunk 7 0
out=$(host "$bundle" "loadchunk bank a.chunk" "savechunk bank b.chunk" params) || fail "vst3: $(cat host.err)"
expect_line "$out" "loadchunk bank bytes=220 result=1"
cmp_files a.chunk b.chunk "state from VST 2 saved again by VST 3"
grep '^param .* name=' <<<"$out" | head -24 | sed 's/ name=.*value=/ value=/' >b.values
grep '^param .* name=' a.params | tail -24 | sed 's/ name=.*value=/ value=/' >a.values
cmp_files a.values b.values "parameter values after the state crossed over"
grep -q '^param 17 value=0.6' b.values || fail "swing after the state crossed over: $(cat b.values)"
out=$(host "$bundle" "log program.log" "program 12" "param 1=0.25" "savechunk bank c.chunk") || fail "vst3 save"
expect_line "$out" 'program current=12 name="Trance"'
# The host set the program: it hears at once that every value changed
# (flag 4), sent once the instance lock is released.
grep -q '^componentHandler RestartComponent id=4 ' program.log || fail "no restart: $(cat program.log)"
expect_extension c.chunk 12 0
out=$(host "$vst2" open "loadchunk bank c.chunk" "savechunk bank d.chunk") || fail "vst2 load"
expect_line "$out" "loadchunk bank bytes=220 result=1"
same_but_program c.chunk d.chunk "state from VST 3 saved again by VST 2"
expect_extension d.chunk 0 0
# An older build's bare chunk still loads in both.
head -c 140 c.chunk >bare.chunk
for module in "$vst2" "$bundle"; do
  out=$(host "$module" open "loadchunk bank bare.chunk") || fail "bare chunk: $(cat host.err)"
  expect_line "$out" "loadchunk bank bytes=140 result=1"
done
# Not ours: refused by both, nothing changed.
head -c 400 /dev/zero | tr '\0' 'x' >foreign.chunk
for module in "$vst2" "$bundle"; do
  out=$(host "$module" open "loadchunk bank foreign.chunk" "savechunk bank after_foreign.chunk") ||
    fail "foreign state: $(cat host.err)"
  expect_line "$out" "loadchunk bank bytes=400 result=0"
  host "$module" open "savechunk bank fresh.chunk" >/dev/null || fail "fresh state"
  cmp_files fresh.chunk after_foreign.chunk "state after a foreign load"
done
head -c 60 c.chunk >short.chunk
for module in "$vst2" "$bundle"; do
  out=$(host "$module" open "loadchunk bank short.chunk" params) || fail "short state: $(cat host.err)"
  expect_line "$out" "loadchunk bank bytes=60 result=0"
  grep '^param .* name=' <<<"$out" | head -24 | sed 's/ name=.*value=/ value=/' >"short_$(basename "$module").values"
done
cmp_files "short_$(basename "$vst2").values" short_Quorvel.vst3.values "values kept from a short state"

# "Target" to "Low - High" at sample 100 of the second block: the output
# changes exactly there.
for module in "$vst2" "$bundle"; do
  name=$(basename "$module")
  host "$module" open "samplerate 44100" "blocksize 512" "tempo 128" "transport playing" "mains on" \
    "process in.wav base_$name.wav" "mains off" "position 0" "mains on" \
    "change 8=1@612" "process in.wav changed_$name.wav" >/dev/null || fail "offset render: $(cat host.err)"
done
cmp_files "changed_$(basename "$vst2").wav" changed_Quorvel.vst3.wav "change at offset 100"
/usr/bin/python3 - "$QUORVEL_SOURCE_DIR/tests/module" <<'PY' || fail "change not exactly at sample 612"
import sys
sys.path.insert(0, sys.argv[1])
from wav_check import read_wav
base, changed = (read_wav(f)[2] for f in ("base_Quorvel.vst3.wav", "changed_Quorvel.vst3.wav"))
first = min(i for c in range(2) for i, (a, b) in enumerate(zip(base[c], changed[c])) if a != b)
assert first == 612, first
PY

if [ "$QUORVEL_PLATFORM" = windows ]; then
  for module in "$vst2" "$bundle"; do
    out=$(host "$module" open "editor open" "editor ticks 3" "editor capture $(basename "$module").bmp" \
      "log edits.log" "editor drag 51 125 51 85" "editor ticks 2" "log -" "param 0" "editor close") ||
      fail "editor: $(cat host.err)"
    expect_line "$out" "editor rect=0,0,285,620"
    expect_line "$out" "editor close result=1"
  done
  cmp_files "$(basename "$vst2").bmp" Quorvel.vst3.bmp "editor capture"
  # The drag on the "Rate" knob reached the host through the component
  # handler: one gesture, rising values, and the parameter moved.
  edits=$(tr -d '\r' <edits.log | grep '^componentHandler .* id=0 ' | sed 's/ value=.*//' | uniq)
  [ "$edits" = "componentHandler BeginEdit id=0
componentHandler PerformEdit id=0
componentHandler EndEdit id=0" ] || fail "editor gesture: $(cat edits.log)"
  grep '^componentHandler PerformEdit id=0 ' edits.log | sed 's/.*value=//' | sort -n -c ||
    fail "drag values do not rise: $(cat edits.log)"
  grep -q '^param 0 name="Rate" .* value=0\.[4-9]' <<<"$out" || fail "rate after the drag: $out"
  # The view's own size changes under a frame that compares the view's size
  # before it resizes its window: the window grows and shrinks with the editor.
  # (Sizes that fit the null display driver's screen.)
  out=$(host "$bundle" open "editor open" "editor scale 1.5" "editor capture large.bmp" \
    "editor scale 1.25" "editor capture middle.bmp" "editor close") || fail "editor scale: $(cat host.err)"
  expect_line "$out" "editor scale 1.5 result=1 window=930,428"
  expect_line "$out" "editor capture large.bmp width=930 height=428"
  expect_line "$out" "editor scale 1.25 result=1 window=775,356"
  expect_line "$out" "editor capture middle.bmp width=775 height=356"
fi
echo "vst3 formats ok"
