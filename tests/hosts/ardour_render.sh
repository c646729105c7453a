#!/usr/bin/env bash
# Renders INPUT through Quorvel.so (build/release) in Ardour 7, or through the
# Quorvel.vst3 or Quorvel.lv2 bundle of the same build with ARDOUR_FORMAT=vst3
# or lv2, headless with
# the Dummy backend: a session with one stereo track, the effect on it, the
# case's tempo and preset or parameters (tests/hosts/ardour_session.lua); the
# track's recorded region is replaced by INPUT and the session exported as
# 32-bit float. Usage: ardour_render.sh CASE INPUT OUTPUT WORKDIR
# Ardour keeps its configuration, plug-in cache and session inside WORKDIR.
set -uo pipefail
source "$(dirname "$0")/common.bash"
case_name="$1" input="$2" output="$3" work="$4"
attempts=3
format="${ARDOUR_FORMAT:-vst2}"

hosts_case "$case_name" || exit 1
ardour_prepare "$work" "$format" || exit 1
# VST 3 and LV2 parameters are set in the plug-in's own units.
[ "$format" = vst2 ] || case_params=$case_plain

frames=$(soxi -s "$input") || exit 1
params_lua=""
for pair in $case_params; do params_lua+="{${pair%%:*}, ${pair#*:}}, "; done
{
  echo "session_dir = \"$work/session\""
  echo 'session_name = "render"'
  echo 'sample_rate = 48000'
  echo 'block_size = 1024'
  echo "tempo = $case_tempo"
  # Half a second more than the clip, so that the region holds all of it.
  echo "record_seconds = $(awk -v f="$frames" 'BEGIN { print f / 48000 + 0.5 }')"
  echo 'effect_name = "Quorvel"'
  echo "plugin_type = ARDOUR.PluginType.$plugin_type"
  echo "preset = \"$case_preset\""
  echo "params = { $params_lua}"
} >"$work/settings.lua"

# Building the session, then exporting it: each can abort at teardown now and
# then, so each gets up to three attempts.
ardour_session "$work" "$work/session/interchange/*/audiofiles/*%L.wav" || exit 1

# The recorded (silent) take becomes the input, at the recorded length.
for side in L:1 R:2; do
  file=$(ls "$work"/session/interchange/*/audiofiles/*%"${side%:*}".wav)
  length=$(soxi -s "$file" 2>/dev/null)
  [ "$length" -ge "$frames" ] ||
    { hosts_fail "ardour: recorded only $length of $frames frames" "$work/session-$built.log"; exit 1; }
  sox "$input" -t wav -e floating-point -b 32 "$file.new" remix "${side#*:}" pad 0 "$((length - frames))s" \
    2>"$work/sox.log" && mv "$file.new" "$file" ||
    { hosts_fail "ardour: could not replace $file" "$work/sox.log"; exit 1; }
done
rm -rf "$work/session/peaks"

for attempt in $(seq 1 $attempts); do
  rm -f "$output"
  if timeout 120 ardour7-export -b float -o "$output" "$work/session" render \
       >"$work/export-$attempt.log" 2>&1 && [ -s "$output" ]; then
    echo "ardour: rendered $output (session attempt $built, export attempt $attempt)"
    exit 0
  fi
done
hosts_fail "ardour: export failed $attempts times" "$work"/export-*.log
