#!/usr/bin/env bash
# The test host's note step against the fake effect: each note goes in
# through effProcessEvents just before the process call of the block (or the
# piece of a block split at a parameter change) that holds it, with its
# offset from that call's first sample; one before the render goes with the
# first block, one past it with the last, velocity 0 goes as it is, and the
# notes belong to the next process step only. Bad notes fail the step.
source "$(dirname "$0")/host_common.bash"

host none "generate noise in.wav seconds=0.05 level=0.9" >/dev/null  # 2205 frames
host "$fake_plugin" open "blocksize 100" "mains on" "change 0=0.25@130" \
  "note 250 60" "note -20 61" "note 0 62 0" "note 2204 63" "note 99999 64" "note 150 65" \
  "note 130 66" "note 129 67 1" "process in.wav a.wav" "process in.wav b.wav double" >/dev/null ||
  fail "notes: $(cat host.err)"
got=$(tr -d '\r' <host.err | grep '^fake_plugin: midi ' || true)
expected="fake_plugin: midi frames=100 delta=-20 status=144 data=61,100
fake_plugin: midi frames=100 delta=0 status=144 data=62,0
fake_plugin: midi frames=30 delta=29 status=144 data=67,1
fake_plugin: midi frames=70 delta=0 status=144 data=66,100
fake_plugin: midi frames=70 delta=20 status=144 data=65,100
fake_plugin: midi frames=100 delta=50 status=144 data=60,100
fake_plugin: midi frames=5 delta=4 status=144 data=63,100
fake_plugin: midi frames=5 delta=97799 status=144 data=64,100"
[ "$got" = "$expected" ] || fail "events as the effect saw them:
$got"

for bad in "note 10 128" "note x 60" "note 10 60 128" "note 10" "note 10 60 1 2"; do
  host "$fake_plugin" "$bad" >/dev/null && fail "accepted: $bad"
  grep -q '^error: step 1 ' host.err || fail "$bad: $(cat host.err)"
done
echo "notes go with their blocks"
