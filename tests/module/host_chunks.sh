#!/usr/bin/env bash
# Program and bank chunks go to files byte for byte and come back through
# effSetChunk; program selection, names and parameter texts print as expected.
source "$(dirname "$0")/host_common.bash"

out=$(host "$fake_plugin" programs "program 1" "param 0=0.75" "param 1=1" \
      "savechunk program prog.bin" "savechunk bank bank.bin") || fail "save: $(cat host.err)"
expect_line "$out" 'program 0 name="Unity"'
expect_line "$out" 'program 2 name="Silent"'
expect_line "$out" 'program current=1 name="Half"'
expect_line "$out" 'param 0 name="Gain" label="x" display="1.500" value=0.750000'
expect_line "$out" 'savechunk program bytes=12'
expect_line "$out" 'savechunk bank bytes=32'
# Decode the files independently: magic, then little-endian floats.
/usr/bin/python3 - <<'PY' || fail "chunk contents"
import struct
prog = open("prog.bin", "rb").read()
assert prog == b"FPRG" + struct.pack("<ff", 0.75, 1.0), prog
bank = open("bank.bin", "rb").read()
assert bank == b"FBNK" + struct.pack("<i", 1) + struct.pack("<6f", 0.5, 0, 0.75, 1, 0, 0), bank
PY

# A fresh instance takes the program chunk into its current program, and the
# bank chunk restores every program and the selection.
out=$(host "$fake_plugin" "loadchunk program prog.bin" "param 0" "program") || fail "load program: $(cat host.err)"
expect_line "$out" 'loadchunk program bytes=12 result=1'
expect_line "$out" 'param 0 name="Gain" label="x" display="1.500" value=0.750000'
expect_line "$out" 'program current=0 name="Unity"'
out=$(host "$fake_plugin" "loadchunk bank bank.bin" "program" params) || fail "load bank: $(cat host.err)"
expect_line "$out" 'loadchunk bank bytes=32 result=1'
expect_line "$out" 'program current=1 name="Half"'
expect_line "$out" 'param 1 name="Probe" label="" display="on" value=1.000000'

# The effect's refusal is reported, not hidden; a missing file fails the step.
printf 'XYZ' >short.bin
out=$(host "$fake_plugin" "loadchunk bank short.bin" "param 0") || fail "short chunk: $(cat host.err)"
expect_line "$out" 'loadchunk bank bytes=3 result=0'
expect_line "$out" 'param 0 name="Gain" label="x" display="1.000" value=0.500000'
! host "$fake_plugin" "loadchunk bank nowhere.bin" >/dev/null || fail "missing chunk file accepted"

# Parameters by text, and a script file with comments.
cat >script.txt <<'SCRIPT'
# set the gain from its text form
paramtext 0=0.5
param 0
SCRIPT
out=$(host "$fake_plugin" -f script.txt) || fail "script: $(cat host.err)"
expect_line "$out" 'paramtext 0 result=1'
expect_line "$out" 'param 0 name="Gain" label="x" display="0.500" value=0.250000'
echo "chunks ok"
