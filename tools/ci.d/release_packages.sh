#!/usr/bin/env bash
# The release packages (tools/package.sh): builds the modules they hold,
# then runs tests/release/*.sh: packaging twice gives identical bytes, every
# module's version resource and effect record carry the one version, the
# Windows installer installs, reinstalls, loads and uninstalls cleanly under
# Wine, THIRD_PARTY_NOTICES names what each module contains, the Linux
# INSTALL.txt the libraries the modules load, and each VST 3 bundle's
# moduleinfo.json what its factory says.
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
bash "$root/tools/build.sh" windows Quorvel Quorvel_vst3 Quorvel_clap quorvel_host vst3_factory_info >/dev/null || { echo "FAIL windows build"; exit 1; }
bash "$root/tools/build.sh" windows32 >/dev/null || { echo "FAIL windows32 build"; exit 1; }
bash "$root/tools/build.sh" release Quorvel Quorvel_vst3 Quorvel_clap Quorvel_lv2 quorvel_host vst3_factory_info >/dev/null || { echo "FAIL release build"; exit 1; }

# shellcheck source=../wine_session.sh
source "$root/tools/wine_session.sh"
wine_session_start
status=0
for t in "$root"/tests/release/*.sh; do
  bash "$t" || { echo "FAIL $(basename "$t" .sh)"; status=1; }
done
exit "$status"
