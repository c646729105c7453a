# start_xvfb: a virtual X server of this test's own on a free display number,
# DISPLAY pointing at it, stopped when the test exits (sourced after
# host_common.bash, whose exit trap it extends). The server runs in a session
# of its own, so the whole group is stopped with it, is told to stop when this
# script dies however it dies, and writes nothing to the test's output, so a
# runner reading that output never waits for it.
start_xvfb() {
  command -v Xvfb >/dev/null || fail "Xvfb is not installed (tools/setup.sh installs it)"
  # The display number is chosen here rather than by the server: a server
  # only looks for lock files, and a display whose lock is gone while its
  # server still listens (abstract socket or socket file) would be taken
  # twice, our clients reaching the other server until it exits.
  local number waited
  for number in $(seq 20 99); do
    [ ! -e "/tmp/.X$number-lock" ] && [ ! -e "/tmp/.X11-unix/X$number" ] || continue
    ! grep -q "@/tmp/.X11-unix/X$number\b" /proc/net/unix 2>/dev/null || continue
    # A background job of a script is no group leader: setsid makes the new
    # session without forking, and setpriv only sets the parent-death signal
    # before it runs the server, so $! is the server and its group. -noreset:
    # otherwise the server resets each time its last client leaves (the
    # readiness check below is one), turning away whoever connects meanwhile.
    setsid setpriv --pdeathsig TERM Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp -noreset \
      </dev/null >/dev/null 2>"$work/xvfb.log" &
    xvfb_pid=$!
    trap 'kill -TERM -- "-$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT
    # Stopped from outside (a runner's timeout, an interrupt): the exit trap runs.
    trap 'exit 143' TERM HUP
    trap 'exit 130' INT
    waited=0
    # Listening once its socket file is there; gone at once when another
    # server took the number between the look above and its start.
    until [ -S "/tmp/.X11-unix/X$number" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; do
      (( waited++ < 100 )) || fail "Xvfb on :$number did not start listening: $(cat "$work/xvfb.log")"
      sleep 0.1
    done
    kill -0 "$xvfb_pid" 2>/dev/null && ! grep -q "already running\|Create.*Listener.*failed" "$work/xvfb.log" && break
    kill -TERM -- "-$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  done
  [ -n "${xvfb_pid:-}" ] || fail "Xvfb found no free display: $(cat "$work/xvfb.log" 2>/dev/null)"
  export DISPLAY=":$number"
  # On a loaded machine a listening server may still turn clients away for
  # a while.
  waited=0
  until xdpyinfo >/dev/null 2>&1; do
    (( waited++ < 100 )) || fail "Xvfb on $DISPLAY takes no clients: $(cat "$work/xvfb.log")"
    sleep 0.1
  done
}
