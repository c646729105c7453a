#!/usr/bin/env bash
# Each of the three audio callbacks processes the whole file in blocks of
# the block size (the last one shorter), with the accumulating callback's
# outputs cleared before every block.
source "$(dirname "$0")/host_common.bash"

host none "generate noise in.wav seconds=0.05 level=0.9" >/dev/null  # 2205 frames
for callback in replacing double accumulating; do
  # Gain 0.25 is a factor of 0.5: exact in float and double.
  out=$(host "$fake_plugin" open "blocksize 100" "mains on" "param 0=0.25" \
        "process in.wav out_$callback.wav $callback") || fail "$callback: $(cat host.err)"
  expect_line "$out" "process frames=2205 blocks=23 callback=$callback"
  wav_check expect "out_$callback.wav" in.wav --gain 0.5 >/dev/null || fail "$callback: samples differ"
  # The probe shows which callback ran and each block's length.
  host "$fake_plugin" open "blocksize 100" "mains on" "param 1=1" \
    "process in.wav probe_$callback.wav $callback" >/dev/null || fail "$callback probe: $(cat host.err)"
  id=$(case $callback in accumulating) echo 1 ;; replacing) echo 2 ;; double) echo 3 ;; esac)
  probe=$(wav_check probe "probe_$callback.wav")
  [ "$(grep -c "frames=100 callback=$id " <<<"$probe")" = 22 ] || fail "$callback: blocks $probe"
  [ "$(grep -c "frames=5 callback=$id " <<<"$probe")" = 1 ] || fail "$callback: last block $probe"
done
echo "callbacks ok"
