#!/usr/bin/env bash
# Opens the editor of Quorvel.so (build/release) in Ardour 7's own window, or
# of the Quorvel.vst3 bundle with ARDOUR_FORMAT=vst3, on an Xvfb of its own:
# a session with one track and the effect on it (ardour_session.lua), saved
# with the effect's window open, then the Ardour GUI on that session with the
# Dummy backend started from the stored engine state. Checks that Ardour's
# window holds the editor (the effect's child window, found by its
# _XEMBED_INFO and its size), takes two clicks and then looks as the test
# host's after the same clicks (editor_capture_check.py), and writes a screenshot of Ardour's main window.
# Usage: ardour_editor_screenshot.sh SCREENSHOT.png WORKDIR   (exit 1 on failure)
set -uo pipefail
source "$(dirname "$0")/common.bash"
screenshot="$1" work="$2"
format="${ARDOUR_FORMAT:-vst2}"
mkdir -p "$work"
xvfb_pid="" ardour_pid=""
stop() {
  [ -z "$ardour_pid" ] || { kill "$ardour_pid"; wait "$ardour_pid"; } 2>/dev/null
  [ -z "$xvfb_pid" ] || { kill "$xvfb_pid"; wait "$xvfb_pid"; } 2>/dev/null
}
trap stop EXIT
trap "exit 1" INT TERM

# An X server on the first free display number. -noreset: otherwise it
# resets when its last client leaves (the effect's own look at the screen
# while the test host asks for the editor's size is one), turning away the
# test host's next connection.
exec 3<> <(:)
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp -noreset 2>"$work/xvfb.log" &
xvfb_pid=$!
read -r -t 20 number <&3 || { hosts_fail "no Xvfb display" "$work/xvfb.log"; exit 1; }
exec 3<&-
export DISPLAY=":$number"

# The test host's picture of the editor after the same clicks (a step bar of
# the lower grid, the "High Gain" target), and the size the effect reports.
clicks=("32 249" "422 142")
steps=(open "editor open")
for click in "${clicks[@]}"; do steps+=("editor click $click"); done
"$release_dir/quorvel_host" "$release_dir/Quorvel.so" "${steps[@]}" "editor ticks 5" \
  "editor capture $work/reference.bmp" "editor close" close >"$work/reference.log" 2>&1 &&
  convert "$work/reference.bmp" "$work/reference.png" ||
  { hosts_fail "the test host could not capture the editor" "$work/reference.log"; exit 1; }
size=$(sed -n 's/^editor rect=0,0,\([0-9]*\),\([0-9]*\)$/\2x\1/p' "$work/reference.log")

ardour_prepare "$work" "$format" || exit 1
{
  echo "session_dir = \"$work/session\""
  echo 'session_name = "editor"'
  echo 'sample_rate = 48000'
  echo 'block_size = 1024'
  echo 'tempo = 120'
  echo 'record_seconds = 0'
  echo 'effect_name = "Quorvel"'
  echo "plugin_type = ARDOUR.PluginType.$plugin_type"
  echo 'preset = ""'
  echo 'params = {}'
} >"$work/settings.lua"
ardour_session "$work" || exit 1

# Ardour reopens a processor's window that was open when its session was
# saved: record the effect's window as open, beside the mixer strip.
session_file="$work/session/editor.ardour"
route=$(sed -n 's/.*<Route [^>]*id="\([0-9]*\)" name="T".*/\1/p' "$session_file")
processor=$(sed -n 's/.*<Processor id="\([0-9]*\)" name="Quorvel".*/\1/p' "$session_file")
[ -n "$route" ] && [ -n "$processor" ] ||
  { hosts_fail "ardour: no track or effect in the session" "$session_file"; exit 1; }
window="<Window name=\"P-$route-$processor\" visible=\"1\" x-off=\"400\" y-off=\"110\" custom-ui=\"1\"/>"
sed -i "s|^</Session>|  <Extra><UI>$window</UI></Extra>\n</Session>|" "$session_file"
echo '<instant><Main current-tab="mixer"/></instant>' >"$work/session/instant.xml"
# No first-run wizard, and the engine started without its dialog from the
# stored Dummy state.
touch "$work/config/ardour7/.a7"
sed -i 's|^</Ardour>|  <Extra><AudioMIDISetup><EngineStates>\
    <State backend="None (Dummy)" driver="Normal Speed" device="Silence" input-device="" output-device=""\
      sample-rate="48000" buffer-size="1024" n-periods="0" input-latency="0" output-latency="0" lm-input=""\
      lm-output="" active="1" use-buffered-io="0" midi-option="1 in, 1 out, Silence" lru="1"><MIDIDevices/></State>\
  </EngineStates></AudioMIDISetup></Extra>\
</Ardour>|' "$work/config/ardour7/config"

ARDOUR_TRY_AUTOSTART_ENGINE=1 ardour "$session_file" >"$work/ardour.log" 2>&1 &
ardour_pid=$!
editor=""
for _ in $(seq 120); do
  sleep 0.5
  kill -0 "$ardour_pid" 2>/dev/null || { hosts_fail "ardour exited" "$work/ardour.log"; exit 1; }
  for id in $(xwininfo -root -tree 2>/dev/null | awk -v s="$size" '$0 ~ " " s "[+-]" { print $1 }'); do
    xprop -id "$id" _XEMBED_INFO 2>/dev/null | grep -q ' = ' && editor=$id
  done
  [ -z "$editor" ] || break
done
[ -n "$editor" ] || { hosts_fail "ardour: no $size editor window after 60 s" "$work/ardour.log"; exit 1; }
# Time to paint; the clicks through the X server, as a hand makes them; then
# two captures while the lamp moves on with the audio.
sleep 1
for click in "${clicks[@]}"; do
  # shellcheck disable=SC2086  # X Y
  xdotool mousemove --window "$editor" $click click 1 && sleep 0.5 ||
    { hosts_fail "xdotool could not click the editor"; exit 1; }
done
import -window "$editor" "$work/host-1.png" && sleep 0.7 && import -window "$editor" "$work/host-2.png" ||
  { hosts_fail "cannot capture the editor window $editor"; exit 1; }
main=$(xwininfo -root -tree | awk '/"[^"]* - Ardour":/ { print $1; exit }')
import -window root -crop "$(xwininfo -id "$main" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h "+0+0" }')" \
  +repage "$screenshot" || { hosts_fail "cannot take the screenshot"; exit 1; }
"$python" "$hosts_dir/editor_capture_check.py" "$work/reference.png" "$work/host-1.png" "$work/host-2.png" ||
  { hosts_fail "ardour ($format): the editor in Ardour's window differs from the test host's" "$work/ardour.log"; exit 1; }
echo "ardour ($format): editor window $editor ($size) drawn as in the test host; screenshot $screenshot"
