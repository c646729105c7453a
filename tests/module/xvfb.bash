# start_xvfb: a virtual X server of this test's own on a free display number,
# DISPLAY pointing at it, stopped when the test exits (sourced after
# host_common.bash, whose exit trap it extends). The server runs in a session
# of its own, so the whole group is stopped with it, is told to stop when this
# script dies however it dies, and writes nothing to the test's output, so a
# runner reading that output never waits for it.
start_xvfb() {
  command -v Xvfb >/dev/null || fail "Xvfb is not installed (tools/setup.sh installs it)"
  # A background job of a script is no group leader: setsid makes the new
  # session without forking, and setpriv only sets the parent-death signal
  # before it runs the server, so $! is the server and its group. -noreset:
  # otherwise the server resets each time its last client leaves (the
  # readiness check below is one), turning away whoever connects meanwhile.
  setsid setpriv --pdeathsig TERM Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    3>"$work/xvfb.display" </dev/null >/dev/null 2>"$work/xvfb.log" &
  xvfb_pid=$!
  trap 'kill -TERM -- "-$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT
  # Stopped from outside (a runner's timeout, an interrupt): the exit trap runs.
  trap 'exit 143' TERM HUP
  trap 'exit 130' INT
  local waited=0
  until [ -s "$work/xvfb.display" ]; do
    kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    (( waited++ < 100 )) || fail "Xvfb gave no display number"
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$work/xvfb.display")"
  # The number comes when the server listens; on a loaded machine it may
  # still turn clients away for a while after that.
  waited=0
  until xdpyinfo >/dev/null 2>&1; do
    (( waited++ < 100 )) || fail "Xvfb on $DISPLAY takes no clients: $(cat "$work/xvfb.log")"
    sleep 0.1
  done
}
