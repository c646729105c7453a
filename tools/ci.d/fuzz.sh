#!/usr/bin/env bash
# Builds the fuzz configuration (clang, libFuzzer, address and undefined-
# behaviour sanitizers; tools/build.sh fuzz) and fuzzes every target for a
# bounded time from a scratch copy of its committed seeds and past failures
# (tests/fuzz/seeds/<target>, tests/fuzz/regressions/<target>). Any crash,
# sanitizer report, leak, timeout or out-of-memory fails the step; the input
# that caused it is kept under build/fuzz/runs/<target>/ and belongs, once the
# fault is mended, in tests/fuzz/regressions/<target>/.
# QUORVEL_FUZZ_SECONDS sets the time per target (default 50).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
seconds="${QUORVEL_FUZZ_SECONDS:-50}"

started=$(date +%s)
bash "$root/tools/build.sh" fuzz >/dev/null
echo "fuzz build: $(($(date +%s) - started)) s"

runs="$root/build/fuzz/runs"
rm -rf "$runs"
status=0
for exe in "$root"/build/fuzz/*_fuzz; do
  [ -x "$exe" ] || continue
  name="$(basename "$exe")"
  stem="${name%_fuzz}"
  dir="$runs/$stem"
  mkdir -p "$dir/corpus"
  for source in "$root/tests/fuzz/seeds/$stem" "$root/tests/fuzz/regressions/$stem"; do
    [ -d "$source" ] && find "$source" -maxdepth 1 -type f ! -name '.*' -exec cp {} "$dir/corpus/" \;
  done
  begun=$(date +%s)
  result="no findings"
  "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
    -print_final_stats=1 -artifact_prefix="$dir/" "$dir/corpus" >"$dir/fuzz.log" 2>&1 ||
    result="FAILED"
  elapsed=$(($(date +%s) - begun))
  executed=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+).*/\1/p' "$dir/fuzz.log" | tail -n 1)
  added=$(sed -nE 's/^stat::new_units_added: *([0-9]+).*/\1/p' "$dir/fuzz.log" | tail -n 1)
  coverage=$(grep -oE 'cov: [0-9]+' "$dir/fuzz.log" | tail -n 1 | cut -d' ' -f2)
  entries=$(find "$dir/corpus" -maxdepth 1 -type f | wc -l)
  echo "$name: ${executed:-?} inputs in $elapsed s, $entries corpus entries (${added:-?} new)," \
    "${coverage:-?} edges covered, $result"
  if [ "$result" != "no findings" ]; then
    status=1
    tail -n 60 "$dir/fuzz.log"
    find "$dir" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
      -o -name 'oom-*' \) -printf 'kept input: %p\n'
  fi
done
echo "fuzz total: $(($(date +%s) - started)) s"
exit "$status"
