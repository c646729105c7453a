#!/usr/bin/env bash
# What the host answers to audioMasterGetTime while processing: tempo,
# position advancing by each block while the transport runs, transport flags,
# musical position, and no record at all when time info is switched off.
source "$(dirname "$0")/host_common.bash"

host none "generate dc in.wav seconds=0.02" >/dev/null  # 882 frames: blocks of 256 and 114
run_probe() {  # run_probe STEPS...: prints the probe lines of one render
  host "$fake_plugin" open "samplerate 48000" "blocksize 256" "mains on" "param 1=1" "$@" \
    "process in.wav out.wav" >/dev/null || fail "host: $(cat host.err)"
  wav_check probe out.wav
}
# flags: changed 1, playing 2, recording 8, ppq 0x200, tempo 0x400, bars 0x800, time sig 0x2000
probe=$(run_probe "tempo 140" "position 1000" "transport playing")
expected="pos=1000 tempo=140 flags=0x2E03 ppq=0.0486 frames=256 callback=2 rate=48000 null=0
pos=1256 tempo=140 flags=0x2E02 ppq=0.0611 frames=256 callback=2 rate=48000 null=0
pos=1512 tempo=140 flags=0x2E02 ppq=0.0735 frames=256 callback=2 rate=48000 null=0
pos=1768 tempo=140 flags=0x2E02 ppq=0.0859 frames=114 callback=2 rate=48000 null=0"
[ "$probe" = "$expected" ] || fail "playing: got
$probe"

probe=$(run_probe "tempo 90" "position 4410" "transport stopped")
# The first answer reports the (initial) transport state as changed.
[ "$(head -n 1 <<<"$probe" | cut -d' ' -f1-3)" = "pos=4410 tempo=90 flags=0x2E01" ] || fail "stopped: $probe"
[ "$(grep -c '^pos=4410 tempo=90 flags=0x2E00 ' <<<"$probe")" = 3 ] || fail "stopped: $probe"

probe=$(run_probe "transport recording" "timesig 3/4")
[ "$(head -n 1 <<<"$probe")" = "pos=0 tempo=120 flags=0x2E09 ppq=0.0000 frames=256 callback=2 rate=48000 null=0" ] ||
  fail "recording: $probe"
[ "$(sed -n 4p <<<"$probe" | cut -d' ' -f1)" = "pos=768" ] || fail "recording does not advance: $probe"

probe=$(run_probe "transport playing" "timeinfo off")
[ "$(grep -c '^pos=0 tempo=0 flags=0x0 ppq=0.0000 frames=[0-9]* callback=2 rate=0 null=1$' <<<"$probe")" = 4 ] ||
  fail "timeinfo off: $probe"

# The position carries over from one process step to the next.
host "$fake_plugin" open "blocksize 256" "mains on" "param 1=1" "transport playing" \
  "process in.wav first.wav" "process in.wav second.wav" >/dev/null || fail "two renders: $(cat host.err)"
[ "$(wav_check probe second.wav | head -n 1 | cut -d' ' -f1)" = "pos=882" ] || fail "position not carried over"
echo "time info ok"
