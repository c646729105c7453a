#!/usr/bin/env bash
# The effect's editor opened as a host opens it: effEditGetRect, a window of
# the host's own as the parent, effEditOpen. Mouse messages sent to the
# effect's window must reach the host as edit gestures; the window's content,
# read back, must show the background image and the step bars. Natively the
# same runs on an X server of the test's own (Xvfb), with X events in place
# of the messages and the host's idle calls driving the editor.
source "$(dirname "$0")/host_common.bash"

if [ "$QUORVEL_PLATFORM" != windows ]; then
  # Without a display the native editor cannot open, and says so.
  status=0
  out=$(unset DISPLAY; host "$QUORVEL_MODULE" "editor open") || status=$?
  [ "$status" = 1 ] || fail "editor open without a display: exit $status"
  expect_line "$out" "editor getrect result=1"
  grep -q "cannot open the X display" host.err || fail "no reason given: $(cat host.err)"
  status=0
  host "$QUORVEL_MODULE" "editor click 10 10" >/dev/null || status=$?
  [ "$status" = 1 ] && grep -q "no editor is open" host.err || fail "click without editor: $status"
  source "$QUORVEL_SOURCE_DIR/tests/module/xvfb.bash"
  start_xvfb
  out=$(host "$QUORVEL_MODULE" info) || fail "info: $(cat host.err)"
  flags=$(sed -n 's/^info flags=//p' <<<"$out")
  (( (flags & 0x1) == 1 )) || fail "native effect announces no editor: flags $flags"
fi

out=$(host "$QUORVEL_MODULE" open "log click.log" "editor open" "editor ticks 2" "editor capture before.bmp" \
      "editor click 47 215" "param 24" "editor click 62 215" \
      "log drag.log" "param 0" "editor drag 51 125 51 85" "param 0" \
      "log wheel.log" "editor wheel 121 125 2" "editor ticks 4" \
      "log wheel_end.log" "editor ticks 30" "log rest.log" "editor capture after.bmp" "editor close" close) ||
  fail "host: $(cat host.err)"
expect_line "$out" "editor getrect result=1"
expect_line "$out" "editor rect=0,0,285,620"
expect_line "$out" "editor open result=1"
expect_line "$out" "editor capture after.bmp width=620 height=285"
expect_line "$out" "editor close result=1"
# param 24 (StepEdited) was queried right after the first bar click: already reset.
grep -q '^param 24 .* value=0.000000$' <<<"$out" || fail "StepEdited not reset: $out"

requests() {  # requests LOG INDEX: gesture and automation lines for one parameter
  tr -d '\r' <"$1" | grep -E "^audioMaster (BeginEdit|Automate|EndEdit) .* index=$2 " |
    sed 's/ opcode=[0-9]* index=[0-9]* value=0//'
}
# Each bar click: one gesture raising StepEdited to 1, the engine putting it back to 0.
click_gesture="audioMaster BeginEdit opt=0.000000
audioMaster Automate opt=1.000000
audioMaster Automate opt=0.000000
audioMaster EndEdit opt=0.000000"
[ "$(requests click.log 24)" = "$click_gesture
$click_gesture" ] || fail "bar click gestures:
$(cat click.log)"

# Dragging the Rate knob upward: begin, rising automation, end.
drag=$(requests drag.log 0)
[ "$(head -n1 <<<"$drag")" = "audioMaster BeginEdit opt=0.000000" ] || fail "drag begin: $drag"
[ "$(tail -n1 <<<"$drag")" = "audioMaster EndEdit opt=0.000000" ] || fail "drag end: $drag"
values=$(grep Automate <<<"$drag" | sed 's/.*opt=//')
[ "$(wc -l <<<"$values")" -ge 3 ] || fail "too few drag steps: $drag"
sort -n -c <<<"$values" || fail "drag values do not rise: $values"
rate=$(sed -n 's/^param 0 .* value=//p' <<<"$out")
awk '{v[NR]=$1} END {exit !(NR == 2 && v[2] > v[1] + 0.05)}' <<<"$rate" || fail "rate before/after: $rate"

# Two wheel notches on the Cycle knob: one gesture, still open a few ticks
# later, ended by the editor's timer about half a second after the last notch.
[ "$(requests wheel.log 1 | grep -c BeginEdit)" = 1 ] || fail "wheel begin: $(cat wheel.log)"
[ "$(requests wheel.log 1 | grep -c Automate)" = 2 ] || fail "wheel steps: $(cat wheel.log)"
[ "$(requests wheel.log 1 | grep -c EndEdit)" = 0 ] || fail "wheel gesture ended early"
[ "$(requests wheel_end.log 1)" = "audioMaster EndEdit opt=0.000000" ] ||
  fail "wheel gesture end: $(cat wheel_end.log)"

# Pixels that no font decides: where nothing is drawn the window shows the
# background image; step 1's time bar (x 30..63, y 210..219) is filled half
# by default and fully after the click at its right end; the Rate knob turned.
/usr/bin/python3 - "$QUORVEL_SOURCE_DIR/img/bg.png" before.bmp after.bmp \
  "$QUORVEL_BINARY_DIR/editor_host_capture.png" <<'PY' || fail "capture pixels"
import sys
from PIL import Image
bg, before, after = (Image.open(p).convert("RGB") for p in sys.argv[1:4])
assert before.size == after.size == bg.size == (620, 285), (before.size, after.size, bg.size)
bar = (130, 195, 255)
for shot, name in ((before, "before"), (after, "after")):
    for point in ((5, 280), (614, 280), (5, 5), (614, 5), (150, 15), (600, 30), (310, 270)):
        assert shot.getpixel(point) == bg.getpixel(point), (name, point, shot.getpixel(point))
    if all(v == 0 for v in shot.getextrema()[0] + shot.getextrema()[2]):
        raise AssertionError(name + " capture is black")
for point in ((32, 215), (40, 212)):  # the default half fill
    assert before.getpixel(point) == bar and bg.getpixel(point) != bar, ("before", point)
    assert after.getpixel(point) == bar, ("after", point)
for point in ((55, 215), (62, 218)):  # filled only by the click at the right end
    assert before.getpixel(point) == bg.getpixel(point) != bar, ("before", point, before.getpixel(point))
    assert after.getpixel(point) == bar, ("after", point, after.getpixel(point))
knob = (31, 105, 71, 145)
assert before.crop(knob).tobytes() != after.crop(knob).tobytes(), "the Rate knob did not turn"
after.save(sys.argv[4])
PY
echo "artefact: $QUORVEL_BINARY_DIR/editor_host_capture.png"
echo "editor in host ok"
