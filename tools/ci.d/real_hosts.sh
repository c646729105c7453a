#!/usr/bin/env bash
# Real hosts: the optimised Linux effect in Ardour (VST 2, VST 3 and LV2) and the 32-bit Windows
# effect in LMMS under Wine, each render compared with the test host's, and
# the editor of both Linux formats opened in Ardour's GUI under Xvfb and
# compared with the test host's capture (tests/hosts/run_all.sh). Fails when
# any host fails or cannot run.
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$root"
bash tools/build.sh release Quorvel Quorvel_vst3 Quorvel_lv2 quorvel_host || { echo "FAIL release build"; exit 1; }
bash tools/build.sh windows32 || { echo "FAIL windows32 build"; exit 1; }
bash tests/hosts/run_all.sh
