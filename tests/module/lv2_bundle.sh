#!/usr/bin/env bash
# The LV2 bundle as the system's LV2 tools see it: serdi and sordi parse every
# description alike; lv2ls lists the plug-in
# and lilv reads every description without a complaint; lv2info lists every port
# by index with its symbol, range, default, properties and scale points,
# the UI and every factory program as a preset;
# lv2apply renders through it (it sends no transport, so the VST 2 module
# renders through the test host with no time info) the default, each
# target and a few programs with their presets' port values, sample for
# sample as the VST 2 module renders the same input.
source "$(dirname "$0")/host_common.bash"
bundle="$QUORVEL_BINARY_DIR/Quorvel.lv2"
vst2="$QUORVEL_MODULE"
uri="urn:quorvel:step-gate"
[ -d "$bundle" ] || fail "no bundle at $bundle"
# lilv reads every folder on LV2_PATH as a bundle: one holding only ours.
mkdir lv2 && ln -s "$bundle" lv2/Quorvel.lv2
export LV2_PATH="$work/lv2"
# A module built with the address sanitizer loads only into a process that
# has its runtime first. (The list is read whole: grep -q would stop
# reading early, and under pipefail ldd's broken pipe would fail the test.)
lilv_env=()
if grep -q 'libasan' <<<"$(ldd "$bundle/quorvel.so")"; then
  lilv_env=(env "LD_PRELOAD=$(gcc -print-file-name=libasan.so)" ASAN_OPTIONS=detect_leaks=0)
fi

# Every description parses alike with serdi and sordi, and without a word.
for ttl in "$bundle"/*.ttl; do
  serdi -i turtle -o ntriples "$ttl" >serd.nt 2>serd.err || fail "serdi: $ttl: $(cat serd.err)"
  [ ! -s serd.err ] && [ -s serd.nt ] || fail "serdi on $ttl: $(cat serd.err)"
  sordi "$ttl" "file://$ttl" >sord.nt 2>sord.err || fail "sordi: $ttl: $(cat sord.err)"
  [ ! -s sord.err ] && [ "$(wc -l <sord.nt)" -eq "$(wc -l <serd.nt)" ] ||
    fail "sordi on $ttl: $(cat sord.err)"
done

[ "$(ls "$bundle"/*.ttl | wc -l)" -eq 3 ] || fail "descriptions: $(ls "$bundle")"

"${lilv_env[@]}" lv2ls >list.txt 2>lv2ls.err || fail "lv2ls: $(cat lv2ls.err)"
[ "$(cat list.txt)" = "$uri" ] || fail "lv2ls lists: $(cat list.txt)"

"${lilv_env[@]}" lv2info "$uri" >info.txt 2>info.err || fail "lv2info: $(cat info.err)"
[ ! -s info.err ] || fail "lv2info complains: $(cat info.err)"
# Each port as lilv reads it: index, symbol, range, default, properties and
# scale points (count, lowest, highest), against the parameter table
# written out by hand. Units and point labels are the VST 2 module's
# (tests/module/lv2_formats.sh).
# lilv lists the properties (two at most) in no fixed order: sorted here.
awk 'function out() { if (port != "") print port, sym, min, max, def, props (n ? " points=" n " " lo ".." hi : "") }
  /^\tPort [0-9]+:/ { out(); port = $2 + 0; sym = min = max = def = "-"; props = "-"; n = 0; next }
  /^\t\t\t/ { v = $1 + 0; if (!n || v < lo) lo = v; if (!n || v > hi) hi = v; n++; next }
  /^\t\t[A-Z][A-Za-z ]*:/ { key = $1; value = $2 }
  /^\t\t +/ { value = $1 }
  /^\t\t/ { if (key == "Symbol:") sym = value; if (key == "Minimum:") min = value + 0
    if (key == "Maximum:") max = value + 0; if (key == "Default:") def = value + 0
    if (key == "Properties:") { sub(/.*#/, "", value); props = props == "-" ? value : value < props ? value "," props : props "," value } }
  /^\t[A-Z]/ { out(); port = "" } END { out() }' info.txt >ports.txt
cat >ports.expected <<'EOF'
0 in_l - - - -
1 in_r - - - -
2 out_l - - - -
3 out_r - - - -
4 control - - - connectionOptional
5 rate 0 27 9 enumeration,integer points=28 0..27
6 cycle 1 32 16 integer
7 attack 0 200 5 -
8 gate 0 100 100 integer
9 tie_lock 0 1 1 integer,toggled points=2 0..1
10 release 0 200 30 -
11 fade 0 100 5 -
12 split_freq 20 20000 1000 -
13 target 0 3 0 enumeration,integer points=4 0..3
14 mix 0 100 80 integer
15 pattern_word_1 0 9765624 4882812 integer
16 pattern_word_2 0 9765624 4882812 integer
17 pattern_word_3 0 9765624 4882812 integer
18 pattern_word_4 0 9765624 5078124 integer
19 pattern_word_5 0 9765624 9765624 integer
20 pattern_word_6 0 9765624 9765624 integer
21 pattern_word_7 0 624 624 integer
22 swing 50 75 50 integer
23 chance 0 100 100 integer
24 restart 0 2 0 enumeration,integer points=3 0..2
25 midi_switch 0 3 0 enumeration,integer points=4 0..3
26 chance_word_1 0 4194303 0 integer
27 chance_word_2 0 4194303 0 integer
28 chance_word_3 0 1048575 0 integer
EOF
diff ports.expected ports.txt >ports.diff || fail "ports as lilv reads them: $(cat ports.diff)"
grep -q "^		$uri#ui$" info.txt || fail "no UI listed"
grep -q "Class:  http://lv2plug.in/ns/extensions/ui#X11UI" info.txt || fail "UI class"
presets=$(sed -n '/^	Presets:/,/^	[A-Z]/p' info.txt | grep -c '^	         ')
[ "$presets" -eq 50 ] || fail "presets listed: $presets"

# The renders. One program's port values as lv2apply flags, from presets.ttl.
preset_flags() {
  /usr/bin/python3 - "$bundle/presets.ttl" "$uri#preset-$1" <<'PY'
import re, sys
text = open(sys.argv[1]).read()
block = text.split("<%s>" % sys.argv[2], 1)[1].split(" .\n", 1)[0]
for symbol, value in re.findall(r'lv2:symbol "([^"]+)" ; pset:value ([-0-9.e+]+)', block):
    print("-c", symbol, value)
PY
}
# Noise: the very first frame already carries signal for the settings to act on.
host none "generate noise in.wav seconds=0.4 rate=44100 channels=2 level=0.5" >/dev/null
# Each render from a fresh instance in both formats: lv2apply makes one per file.
lv2_runs=(default target_0 target_1 target_2 target_3 program_1 program_12 program_23 program_35)
for run in "${lv2_runs[@]}"; do
  flags=()
  setting=()
  case "$run" in
    target_*)
      flags=(-c target "${run#target_}")
      setting=("param 8=$(python3 -c "print(${run#target_} / 3)")")
      ;;
    program_*)
      read -r -a flags <<<"$(preset_flags "${run#program_}" | tr '\n' ' ')"
      setting=("program ${run#program_}")
      ;;
  esac
  "${lilv_env[@]}" lv2apply -i in.wav -o "lv2_$run.wav" "${flags[@]}" "$uri" 2>apply.err ||
    fail "lv2apply $run: $(cat apply.err)"
  host "$vst2" open "samplerate 44100" "blocksize 512" "timeinfo off" "${setting[@]}" "mains on" \
    "process in.wav vst2_$run.wav" >/dev/null || fail "vst2 $run: $(cat host.err)"
done
/usr/bin/python3 - "$QUORVEL_SOURCE_DIR/tests/module" "${lv2_runs[@]}" <<'PY' || fail "renders differ"
import sys
sys.path.insert(0, sys.argv[1])
from wav_check import read_wav
source = read_wav("in.wav")[2]
moved = 0
for run in sys.argv[2:]:
    lv2, vst2 = read_wav("lv2_%s.wav" % run), read_wav("vst2_%s.wav" % run)
    assert lv2[:2] == vst2[:2], (run, lv2[:2], vst2[:2])
    assert lv2[2] == vst2[2], "%s: the LV2 render differs from the VST 2 render" % run
    moved += lv2[2] != source
assert moved > 0, "no render changed the input"
PY
echo "lv2 bundle ok"
