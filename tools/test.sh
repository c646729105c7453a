#!/usr/bin/env bash
# Sets up a fresh machine, builds both configurations and runs every test:
# the native tests (with sanitizers) and the Windows tests under Wine.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
# Seconds since the last call, for the per-part times in the log.
mark=$(date +%s)
lap() { local now; now=$(date +%s); echo "-- $1: $((now - mark)) s"; mark=$now; }
bash tools/setup.sh || exit 1
lap "set-up"
bash tools/build.sh native || exit 1
lap "native build"
bash tools/build.sh windows || exit 1
lap "windows build"

# shellcheck source=wine_session.sh
source tools/wine_session.sh
wine_session_start

passed=0 failed=0
run_suite() {
  local name="$1" dir="$2" log
  log="$root/build/ctest-$name.log"
  echo "== $name tests"
  (cd "$dir" && ctest --output-on-failure -j "$(nproc)" --timeout 600) 2>&1 | tee "$log"
  local line p t
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
  t=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  p=$(( t - $(sed -E 's/.*passed, ([0-9]+) tests failed.*/\1/' <<<"$line") ))
  passed=$((passed + p)); failed=$((failed + t - p))
}
run_suite native build/native
lap "native tests"
run_suite windows build/windows
lap "windows tests"
for extra in tools/ci.d/*.sh; do
  [ -f "$extra" ] || continue
  echo "== $(basename "$extra" .sh)"
  if bash "$extra"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
  lap "$(basename "$extra" .sh)"
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
