#!/usr/bin/env bash
# Sets up a fresh machine, builds both configurations and runs every test:
# the native tests (with sanitizers) and the Windows tests under Wine.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash tools/setup.sh || exit 1
bash tools/build.sh native || exit 1
bash tools/build.sh windows || exit 1

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
run_suite windows build/windows
for extra in tools/ci.d/*.sh; do
  [ -f "$extra" ] || continue
  echo "== $(basename "$extra" .sh)"
  if bash "$extra"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
