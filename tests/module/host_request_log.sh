#!/usr/bin/env bash
# Every audio-master request appears in the log, one line each and in
# order: creation, host identification at open, an edit gesture, time queries.
source "$(dirname "$0")/host_common.bash"

host none "generate dc in.wav seconds=0.01" >/dev/null  # 441 frames: 4 blocks of 128
out=$(host "$fake_plugin" "log requests.log" "product \"Some Host 5\"" "vendorversion 50200" open info \
      "dispatch 50 1 0 0.3" "param 0" "blocksize 128" "mains on" "param 1=1" "process in.wav out.wav") ||
  fail "host: $(cat host.err)"
# The fake effect shows what it was told at open.
expect_line "$out" 'info product="host=Some Host 5 version=50200"'
expect_line "$out" 'param 0 name="Gain" label="x" display="0.600" value=0.300000'
expected="audioMaster Version opcode=1 index=0 value=0 opt=0.000000
audioMaster GetProductString opcode=33 index=0 value=0 opt=0.000000
audioMaster GetVendorVersion opcode=34 index=0 value=0 opt=0.000000
audioMaster BeginEdit opcode=43 index=0 value=0 opt=0.000000
audioMaster Automate opcode=0 index=0 value=0 opt=0.300000
audioMaster EndEdit opcode=44 index=0 value=0 opt=0.000000
audioMaster GetTime opcode=7 index=0 value=1024 opt=0.000000
audioMaster GetTime opcode=7 index=0 value=1024 opt=0.000000
audioMaster GetTime opcode=7 index=0 value=1024 opt=0.000000
audioMaster GetTime opcode=7 index=0 value=1024 opt=0.000000"
[ "$(tr -d '\r' <requests.log)" = "$expected" ] || fail "log:
$(cat requests.log)"
echo "request log ok"
