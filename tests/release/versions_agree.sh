#!/usr/bin/env bash
# One version everywhere: the numbers in engine/version.h, the version
# resource of every Windows module (decoded from the file by pe_version.py),
# the effect record and vendor version (decimal) the test host reads from the loaded
# effect (Linux module natively, 64-bit Windows module under Wine) and the
# README. Needs a Wine session (tools/wine_session.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
fail() { echo "FAIL: $*" >&2; exit 1; }
number() { sed -nE "s/^#define QUORVEL_VERSION_$1 ([0-9]+)$/\1/p" "$root/engine/version.h"; }
major=$(number MAJOR) minor=$(number MINOR) patch=$(number PATCH)
version="$major.$minor.$patch"
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "no version in engine/version.h"

modules=(windows/Quorvel.dll windows32/Quorvel32.dll)
[ ! -f "$root/build/windows/Quorvel.vst3/Contents/x86_64-win/Quorvel.vst3" ] ||
  modules+=(windows/Quorvel.vst3/Contents/x86_64-win/Quorvel.vst3)
[ ! -f "$root/build/windows/Quorvel.clap" ] || modules+=(windows/Quorvel.clap)
for module in "${modules[@]}"; do
  info=$(/usr/bin/python3 "$root/tests/release/pe_version.py" "$root/build/$module") ||
    fail "$module: no version resource"
  for line in "fixed=$version.0" "FileVersion=$version" "ProductVersion=$version" \
    "ProductName=Quorvel" "OriginalFilename=$(basename "$module")"; do
    grep -qxF "$line" <<<"$info" || fail "$module: no '$line' in its version resource: $info"
  done
  grep -q '^LegalCopyright=.*MIT' <<<"$info" || fail "$module: no licence note"
done

# The effect record's version and the vendor-version answer, both decimal.
decimal=$((major * 10000 + minor * 100 + patch))
check_record() {  # check_record LABEL OUTPUT
  grep -qxF "info version=$decimal" <<<"$2" || fail "$1: effect record $(grep version <<<"$2")"
  grep -qxF "info vendor_version=$decimal" <<<"$2" || fail "$1: vendor version $(grep version <<<"$2")"
}
check_record Quorvel.so "$("$root/build/release/quorvel_host" "$root/build/release/Quorvel.so" info)"
check_record Quorvel.dll "$(bash "$root/tools/wine_run.sh" "$root/build/windows/quorvel_host.exe" \
  "$root/build/windows/Quorvel.dll" info | tr -d '\r')"

# The LV2 description: the minor and micro version (the major one is in no
# LV2 field).
ttl="$root/build/release/Quorvel.lv2/quorvel.ttl"
if [ -f "$ttl" ]; then
  grep -qE "lv2:minorVersion $minor ;" "$ttl" && grep -qE "lv2:microVersion $patch ;" "$ttl" ||
    fail "Quorvel.lv2 describes another version: $(grep -E 'Version' "$ttl")"
fi

grep -qE "^Version $version\b" "$root/README.md" || fail "README does not state version $version"
echo "versions: $version in ${#modules[@]} version resources, both effect records and the README"
