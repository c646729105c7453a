#!/usr/bin/env bash
# The Linux archive's INSTALL.txt lists exactly the shared libraries the
# Linux modules load (their NEEDED entries, read with readelf), and the
# README's install section names every Debian package INSTALL.txt gives for
# them and for the fonts, so neither goes stale when the modules' libraries
# change.
set -euo pipefail
export LC_ALL=C
root="$(cd "$(dirname "$0")/../.." && pwd)"
text="${QUORVEL_INSTALL_TEXT:-$root/tools/release/install_linux.txt}"
fail() { echo "FAIL: $*" >&2; exit 1; }

needed=""
for module in release/Quorvel.so release/Quorvel.vst3/Contents/x86_64-linux/Quorvel.so \
  release/Quorvel.clap release/Quorvel.lv2/quorvel.so; do
  [ -f "$root/build/$module" ] || fail "build/$module missing: build release first"
  needed+=$(readelf -d "$root/build/$module" | sed -nE 's/.*\(NEEDED\).*\[(.*)\]$/\1/p')$'\n'
done
needed=$(sort -u <<<"$needed" | sed '/^$/d')
listed=$({ grep -oE '\blib[A-Za-z0-9_+-]*\.so\.[0-9]+\b' "$text" || true; } | sort -u)
[ "$needed" = "$listed" ] ||
  fail "$(basename "$text") lists other libraries than the modules load (< listed, > loaded):"$'\n'"$(
    diff <(echo "$listed") <(echo "$needed"))"

# The Debian packages: the bracketed lists after the libraries, and the fonts.
packages=$(sed -nE 's/.*\(([a-z0-9][a-z0-9.+, -]*)\)$/\1/p' "$text" | tr ',' '\n' | tr -d ' ')
packages+=$'\n'$(grep -oE '\bfonts-[a-z0-9-]+\b' "$text")
[ "$(wc -w <<<"$packages")" -ge 8 ] || fail "no package names found in $(basename "$text")"
readme=$(sed -n '/^## Install$/,/^## /p' "$root/README.md")
for package in $packages; do
  grep -qF -- "$package" <<<"$readme" || fail "README's Install section does not name $package"
done
echo "Linux libraries: INSTALL.txt lists the $(wc -l <<<"$needed") the modules load; README names their packages"
