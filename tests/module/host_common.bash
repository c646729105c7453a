# Shared set-up for the host tests (sourced; not a test of its own).
# Runs in a fresh directory so that relative paths work for the native host
# and for the Windows host under Wine alike.
set -euo pipefail
: "${QUORVEL_BINARY_DIR:?run through ctest}"
case "${QUORVEL_PLATFORM:-native}" in
  windows) fake_plugin="$QUORVEL_BINARY_DIR/fake_plugin.dll" ;;
  *) fake_plugin="$QUORVEL_BINARY_DIR/fake_plugin.so" ;;
esac
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
wav_check() { /usr/bin/python3 "$QUORVEL_SOURCE_DIR/tests/module/wav_check.py" "$@"; }
# host ARGS...: the test host of this build (under Wine for Windows); output
# lines lose the carriage returns the Windows C library adds.
host() {
  local status=0
  ${QUORVEL_RUN:+"$QUORVEL_RUN"} "$QUORVEL_HOST" "$@" >host.out 2>host.err || status=$?
  tr -d '\r' <host.out
  return "$status"
}
fail() { echo "FAIL: $*" >&2; exit 1; }
expect_line() {  # expect_line OUTPUT LINE: LINE must appear exactly
  grep -qxF -- "$2" <<<"$1" || { printf 'output:\n%s\n' "$1" >&2; fail "missing line: $2"; }
}
