#!/usr/bin/env bash
# The main job: sets up the machine, builds the Windows effect, and renders
# demo audio through build/windows/Quorvel.dll with the test host under Wine
# (120 BPM, transport playing). Prints where the output is.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash tools/setup.sh
bash tools/build.sh windows

# shellcheck source=wine_session.sh
source tools/wine_session.sh
wine_session_start
bash tools/render_demo.sh windows "$root/out"
