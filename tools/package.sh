#!/usr/bin/env bash
# Packages built modules for release into out/ (or the folder given):
#   Quorvel-<version>-windows-x64.zip        Quorvel.dll, Quorvel32.dll, the
#                                            Quorvel.vst3 bundle and Quorvel.clap
#                                            when built, LICENSE,
#                                            THIRD_PARTY_NOTICES, INSTALL.txt
#   Quorvel-<version>-linux-x86_64.tar.gz    Quorvel.so (release build), the Linux
#                                            Quorvel.vst3 and Quorvel.lv2 bundles and
#                                            Quorvel.clap when built, the same texts
#   Quorvel-<version>-windows-x64-setup.exe  the installer (tools/release/installer.nsi)
#   SHA256SUMS
# Run after `tools/build.sh windows`, `windows32` and `release`. The version
# comes from engine/version.h. The packages are reproducible: every entry gets
# the time of the last commit (or SOURCE_DATE_EPOCH), a fixed owner and mode,
# and entries are stored in name order, so the same modules give the same bytes.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(mkdir -p "${1:-$root/out}" && cd "${1:-$root/out}" && pwd)"

number() { sed -nE "s/^#define QUORVEL_VERSION_$1 ([0-9]+)$/\1/p" "$root/engine/version.h"; }
version="$(number MAJOR).$(number MINOR).$(number PATCH)"
vendor="$(sed -nE 's/^#define QUORVEL_VENDOR "(.*)"$/\1/p' "$root/engine/version.h")"
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "package: no version in engine/version.h" >&2; exit 1; }
epoch="${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 315532800)}"

win64="$root/build/windows/Quorvel.dll"
win32="$root/build/windows32/Quorvel32.dll"
linux="$root/build/release/Quorvel.so"
for f in "$win64" "$win32" "$linux"; do
  [ -f "$f" ] || { echo "package: $f missing; build windows, windows32 and release first" >&2; exit 1; }
done

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
# stage_texts DIR TEMPLATE: the licence texts and the install text.
stage_texts() {
  cp "$root/LICENSE" "$root/THIRD_PARTY_NOTICES" "$1/"
  sed "s/@VERSION@/$version/g" "$2" >"$1/INSTALL.txt"
}

win_name="Quorvel-$version-windows-x64"
win="$stage/$win_name"
mkdir -p "$win"
cp "$win64" "$win32" "$win/"
have=()
if [ -d "$root/build/windows/Quorvel.vst3" ]; then
  cp -r "$root/build/windows/Quorvel.vst3" "$win/"
  have+=(-DHAVE_VST3)
fi
if [ -f "$root/build/windows/Quorvel.clap" ]; then
  cp "$root/build/windows/Quorvel.clap" "$win/"
  have+=(-DHAVE_CLAP)
fi
stage_texts "$win" "$root/tools/release/install_windows.txt"
# Notepad wants CRLF line ends.
for t in LICENSE THIRD_PARTY_NOTICES INSTALL.txt; do sed -i 's/$/\r/' "$win/$t"; done

linux_name="Quorvel-$version-linux-x86_64"
lin="$stage/$linux_name"
mkdir -p "$lin"
cp "$linux" "$lin/"
for bundle in Quorvel.vst3 Quorvel.clap Quorvel.lv2; do
  [ ! -e "$root/build/release/$bundle" ] || cp -r "$root/build/release/$bundle" "$lin/"
done
stage_texts "$lin" "$root/tools/release/install_linux.txt"

chmod -R u=rwX,go=rX "$stage"
find "$stage" -exec touch -h -d "@$epoch" {} +

rm -f "$out/$win_name.zip" "$out/$linux_name.tar.gz" "$out/$win_name-setup.exe" "$out/SHA256SUMS"
# Zip from Python for full control of each entry's time, attributes and order.
/usr/bin/python3 - "$stage" "$win_name" "$out/$win_name.zip" "$epoch" <<'PY'
import os, sys, time, zipfile
stage, top, target, epoch = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
stamp = time.gmtime(epoch)[:6]
paths = []
for folder, dirs, files in os.walk(os.path.join(stage, top)):
    paths += [os.path.join(folder, name) for name in dirs + files]
with zipfile.ZipFile(target, "w") as archive:
    for path in sorted(paths, key=lambda p: os.path.relpath(p, stage).split(os.sep)):
        name = os.path.relpath(path, stage).replace(os.sep, "/")
        is_dir = os.path.isdir(path)
        entry = zipfile.ZipInfo(name + "/" if is_dir else name, stamp)
        entry.create_system = 3  # Unix, so that the mode below means what it says
        entry.external_attr = ((0o40755 if is_dir else 0o100644) << 16) | (0x10 if is_dir else 0)
        entry.compress_type = zipfile.ZIP_STORED if is_dir else zipfile.ZIP_DEFLATED
        data = b"" if is_dir else open(path, "rb").read()
        archive.writestr(entry, data, compresslevel=9)
PY
tar -C "$stage" --sort=name --mtime="@$epoch" --owner=0 --group=0 --numeric-owner \
  --format=gnu -cf - "$linux_name" | gzip -9 -n >"$out/$linux_name.tar.gz"

makensis -V2 -INPUTCHARSET UTF8 "-DVERSION=$version" "-DVENDOR=$vendor" "-DSTAGE=$win" \
  "-DOUTFILE=$out/$win_name-setup.exe" "${have[@]}" "$root/tools/release/installer.nsi" >/dev/null

(cd "$out" && sha256sum "$win_name.zip" "$linux_name.tar.gz" "$win_name-setup.exe" >SHA256SUMS)
echo "package: $out/{$win_name.zip,$linux_name.tar.gz,$win_name-setup.exe,SHA256SUMS}"
