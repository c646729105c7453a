#!/usr/bin/env bash
# Installs everything the build and tests need on a fresh Debian 12 machine.
# Idempotent: packages already present are skipped, and the MinGW libpng
# source is fetched once into third_party/ (ignored by git).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export DEBIAN_FRONTEND=noninteractive

packages=(
  build-essential cmake ninja-build pkg-config python3 python3-pil dpkg-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libz-mingw-w64-dev
  wine wine64 xvfb xauth x11-apps imagemagick fonts-liberation2 fonts-dejavu-core
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libpng-dev zlib1g-dev clang libclang-rt-14-dev
  libx11-dev libxext-dev libxtst-dev libfreetype-dev libfontconfig-dev libglib2.0-0
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  ardour sox python3-numpy xdotool x11-utils
  lv2-dev lilv-utils serdi sordi liblilv-dev
  nsis
  lmms:i386 lmms-vst-server:i386 wine32:i386
)

# The real-host checks run the 32-bit effect in a 32-bit host under Wine.
i386_added=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  i386_added=1
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
apt_updated=0
if [ ${#missing[@]} -gt 0 ] || [ "$i386_added" = 1 ]; then
  echo "setup: installing ${missing[*]}"
  apt-get update -qq
  apt_updated=1
  [ ${#missing[@]} -eq 0 ] ||
    apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null >/dev/null
fi

# Source packages need deb-src entries: derive them from the deb entries when
# there are none, and read the lists once.
source_lists_ready() {
  if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      sed 's/^Types: deb$/Types: deb-src/' "$f" > "${f%.sources}-src.sources"
    done
    if [ -f /etc/apt/sources.list ]; then
      grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > /etc/apt/sources.list.d/derived-src.list || true
    fi
    apt_updated=0
  fi
  [ "$apt_updated" = 1 ] || { apt-get update -qq; apt_updated=1; }
}

# libpng 1.6 for the Windows target, from Debian's own source package.
png_dir="$root/third_party/libpng"
png_sha=a00e9d2f2f664186e4202db9299397f851aea71b36a35e74910b8820e380d441
if [ ! -f "$png_dir/png.h" ]; then
  source_lists_ready
  work="$(mktemp -d)"
  (
    cd "$work"
    # The security suite's .dsc can be missing; try each known version and keep the orig tarball.
    for v in $(apt-cache showsrc libpng1.6 | awk '/^Version:/{print $2}'); do
      apt-get source --download-only -qq "libpng1.6=$v" </dev/null >/dev/null 2>&1 || true
      ls libpng1.6_*.orig.tar.* >/dev/null 2>&1 && break
    done
  )
  tarball="$(ls "$work"/libpng1.6_*.orig.tar.* 2>/dev/null | head -n 1)"
  [ -n "$tarball" ] || { echo "setup: could not fetch the libpng1.6 source package" >&2; exit 1; }
  echo "$png_sha  $tarball" | sha256sum -c --quiet -
  mkdir -p "$root/third_party"
  rm -rf "$png_dir" "$work/unpack"; mkdir -p "$work/unpack"
  tar -xf "$tarball" -C "$work/unpack"
  mv "$work/unpack"/libpng-* "$png_dir"
  cp "$png_dir/scripts/pnglibconf.h.prebuilt" "$png_dir/pnglibconf.h"
  rm -rf "$work"
fi
# The plug-in interface declarations for the VST 3 and CLAP builds come from
# Debian's dpf-plugins orig tarball, fetched once (into $dpf_work) and
# checked; nothing else of the tarball is extracted.
dpf_sha=15492ec9693f09e676e6a18e7e35f8861c6340e70ecb53e1404d0b803bf1f98a
dpf_root="dpf-plugins-1.6+ds/dpf"
dpf_work=""
dpf_tarball=""
fetch_dpf_tarball() {
  [ -z "$dpf_tarball" ] || return 0
  source_lists_ready
  dpf_work="$(mktemp -d)"
  # The plain form fails on a patch file the package lacks; the orig tarball is all we need.
  for wanted in dpf-plugins=1.6+ds-2 dpf-plugins; do
    (cd "$dpf_work" && apt-get source --download-only --tar-only -qq "$wanted" </dev/null >/dev/null 2>&1) || true
    ls "$dpf_work"/dpf-plugins_*.orig.tar.* >/dev/null 2>&1 && break
  done
  dpf_tarball="$(ls "$dpf_work"/dpf-plugins_*.orig.tar.* 2>/dev/null | head -n 1)"
  [ -n "$dpf_tarball" ] || { echo "setup: could not fetch the dpf-plugins source package" >&2; exit 1; }
  echo "$dpf_sha  $dpf_tarball" | sha256sum -c --quiet -
}

# VST 3: the pure-C, ISC-licensed headers and their licence.
extract_vst3_headers() {
  local dir="$root/third_party/vst3_c_api" unpack="$dpf_work/unpack_vst3"
  local headers=(base.h factory.h component.h audio_processor.h edit_controller.h events.h unit.h
                 view.h message.h bstream.h host.h align_push.h align_pop.h)
  local members=("$dpf_root/LICENSE")
  for h in "${headers[@]}"; do members+=("$dpf_root/distrho/src/travesty/$h"); done
  mkdir -p "$unpack"
  tar -xf "$dpf_tarball" -C "$unpack" "${members[@]}"
  rm -rf "$dir"; mkdir -p "$dir"
  cp "$unpack/$dpf_root/distrho/src/travesty/"*.h "$dir/"
  cp "$unpack/$dpf_root/LICENSE" "$dir/LICENSE"
}

# CLAP: the MIT-licensed C headers with their sub-folders (ext/, private/).
# Their folder holds no licence of its own: beside them go the tarball's
# LICENSE, which covers the files it distributes, and its LICENSING.md,
# which states the CLAP headers' MIT licence and attribution.
extract_clap_headers() {
  local dir="$root/third_party/clap" unpack="$dpf_work/unpack_clap"
  mkdir -p "$unpack"
  tar -xf "$dpf_tarball" -C "$unpack" "$dpf_root/distrho/src/clap" "$dpf_root/LICENSE" \
    "$dpf_root/LICENSING.md"
  rm -rf "$dir"; mkdir -p "$dir"
  cp -r "$unpack/$dpf_root/distrho/src/clap/." "$dir/"
  cp "$unpack/$dpf_root/LICENSE" "$dir/LICENSE"
  cp "$unpack/$dpf_root/LICENSING.md" "$dir/LICENSING.md"
}

if [ ! -f "$root/third_party/vst3_c_api/base.h" ]; then
  fetch_dpf_tarball
  extract_vst3_headers
fi
if [ ! -f "$root/third_party/clap/entry.h" ]; then
  fetch_dpf_tarball
  extract_clap_headers
fi
[ -z "$dpf_work" ] || rm -rf "$dpf_work"
echo "setup: ready"
