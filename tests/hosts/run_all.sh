#!/usr/bin/env bash
# Renders the test input through the effect in each real host, for every case
# of gate_cases.py, and compares each render with the test host's render of
# the same input, settings and tempo (gate_compare.py). Needs build/release
# (Quorvel.so, quorvel_host) and build/windows32 (Quorvel32.dll).
# Usage: run_all.sh [ardour] [lmms]   (default both). Exit 1 on any failure; a
# host that cannot run counts as failed. QUORVEL_KEEP_HOSTS=1 keeps the work folder.
set -uo pipefail
source "$(dirname "$0")/common.bash"
hosts=("$@")
[ ${#hosts[@]} -gt 0 ] || hosts=(ardour lmms)

work="$(mktemp -d /tmp/quorvel-hosts.XXXXXX)"
export LMMS_WINEPREFIX="$work/wine32"
cleanup() {
  WINEPREFIX="$LMMS_WINEPREFIX" wineserver -k 2>/dev/null || true
  if [ "${QUORVEL_KEEP_HOSTS:-0}" = 1 ]; then echo "work folder kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

for needed in "$release_dir/Quorvel.so" "$release_dir/quorvel_host"; do
  [ -f "$needed" ] || { hosts_fail "missing $needed (build release first)"; exit 1; }
done
"$python" "$hosts_dir/gate_cases.py" input "$work/input.wav" 4 || exit 1

passed=0 failed=0
for host in "${hosts[@]}"; do
  # What each host needs: its block length, and how far its render may
  # differ. Ardour ramps its output up over the first ~4000 samples after the
  # transport starts, so its first 0.1 s are not compared.
  case "$host" in
    ardour) block=1024 tolerances=(--skip-start 4800 --edge-tolerance 2 --sample-tolerance 1e-4)
            tools=(ardour7-lua ardour7-export sox soxi) ;;
    # LMMS stops a sample clip one 256-frame period before its end.
    lmms)   block=256 tolerances=(--skip-end 256 --edge-tolerance 0 --sample-tolerance 1e-5)
            tools=(lmms xvfb-run wineserver sox soxi) ;;
    *) echo "unknown host $host" >&2; exit 2 ;;
  esac
  missing_tools=()
  for tool in "${tools[@]}"; do command -v "$tool" >/dev/null || missing_tools+=("$tool"); done
  [ "$host" != lmms ] || [ -f "$windows32_dir/Quorvel32.dll" ] || missing_tools+=("$windows32_dir/Quorvel32.dll")
  for case_name in $("$python" "$hosts_dir/gate_cases.py" names); do
    dir="$work/$host-$case_name"
    mkdir -p "$dir"
    echo "== $host: $case_name"
    if [ ${#missing_tools[@]} -gt 0 ]; then
      hosts_fail "$host cannot run: missing ${missing_tools[*]} (run tools/setup.sh)"
      failed=$((failed + 1)); continue
    fi
    if ! bash "$hosts_dir/${host}_render.sh" "$case_name" "$work/input.wav" "$dir/host.wav" "$dir/run"; then
      failed=$((failed + 1)); continue
    fi
    if ! hosts_reference "$case_name" "$block" "$work/input.wav" "$dir/reference.wav" >"$dir/reference.log" 2>&1; then
      hosts_fail "$host $case_name: the test host's reference render failed" "$dir/reference.log"
      failed=$((failed + 1)); continue
    fi
    hosts_case "$case_name"
    if "$python" "$hosts_dir/gate_compare.py" "$work/input.wav" "$dir/reference.wav" "$dir/host.wav" \
         --tempo "$case_tempo" --rate-index "$case_rate_index" --target "$case_target" "${tolerances[@]}"; then
      passed=$((passed + 1))
    else
      echo "FAIL $host $case_name: the render differs from the test host's"
      failed=$((failed + 1))
    fi
  done
done
echo "real hosts: $passed of $((passed + failed)) renders agree with the test host"
[ "$failed" -eq 0 ]
