#!/usr/bin/env bash
# The Windows installer, run silently under Wine. Once into the default VST 2
# folder, which already holds another plug-in; then as a user updating would:
# into a folder chosen with /D that does not exist yet, again without /D
# (the folder chosen last time is the one offered), again into yet another
# new folder (the effect moves: nothing stays in the first one), and one
# uninstall. Each install must leave exactly the files of one install into
# its folder, with the packaged bytes, and the installed-programs entry; the
# installed Quorvel.dll (and Quorvel.clap) must load in the test host; and the uninstall must
# leave the drive and the installed-programs keys as they were before the
# first install (the other plug-in and its folder stay). Needs a Wine session
# (tools/wine_session.sh).
set -euo pipefail
export LC_ALL=C
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
wine() { bash "$root/tools/wine_run.sh" "$@" | tr -d '\r'; }
drive="${WINEPREFIX:?start a Wine session first}/drive_c"
programs='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
key="$programs\\Quorvel"

bash "$root/tools/package.sh" "$work/out" >/dev/null
setup=$(echo "$work"/out/Quorvel-*-windows-x64-setup.exe)
version=$(basename "$setup" | sed -E 's/^Quorvel-(.*)-windows-x64-setup.exe$/\1/')
# The packaged files, as the archive holds them: what the installer must write.
/usr/bin/python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' \
  "$work/out/Quorvel-$version-windows-x64.zip" "$work/zip"
packaged="$work/zip/Quorvel-$version-windows-x64"

# Every path on the drive, files with their size; temporary folders aside.
snapshot() {
  (cd "$drive" && find . -ipath '*/temp' -prune -o -type f -printf '%p\t%s\n' -o -printf '%p\n' | sort)
}
# The installed-programs keys with every value, as text ("none" while the
# key does not exist).
registry() {
  rm -f "$work/programs.reg"
  if wine reg export "$programs" 'Z:'"${work//\//\\}"'\programs.reg' /y >/dev/null 2>&1; then
    iconv -f UTF-16 -t UTF-8 "$work/programs.reg" | tr -d '\r'
  else
    echo none
  fi
}

# expected_after VST2_FOLDER_UNDER_DRIVE: the snapshot's paths once one
# install into that folder is added to the drive as it was at $before.
expected_after() {
  local vst2="$1" folder="$1" added=()
  while [ "$folder" != . ] && ! grep -qxF "./$folder" <<<"$before_paths"; do
    added+=("./$folder")
    folder=$(dirname "$folder")
  done
  added+=("./$vst2/Quorvel.dll" "./Program Files/Quorvel" "./Program Files/Quorvel/INSTALL.txt"
    "./Program Files/Quorvel/LICENSE" "./Program Files/Quorvel/THIRD_PARTY_NOTICES"
    "./Program Files/Quorvel/Uninstall.exe")
  if [ -d "$packaged/Quorvel.vst3" ]; then
    grep -qxF "./Program Files/Common Files/VST3" <<<"$before_paths" ||
      added+=("./Program Files/Common Files/VST3")
    while IFS= read -r p; do added+=("./Program Files/Common Files/VST3/${p#./}"); done \
      < <(cd "$packaged" && find ./Quorvel.vst3)
  fi
  if [ -f "$packaged/Quorvel.clap" ]; then
    grep -qxF "./Program Files/Common Files/CLAP" <<<"$before_paths" ||
      added+=("./Program Files/Common Files/CLAP")
    added+=("./Program Files/Common Files/CLAP/Quorvel.clap")
  fi
  { echo "$before_paths"; printf '%s\n' "${added[@]}"; } | sort
}

# install VST2_FOLDER_UNDER_DRIVE VST2_FOLDER_WINDOWS [SETUP_ARGS...]
install() {
  local vst2="$1" vst2_win="$2"
  shift 2
  wine "$setup" /S "$@" >/dev/null || fail "installer failed ($*)"
  local paths
  paths=$(snapshot | cut -f1)
  [ "$paths" = "$(expected_after "$vst2")" ] ||
    fail "install ($* into $vst2_win) left the drive, against one install into that folder:"$'\n'"$(
      diff <(expected_after "$vst2") <(echo "$paths"))"
  cmp "$packaged/Quorvel.dll" "$drive/$vst2/Quorvel.dll" || fail "Quorvel.dll bytes"
  for t in INSTALL.txt LICENSE THIRD_PARTY_NOTICES; do
    cmp "$packaged/$t" "$drive/Program Files/Quorvel/$t" || fail "$t bytes"
  done
  [ ! -d "$packaged/Quorvel.vst3" ] ||
    diff -r "$packaged/Quorvel.vst3" "$drive/Program Files/Common Files/VST3/Quorvel.vst3" ||
    fail "VST 3 bundle bytes"
  [ ! -f "$packaged/Quorvel.clap" ] ||
    cmp "$packaged/Quorvel.clap" "$drive/Program Files/Common Files/CLAP/Quorvel.clap" ||
    fail "Quorvel.clap bytes"

  local entry
  entry=$(wine reg query "$key")
  grep -qE "DisplayVersion +REG_SZ +$version\$" <<<"$entry" || fail "uninstall entry: $entry"
  grep -qE "Vst2Folder +REG_SZ +${vst2_win//\\/\\\\}\$" <<<"$entry" ||
    fail "uninstall entry misses the VST 2 folder $vst2_win: $entry"
  wine "$root/build/windows/quorvel_host.exe" "$vst2_win\\Quorvel.dll" info |
    grep -qx 'info magic=VstP' || fail "the installed Quorvel.dll does not load"
  [ ! -f "$packaged/Quorvel.clap" ] ||
    wine "$root/build/windows/quorvel_host.exe" 'C:\Program Files\Common Files\CLAP\Quorvel.clap' info |
    grep -qx 'info format=clap' || fail "the installed Quorvel.clap does not load"
}

# The uninstaller runs on from a copy in the temporary folder and returns at
# once: wait until it has removed its own folder. Then the drive and the
# installed-programs keys must be as at $before.
uninstall() {
  wine 'C:\Program Files\Quorvel\Uninstall.exe' /S >/dev/null || fail "uninstaller failed"
  for _ in $(seq 120); do [ -e "$drive/Program Files/Quorvel" ] || break; sleep 0.5; done
  sleep 1
  [ "$(snapshot)" = "$before" ] ||
    fail "uninstall after $1 left the drive changed:"$'\n'"$(diff <(echo "$before") <(snapshot))"
  [ "$(registry)" = "$before_registry" ] ||
    fail "uninstall after $1 left the installed-programs keys changed:"$'\n'"$(
      diff <(echo "$before_registry") <(registry))"
}

mkdir -p "$drive/Program Files/VSTPlugins"
echo "another plug-in" >"$drive/Program Files/VSTPlugins/Other.dll"
before=$(snapshot)
before_paths=$(cut -f1 <<<"$before")
before_registry=$(registry)
[ -d "$drive/Program Files/Quorvel" ] && fail "Program Files/Quorvel exists before the install"
grep -q 'Quorvel' <<<"$before_registry" && fail "an installed-programs entry exists before the install"

install "Program Files/VSTPlugins" 'C:\Program Files\VSTPlugins'
uninstall "the default install"

# Wine quotes an argument with spaces, and the installer takes /D= only unquoted.
install "Audio/VST2" 'C:\Audio\VST2' '/D=C:\Audio\VST2'
install "Audio/VST2" 'C:\Audio\VST2'
install "Plugins/VST2" 'C:\Plugins\VST2' '/D=C:\Plugins\VST2'
uninstall "installs into a new folder, again into it and then into another"
[ -f "$drive/Program Files/VSTPlugins/Other.dll" ] || fail "the other plug-in is gone"
echo "installer: installs, reinstalls into the same and another folder, loads and uninstalls cleanly"
