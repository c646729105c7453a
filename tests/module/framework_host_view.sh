#!/usr/bin/env bash
# The framework as a host sees it through the real module: parameter texts,
# canDo answers, the state chunk (version 10000 then 17 doubles, then the
# extension: "QRVX", version 2, payload 68, program, bypass, 7 and 7 more
# doubles, all little-endian) and its round trip into a fresh instance, and
# free programs turning into numbered user presets.
source "$(dirname "$0")/host_common.bash"

out=$(host "$QUORVEL_MODULE" open params "cando receiveVstTimeInfo" "cando sendVstEvents" \
      "cando hasCockosExtensions" "param 7=0.5" "param 7" "savechunk program prog.bin" \
      "program 30" "program" "program 31" "program" close) || fail "run: $(cat host.err)"
expect_line "$out" 'param 0 name="Rate" label="" display="1/16" value=0.333333'
expect_line "$out" 'param 4 name="Tie Lock" label="" display="Yes" value=1.000000'
expect_line "$out" 'param 8 name="Target" label="" display="Volume" value=0.000000'
expect_line "$out" 'param 7 name="Split Freq" label="Hz" display="5015" value=0.500000'
expect_line "$out" 'cando receiveVstTimeInfo result=1'
expect_line "$out" 'cando sendVstEvents result=0'
expect_line "$out" "cando hasCockosExtensions result=$((0xBEEF0000))"
expect_line "$out" 'savechunk program bytes=220'
expect_line "$out" 'program current=30 name="user preset 1"'
expect_line "$out" 'program current=31 name="user preset 2"'

/usr/bin/python3 - <<'PY' || fail "chunk contents"
import struct
chunk = open("prog.bin", "rb").read()
assert len(chunk) == 220, len(chunk)
assert chunk[:4] == bytes([0x10, 0x27, 0, 0]), chunk[:4]
values = struct.unpack("<17d", chunk[4:140])
expected = (9, 16, 5, 100, 1, 30, 5, 5015, 0, 80, 4882812, 4882812, 4882812, 5078124,
            9765624, 9765624, 624)
assert values == expected, values
assert chunk[140:164] == b"QRVX" + struct.pack("<5i", 2, 68, 0, 0, 7), chunk[140:164]
assert struct.unpack("<7d", chunk[164:]) == (50, 100, 0, 0, 0, 0, 0), chunk[164:]
PY

out=$(host "$QUORVEL_MODULE" open "loadchunk program prog.bin" "param 7" close) \
  || fail "load: $(cat host.err)"
expect_line "$out" 'loadchunk program bytes=220 result=1'
expect_line "$out" 'param 7 name="Split Freq" label="Hz" display="5015" value=0.500000'
# "Mix" 0 leaves only the dry signal: the audio passes through unchanged, in
# all three callbacks.
host none "generate pad in.wav seconds=0.5 rate=44100 channels=2" >/dev/null
for callback in replacing double accumulating; do
  host "$QUORVEL_MODULE" "tempo 120" "transport playing" open "samplerate 44100" "blocksize 512" \
    "param 9=0" "mains on" "process in.wav out.wav $callback" "mains off" close >/dev/null \
    || fail "process $callback: $(cat host.err)"
  wav_check expect out.wav in.wav --tol 0 >/dev/null || fail "$callback does not pass audio through"
done
echo "framework seen through the host"
