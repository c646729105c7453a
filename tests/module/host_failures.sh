#!/usr/bin/env bash
# Failing steps end the run with a non-zero exit code and a reason.
source "$(dirname "$0")/host_common.bash"

expect_exit() {  # expect_exit CODE REASON ARGS...
  local code=$1 reason=$2 status=0
  shift 2
  FAKE_PLUGIN_ENTRY=${entry:-} host "$@" >/dev/null || status=$?
  [ "$status" = "$code" ] || fail "exit $status, expected $code for: $*"
  grep -q -- "$reason" host.err || fail "no '$reason' in: $(cat host.err)"
}
expect_exit 3 "cannot load" ./no_such_plugin open
expect_exit 3 "cannot load" ./no_such_plugin            # no steps: loading alone is checked
entry=null expect_exit 3 "returned no effect" "$fake_plugin" open
entry=badmagic expect_exit 3 "bad effect magic 0x12345678" "$fake_plugin" info
expect_exit 1 "unknown step" "$fake_plugin" open "frobnicate 3"
expect_exit 1 "wrong number of arguments" "$fake_plugin" "param"
expect_exit 1 "from 0 to 1" "$fake_plugin" "param 0=1.5"
expect_exit 1 "needs an effect" none open
expect_exit 1 "the effect was closed" "$fake_plugin" open close info
expect_exit 1 "cannot open script" "$fake_plugin" -f missing_script.txt
expect_exit 2 "usage"
# Steps after a failure do not run.
FAKE_PLUGIN_ENTRY='' host "$fake_plugin" "param 0=0.25" "bogus" "param 0=0.75" >out.txt || true
! grep -q 'value=0.750000' out.txt || fail "ran past a failed step"
echo "failures ok"
