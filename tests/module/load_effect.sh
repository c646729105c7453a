#!/usr/bin/env bash
# The real module loads through the test host and announces the effect
# record hosts rely on: 2 inputs, 2 outputs, 24 parameters, 50 programs,
# 'VstP' magic, version 10000, unique ID 'owtk'; flags 0x1018 (mono legal,
# replacing, double replacing), plus 0x1 for the editor (Win32 or X11).
# It then opens, processes a short signal and closes cleanly.
source "$(dirname "$0")/host_common.bash"

out=$(host "$QUORVEL_MODULE" info) || fail "cannot load the effect: $(cat host.err)"
expect_line "$out" "info magic=VstP"
expect_line "$out" "info inputs=2"
expect_line "$out" "info outputs=2"
expect_line "$out" "info params=24"
expect_line "$out" "info programs=50"
expect_line "$out" "info version=10000"
expect_line "$out" "info unique_id=0x6F77746B"
flags=$(sed -n 's/^info flags=//p' <<<"$out")
[ "$flags" = 0x1019 ] || fail "flags $flags"

host none "generate pad in.wav seconds=0.5" >/dev/null
out=$(host "$QUORVEL_MODULE" "tempo 120" "transport playing" open "samplerate 44100" "blocksize 512" \
      "mains on" params programs "process in.wav out.wav" "mains off" close) || fail "run: $(cat host.err)"
[ "$(grep -c '^param [0-9]* name=' <<<"$out")" = 24 ] || fail "parameter lines: $out"
[ "$(grep -c '^program [0-9]* name=' <<<"$out")" = 50 ] || fail "program lines: $out"
[ "$(wav_check header out.wav)" = "format=float channels=2 rate=44100 frames=22050" ] || fail "output header"
echo "effect loads"
