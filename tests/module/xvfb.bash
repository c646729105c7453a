# start_xvfb: a virtual X server of this test's own on a free display number,
# DISPLAY pointing at it, stopped when the test exits (sourced after
# host_common.bash, whose exit trap it extends).
start_xvfb() {
  command -v Xvfb >/dev/null || fail "Xvfb is not installed (tools/setup.sh installs it)"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/xvfb.display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  trap 'kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT
  local waited=0
  until [ -s "$work/xvfb.display" ]; do
    kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    (( waited++ < 100 )) || fail "Xvfb gave no display number"
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$work/xvfb.display")"
}
