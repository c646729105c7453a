#!/usr/bin/env bash
# The packaged VST 3 bundles (build/release's natively, build/windows's under
# Wine) carry a moduleinfo.json and snapshots that agree with their loaded
# factory: tests/module/vst3_moduleinfo.sh run on each. Needs a Wine session
# (tools/wine_session.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
for build in release windows; do
  platform=native run=""
  [ "$build" = release ] || platform=windows run="$root/tools/wine_run.sh"
  QUORVEL_BINARY_DIR="$root/build/$build" QUORVEL_SOURCE_DIR="$root" QUORVEL_PLATFORM=$platform \
    QUORVEL_RUN="$run" bash "$root/tests/module/vst3_moduleinfo.sh" || exit 1
done
