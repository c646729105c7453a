#!/usr/bin/env bash
# The LV2 bundle against the VST 2 module of the same build, through the same
# test host (natively): identical renders for the default, every factory
# preset, every target, without time info, at an odd block length, tempo,
# signature and position, with MIDI notes and with the transport stopped;
# the position the host hands over, checked against values worked out here;
# a parameter change at sample 100 of a block changing the output exactly
# there; states crossing between LV2, VST 3 and VST 2 byte for byte, and
# rendering the same after the crossing; foreign and short states refused;
# and the LV2 UI opening under Xvfb, drawing what the VST 2 editor draws, its
# knob drag reaching the control port through the host's write function.
source "$(dirname "$0")/host_common.bash"
bundle="$QUORVEL_BINARY_DIR/Quorvel.lv2"
vst3="$QUORVEL_BINARY_DIR/Quorvel.vst3"
vst2="$QUORVEL_MODULE"
[ -d "$bundle" ] || fail "no bundle at $bundle"
cmp_files() { cmp -s "$1" "$2" || fail "$3: $1 and $2 differ"; }
# The same state bytes but for the program word (offset 152).
same_but_program() {
  cmp -s <(head -c 152 "$1") <(head -c 152 "$2") && cmp -s <(tail -c +157 "$1") <(tail -c +157 "$2") ||
    fail "$3: $1 and $2 differ"
}
module_of() { case "$1" in vst2) echo "$vst2" ;; vst3) echo "$vst3" ;; lv2) echo "$bundle" ;; esac; }
# run_both NAME STEPS...: the steps through both formats, each in its own
# folder beside in.wav; then every WAV they wrote must be the same.
run_both() {
  local name="$1" format file
  shift
  for format in vst2 lv2; do
    mkdir -p "$name/$format"
    (cd "$name/$format" && ln -sf ../../in.wav in.wav && host "$(module_of $format)" "$@" >out.txt) ||
      fail "$name through $format: $(cat "$name/$format/host.err")"
  done
  for file in "$name"/vst2/*.wav; do
    [ "$file" = "$name/vst2/in.wav" ] || cmp_files "$file" "$name/lv2/${file#"$name"/vst2/}" "$name render"
  done
}

host none "generate pad in.wav seconds=0.4 rate=44100 channels=2 level=0.5" >/dev/null

# The programs are the VST 2 module's, in its order and with its names.
host "$vst2" programs >vst2.programs || fail "vst2 programs: $(cat host.err)"
host "$bundle" programs >lv2.programs || fail "lv2 programs: $(cat host.err)"
diff vst2.programs lv2.programs >programs.diff || fail "program lists differ: $(cat programs.diff)"

# A folder that is no bundle of one plug-in: a load failure, with the reason.
mkdir empty.lv2
status=0
host "$work/empty.lv2" info >/dev/null || status=$?
[ "$status" = 3 ] && grep -q "holds 0 plug-ins, not one" host.err || fail "empty bundle: $status $(cat host.err)"

# What the ports say: the VST 2 module's displays and labels, the scale
# points' labels for lists, typed values taken as it takes them; 32-bit
# float only.
out=$(host "$bundle" info) || fail "lv2 info: $(cat host.err)"
for line in "info inputs=2" "info outputs=2" "info params=24" "info programs=50" "info event_inputs=1"; do
  expect_line "$out" "$line"
done
# Typed values: list labels, whole numbers rounded, ends clamped (these
# parameters are linear: the normalised values compare too).
for format in vst2 lv2; do
  host "$(module_of $format)" "program 12" params "paramtext 0=1/8" "paramtext 1=12.6" "paramtext 9=150" \
    "paramtext 17=-3" "paramtext 4=No" | grep -E '^param [0-9]* name=|^paramtext' |
    sed '1,24s/ value=.*//; s/ name="[^"]*"//' >"$format.displays" || fail "$format params: $(cat host.err)"
done
cmp_files vst2.displays lv2.displays "parameter displays after a program"
[ "$(wc -l <lv2.displays)" -eq 34 ] || fail "not 24 parameters and 5 typed values: $(cat lv2.displays)"
host "$bundle" "process in.wav double.wav double" >/dev/null 2>&1 && fail "LV2 rendered in double precision"
grep -q "32-bit float only" host.err || fail "no reason for refusing double: $(cat host.err)"

# One session per table: every render follows the last, so the formats must
# agree on everything carried from one to the next.
setup=(open "samplerate 44100" "blocksize 512" "tempo 128" "transport playing" "mains on")
steps=("${setup[@]}" "process in.wav default.wav")
# The factory's programs one after another; the free slots each from a fresh
# instance: the VST 2 module's free slot takes whatever values are current,
# the bundle's preset for it holds the fresh instance's.
for p in $(seq 0 24); do steps+=("program $p" "process in.wav program_$p.wav"); done
for t in 0 1 2 3; do steps+=("param 8=$(python3 -c "print($t / 3)")" "process in.wav target_$t.wav"); done
run_both presets "${steps[@]}"
cmp -s in.wav presets/lv2/default.wav && fail "the LV2 render did not gate"
for p in $(seq 25 49); do run_both "free_$p" "${setup[@]}" "program $p" "process in.wav program_$p.wav"; done
# No time info from the start (an LV2 plug-in keeps the last position it was
# given running, so a session that had one is not the same thing): no
# position object ever.
run_both no_time "timeinfo off" open "samplerate 44100" "blocksize 512" "tempo 128" "transport playing" \
  "mains on" "process in.wav default.wav" "program 12" "process in.wav program.wav" "param 8=1" \
  "process in.wav target.wav"

# An odd block length (never a power of two), 6/8 at 97 BPM from sample
# 300000; then the restart on MIDI notes, with and without notes; then the
# transport stopped.
run_both odd open "samplerate 48000" "blocksize 300" "tempo 97" "timesig 6/8" "position 300000" \
  "transport playing" "log pos.log" "program 24" "process in.wav odd.wav" "param 19=1" \
  "process in.wav no_notes.wav" "note 1000 60" "note 5000 62 90" "note 9999999 64" \
  "process in.wav notes.wav" "transport stopped" "process in.wav stopped.wav"
cmp -s odd/vst2/no_notes.wav odd/vst2/notes.wav && fail "the notes changed nothing: the check is blind"
# 300000 samples at 48 kHz and 97 BPM: 10.1041667 quarters, 20.2083333
# eighths, so bar 3 (from 0) and 2.2083333 eighths into it; 300 samples on,
# 0.0202083 eighths further. Stopped, the position stays put.
pos=$(grep '^lv2 position' odd/lv2/pos.log)
expect_line "$pos" "lv2 position frame=300000 speed=1 bpm=97 bar=3 barBeat=2.208333 beatsPerBar=6 beatUnit=8"
expect_line "$pos" "lv2 position frame=300300 speed=1 bpm=97 bar=3 barBeat=2.228542 beatsPerBar=6 beatUnit=8"
stopped_at=$((300000 + 3 * 17640))
[ "$(grep -c "^lv2 position frame=$stopped_at speed=0 " <<<"$pos")" -eq 59 ] ||
  fail "a stopped transport's position (59 blocks at $stopped_at): $(tail -n 3 <<<"$pos")"

# "Target" to "Low - High" at sample 100 of the second block: the output
# changes exactly there, as the VST 2 module's does when its block is split.
run_both change open "samplerate 44100" "blocksize 512" "tempo 128" "transport playing" "mains on" \
  "process in.wav base.wav" "mains off" "position 0" "mains on" "change 8=1@612" "process in.wav changed.wav"
/usr/bin/python3 - "$QUORVEL_SOURCE_DIR/tests/module" <<'PY' || fail "change not exactly at sample 612"
import sys
sys.path.insert(0, sys.argv[1])
from wav_check import read_wav
base, changed = (read_wav("change/lv2/" + f)[2] for f in ("base.wav", "changed.wav"))
first = min(i for c in range(2) for i, (a, b) in enumerate(zip(base[c], changed[c])) if a != b)
assert first == 612, first
PY

# State: VST 2 -> LV2 (and on to VST 3) -> VST 2. "Swing" and "Chance" travel
# in the extension.
host "$vst2" open "program 7" "param 9=0.3" "param 17=0.6" "param 18=0.25" "savechunk bank a.chunk" \
  >/dev/null || fail "vst2 save: $(cat host.err)"
out=$(host "$bundle" open "loadchunk bank a.chunk" "savechunk bank b.chunk") || fail "lv2: $(cat host.err)"
expect_line "$out" "loadchunk bank bytes=220 result=1"
cmp_files a.chunk b.chunk "state from VST 2 saved again by LV2"
# What was loaded is what plays, over values set before it.
render=("samplerate 44100" "blocksize 512" "tempo 128" "transport playing" "mains on" "process in.wav loaded.wav")
run_both loaded open "param 1=0.25" "param 8=1" "loadchunk bank ../../a.chunk" "${render[@]}"
# A new rate or block length makes a new LV2 instance: it carries the loaded
# state (not in the ports) and plays on as the VST 2 module does. Changes at
# a block's first sample and at a block boundary, two at one sample; notes
# before the render and past its end.
run_both edges open "samplerate 44100" "blocksize 512" "tempo 128" "transport playing" \
  "loadchunk bank ../../a.chunk" "param 19=1" "mains on" "process in.wav a.wav" "samplerate 48000" \
  "blocksize 1000" "change 8=1@0" "change 8=0.3333@1000" "change 3=0.5@1000" "note -5 60" \
  "note 1999 61" "note 99999999 62" "process in.wav b.wav" "mains off" "mains on" "process in.wav c.wav"
# The same settings made in each format save the same bytes (the LV2 host
# applies presets by their values, so the program word may differ).
for format in vst2 lv2; do
  host "$(module_of $format)" open "program 12" "param 1=0.25" "param 17=1" "savechunk bank c_$format.chunk" \
    >/dev/null || fail "$format save: $(cat host.err)"
done
same_but_program c_vst2.chunk c_lv2.chunk "the same settings saved by VST 2 and LV2"
for format in vst3 vst2; do
  out=$(host "$(module_of $format)" open "loadchunk bank c_lv2.chunk" "savechunk bank d_$format.chunk") ||
    fail "$format load: $(cat host.err)"
  expect_line "$out" "loadchunk bank bytes=220 result=1"
done
cmp_files c_lv2.chunk d_vst3.chunk "state from LV2 saved again by VST 3"
same_but_program c_lv2.chunk d_vst2.chunk "state from LV2 saved again by VST 2"
# Not ours: refused, nothing changed. Cut short: refused, what it holds taken
# and the rest kept, as the VST 2 module does.
head -c 400 /dev/zero | tr '\0' 'x' >foreign.chunk
head -c 60 a.chunk >short.chunk
host "$bundle" open "savechunk bank fresh.chunk" >/dev/null || fail "fresh state: $(cat host.err)"
for bad in foreign:400 short:60; do
  for format in vst2 lv2; do
    out=$(host "$(module_of $format)" open "loadchunk bank ${bad%:*}.chunk" "savechunk bank ${bad%:*}_$format.chunk") ||
      fail "${bad%:*} state: $(cat host.err)"
    expect_line "$out" "loadchunk bank bytes=${bad#*:} result=0"
  done
  same_but_program "${bad%:*}_vst2.chunk" "${bad%:*}_lv2.chunk" "state after a ${bad%:*} load"
done
cmp_files fresh.chunk foreign_lv2.chunk "state after a foreign load"
cmp -s fresh.chunk short_lv2.chunk && fail "a short state changed nothing: the check is blind"

# The UI under Xvfb: the VST 2 editor's picture, and a drag on the "Rate"
# knob (control port 5) written to that port, rising, then read back.
source "$QUORVEL_SOURCE_DIR/tests/module/xvfb.bash"
start_xvfb
host "$vst2" open "editor open" "editor ticks 3" "editor capture vst2.bmp" "editor close" >/dev/null ||
  fail "vst2 editor: $(cat host.err)"
out=$(host "$bundle" open "editor open" "editor ticks 3" "editor capture lv2.bmp" "log edits.log" \
  "editor drag 51 125 51 85" "editor ticks 2" "log -" "param 0" "editor close") ||
  fail "lv2 editor: $(cat host.err)"
expect_line "$out" "editor open result=1"
expect_line "$out" "editor capture lv2.bmp width=620 height=285"
expect_line "$out" "editor close result=1"
cmp_files vst2.bmp lv2.bmp "editor capture"
writes=$(grep '^ui write port=5 value=' edits.log | sed 's/.*value=//')
[ "$(wc -l <<<"$writes")" -ge 3 ] || fail "too few writes to the Rate port: $(cat edits.log)"
sort -n -c <<<"$writes" || fail "Rate writes do not rise: $writes"
# The port holds the last value written: "param" reads it back, normalised
# over the port's 0 to 27.
last=$(tail -n1 <<<"$writes")
(( last > 9 )) || fail "the drag did not raise Rate from 9: $last"
grep -q "^param 0 name=\"Rate\" .* value=$(python3 -c "print('%.6f' % ($last / 27))")\$" <<<"$out" ||
  fail "Rate after the drag (port holds $last): $out"
echo "lv2 formats ok"
