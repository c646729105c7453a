#!/usr/bin/env bash
# The CLAP module against the VST 2 module (and the VST 3 bundle) of the same
# build, through the same test host: identical renders for the default, every
# factory program and every target (float, and double where the ports take
# it), and without transport; parameter values at sample offsets inside one
# block change the output exactly there, as the VST 2 module split there
# does; states cross between all three formats byte for byte where they
# share bytes, foreign and short ones are refused; and the editor opens,
# shows the other formats' pixels, sends its edits as gestures and values
# through the parameters' flush, and leaves no timer behind.
source "$(dirname "$0")/host_common.bash"
clap="$QUORVEL_BINARY_DIR/Quorvel.clap"
bundle="$QUORVEL_BINARY_DIR/Quorvel.vst3"
vst2="$QUORVEL_MODULE"
[ -f "$clap" ] || fail "no module at $clap"
declare -A module=([vst2]=$vst2 [vst3]=$bundle [clap]=$clap)
cmp_files() { cmp -s "$1" "$2" || fail "$3: $1 and $2 differ"; }
# A state is the 140-byte chunk, then "QRVX", version 2, 68 payload bytes,
# the program, the bypass and 7 (little-endian int32s), then 7 doubles.
expect_extension() {
  local got
  got=$(od -An -tx1 -j140 -N24 "$1" | tr -d ' \n')
  [ "$got" = "515256580200000044000000$(printf '%02x000000%02x00000007000000' "$2" "$3")" ] ||
    fail "extension of $1: $got"
  [ "$(wc -c <"$1")" -eq 220 ] || fail "size of $1"
}
# The same bytes but for the program word.
same_but_program() {
  cmp -s <(head -c 152 "$1") <(head -c 152 "$2") && cmp -s <(tail -c +157 "$1") <(tail -c +157 "$2") ||
    fail "$3: $1 and $2 differ"
}
# The 24 effect parameters' display texts, as each format shows them last.
displays() {
  grep '^param [0-9]* name=' <<<"$1" | sed 's/ name=.* display=/ display=/; s/ value=.*//' |
    awk '{ last[$2] = $0 } END { for (i = 0; i < 24; i++) print last[i] }'
}

out=$(host "$clap" info params) || fail "clap info: $(cat host.err)"
for line in "info inputs=2" "info outputs=2" "info params=26" "info programs=50" "info latency=0" \
  "info note_input_ports=1 dialects=0x3" "close timers_left=0 fds_left=0"; do
  expect_line "$out" "$line"
done
# Parameter ids and flags: the effect's 24 in order, then Program and Bypass.
bypass_index=$(sed -n 's/^param \([0-9]*\) id=101 flags=0x\([0-9A-F]*\) .*/\1 \2/p' <<<"$out")
[ "${bypass_index% *}" = 25 ] && (( (0x${bypass_index#* } & 0x10) != 0 )) || fail "bypass: $bypass_index"
[ "$(sed -n 's/^param \([0-9]*\) id=\([0-9]*\) .*/\1=\2/p' <<<"$out" | tr '\n' ' ')" = \
  "$(for i in $(seq 0 23); do printf '%d=%d ' "$i" "$i"; done)24=100 25=101 " ] || fail "ids: $out"
sample64=$(sed -n 's/^info sample_size_64=//p' <<<"$out")

host none "generate pad in.wav seconds=0.4 rate=44100 channels=2 level=0.5" >/dev/null
# One session per format and sample size: every render follows the last, so
# the formats must agree on everything carried from one to the next.
sizes=(replacing)
[ "$sample64" = 1 ] && sizes+=(double)
for size in "${sizes[@]}"; do
  steps=(open "samplerate 44100" "blocksize 512" "tempo 128" "transport playing" "mains on"
         "process in.wav default.wav $size")
  for p in $(seq 0 49); do steps+=("program $p" "process in.wav program_$p.wav $size"); done
  for t in 0 1 2 3; do
    steps+=("param 8=$(python3 -c "print($t / 3)")" "process in.wav target_$t.wav $size")
  done
  # No transport: the gate holds as VST 2's does without time info.
  steps+=("timeinfo off" "process in.wav no_time.wav $size")
  for format in vst2 clap; do
    mkdir -p "$format"
    (cd "$format" && ln -sf ../in.wav in.wav && host "${module[$format]}" "${steps[@]}" >/dev/null) ||
      fail "$format $size renders: $(cat "$format/host.err")"
  done
  for file in vst2/*.wav; do cmp_files "$file" "clap/${file#vst2/}" "$size render"; done
  cmp -s in.wav clap/default.wav && fail "the CLAP render did not gate"
done

# Events inside one block (VST 2: split blocks, notes before the piece that
# holds them), in blocks of 512. Rows: NAME STEPS. "values": "Target" to
# "Low - High" at sample 100 and back to "High" at 700; "restart": notes
# restart the pattern, one before the render, at a block's last sample, one
# past the end; "switch": notes 36-85 pick programs at once, with a note-off
# among them.
while read -r name steps; do
  for format in vst2 clap; do
    eval "events=($steps)"
    host "${module[$format]}" open "samplerate 44100" "blocksize 512" "tempo 128" "transport playing" \
      "mains on" "process in.wav base_$format.wav" "mains off" "position 0" "mains on" "${events[@]}" \
      "process in.wav ${name}_$format.wav" >/dev/null || fail "$format $name render: $(cat host.err)"
  done
  cmp_files "${name}_vst2.wav" "${name}_clap.wav" "$name inside blocks"
  cmp -s base_clap.wav "${name}_clap.wav" && fail "$name changed nothing"
done <<'TABLE'
values "change 8=1@100" "change 8=0@700"
restart "param 19=1" "note -5 60" "note 300 60" "note 511 60" "note 1300 60 1" "note 20000 60"
switch "param 20=0.34" "note 100 40" "note 5000 50" "note 9000 40 0" "note 12000 45"
TABLE
/usr/bin/python3 - "$QUORVEL_SOURCE_DIR/tests/module" <<'PY' || fail "change not exactly at sample 100"
import sys
sys.path.insert(0, sys.argv[1])
from wav_check import read_wav
base, changed = (read_wav(f)[2] for f in ("base_clap.wav", "values_clap.wav"))
first = min(i for c in range(2) for i, (a, b) in enumerate(zip(base[c], changed[c])) if a != b)
assert first == 100, first
PY

# States: saved by one format, loaded by the next, saved again. Rows: FROM
# TO PROGRAM BYPASS COMPARE; the saving steps put Program 7, three values and
# (but in VST 2, which has no bypass) Bypass in.
save_steps=(open "program 7" "param 9=0.3" "param 17=0.6" "param 18=0.25")
while read -r from to program bypass compare; do
  steps=("${save_steps[@]}")
  [ "$bypass" = 1 ] && steps+=("param 25=1")
  host "${module[$from]}" "${steps[@]}" "savechunk bank $from.chunk" params >"$from.params" ||
    fail "$from save: $(cat host.err)"
  expect_extension "$from.chunk" 7 "$bypass"
  out=$(host "${module[$to]}" open "loadchunk bank $from.chunk" "savechunk bank ${from}_$to.chunk" params) ||
    fail "$from to $to: $(cat host.err)"
  expect_line "$out" "loadchunk bank bytes=220 result=1"
  [ "$(displays "$out")" = "$(displays "$(cat "$from.params")")" ] ||
    fail "values from $from in $to: $(displays "$out")"
  $compare "$from.chunk" "${from}_$to.chunk" "state from $from saved again by $to"
done <<'TABLE'
clap vst3 7 1 cmp_files
vst3 clap 7 1 cmp_files
vst2 clap 7 0 cmp_files
clap vst2 7 0 same_but_program
TABLE
# The program and bypass a state carried show in the loading CLAP plug-in.
out=$(host "$clap" open "loadchunk bank vst3.chunk" "program" "param 25") || fail "clap program: $(cat host.err)"
expect_line "$out" "$(grep '^program current=7 ' vst2.params)"
grep -q '^param 25 name="Bypass" .* value=1.000000$' <<<"$out" || fail "bypass after load: $out"
# An older build's bare chunk loads; a foreign state is refused and changes
# nothing; a short one is refused.
head -c 140 clap.chunk >bare.chunk
head -c 400 /dev/zero | tr '\0' 'x' >foreign.chunk
head -c 60 clap.chunk >short.chunk
host "$clap" open "savechunk bank fresh.chunk" >/dev/null || fail "fresh state: $(cat host.err)"
while read -r file bytes result; do
  out=$(host "$clap" open "loadchunk bank $file" "savechunk bank after_$file") || fail "$file: $(cat host.err)"
  expect_line "$out" "loadchunk bank bytes=$bytes result=$result"
done <<'TABLE'
bare.chunk 140 1
foreign.chunk 400 0
short.chunk 60 0
TABLE
cmp_files fresh.chunk after_foreign.chunk "state after a foreign load"

# The editor: natively on an X server of the test's own, the X11 editor with
# the host's timers, beside the VST 2 module's (the host's VST 3 mode embeds
# in Win32 windows only); on Windows the Win32 one beside both others'.
editors=(vst2 vst3 clap)
if [ "$QUORVEL_PLATFORM" != windows ]; then
  source "$QUORVEL_SOURCE_DIR/tests/module/xvfb.bash"
  start_xvfb
  editors=(vst2 clap)
fi
for format in "${editors[@]}"; do
  out=$(host "${module[$format]}" open "editor open" "editor ticks 3" "editor capture $format.bmp" \
    "editor close") || fail "$format editor: $(cat host.err)"
  expect_line "$out" "editor rect=0,0,285,620"
  cmp_files vst2.bmp "$format.bmp" "editor capture"
done
# A drag on the "Rate" knob reaches the host as one gesture of rising values
# through the flush the editor asks for; the timers the editor registered are
# gone when it closes.
out=$(host "$clap" open "log edits.log" "editor open" "editor ticks 2" "editor drag 51 125 51 85" \
  "editor ticks 2" "editor close" "log -" "param 0") || fail "clap editor edits: $(cat host.err)"
expect_line "$out" "editor open result=1"
expect_line "$out" "editor close result=1"
expect_line "$out" "close timers_left=0 fds_left=0"
edits=$(tr -d '\r' <edits.log)
[ "$(grep '^clapOutput .* id=0\b' <<<"$edits" | sed 's/ value=.*//' | uniq)" = "clapOutput GestureBegin id=0
clapOutput ParamValue id=0
clapOutput GestureEnd id=0" ] || fail "editor gesture: $edits"
values=$(grep '^clapOutput ParamValue id=0 ' <<<"$edits" | sed 's/.*value=//; s/ .*//')
sort -n -c <<<"$values" || fail "drag values do not rise: $edits"
[ "$(uniq <<<"$values" | wc -l)" -ge 3 ] || fail "the drag's values did not reach the host one by one: $edits"
grep -q '^clapHost RequestFlush' <<<"$edits" || fail "no flush asked for: $edits"
if [ "$QUORVEL_PLATFORM" != windows ]; then
  grep -q '^clapHost RegisterTimer ' <<<"$edits" || fail "no host timer natively: $edits"
fi
grep -q '^param 0 name="Rate" .* value=0\.[4-9]' <<<"$out" || fail "rate after the drag: $out"
echo "clap formats ok"
