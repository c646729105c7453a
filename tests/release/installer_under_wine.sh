#!/usr/bin/env bash
# The Windows installer, run silently under Wine: once into the default VST 2
# folder, which already holds another plug-in, and once into a folder chosen
# with /D that does not exist yet. Each time it must add exactly the expected
# files with the packaged bytes and its entry in the installed-programs list;
# the installed Quorvel.dll must load in the test host; and the silent
# uninstaller must leave the drive as it was before the install (the other
# plug-in and the folder it lives in stay). Needs a Wine session
# (tools/wine_session.sh).
set -euo pipefail
export LC_ALL=C
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
wine() { bash "$root/tools/wine_run.sh" "$@" | tr -d '\r'; }
drive="${WINEPREFIX:?start a Wine session first}/drive_c"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvel'

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

# check_install VST2_FOLDER_UNDER_DRIVE VST2_FOLDER_WINDOWS [SETUP_ARGS...]
check_install() {
  local vst2="$1" vst2_win="$2"
  shift 2
  local before after expected=()
  before=$(snapshot)
  local folder="$vst2"
  while [ "$folder" != . ] && [ ! -d "$drive/$folder" ]; do
    expected+=("./$folder")
    folder=$(dirname "$folder")
  done
  [ -d "$drive/Program Files/Quorvel" ] && fail "Program Files/Quorvel exists before the install"
  expected+=("./$vst2/Quorvel.dll" "./Program Files/Quorvel" "./Program Files/Quorvel/INSTALL.txt"
    "./Program Files/Quorvel/LICENSE" "./Program Files/Quorvel/THIRD_PARTY_NOTICES"
    "./Program Files/Quorvel/Uninstall.exe")
  if [ -d "$packaged/Quorvel.vst3" ]; then
    [ -d "$drive/Program Files/Common Files/VST3" ] || expected+=("./Program Files/Common Files/VST3")
    while IFS= read -r p; do expected+=("./Program Files/Common Files/VST3/${p#./}"); done \
      < <(cd "$packaged" && find ./Quorvel.vst3)
  fi

  wine "$setup" /S "$@" >/dev/null || fail "installer failed ($*)"
  after=$(snapshot)
  local added
  added=$(comm -13 <(cut -f1 <<<"$before") <(cut -f1 <<<"$after"))
  [ "$added" = "$(printf '%s\n' "${expected[@]}" | sort)" ] ||
    fail "install ($*) added:"$'\n'"$added"$'\n'"expected:"$'\n'"$(printf '%s\n' "${expected[@]}" | sort)"
  cmp "$packaged/Quorvel.dll" "$drive/$vst2/Quorvel.dll" || fail "Quorvel.dll bytes"
  for t in INSTALL.txt LICENSE THIRD_PARTY_NOTICES; do
    cmp "$packaged/$t" "$drive/Program Files/Quorvel/$t" || fail "$t bytes"
  done
  [ ! -d "$packaged/Quorvel.vst3" ] ||
    diff -r "$packaged/Quorvel.vst3" "$drive/Program Files/Common Files/VST3/Quorvel.vst3" ||
    fail "VST 3 bundle bytes"

  local entry
  entry=$(wine reg query "$key")
  grep -qE "DisplayVersion +REG_SZ +$version\$" <<<"$entry" || fail "uninstall entry: $entry"
  grep -qF "$vst2_win" <<<"$entry" || fail "uninstall entry misses the VST 2 folder: $entry"
  wine "$root/build/windows/quorvel_host.exe" "$vst2_win\\Quorvel.dll" info |
    grep -qx 'info magic=VstP' || fail "the installed Quorvel.dll does not load"

  # The uninstaller runs on from a copy in the temporary folder and returns
  # at once: wait until it has removed its own folder.
  wine 'C:\Program Files\Quorvel\Uninstall.exe' /S >/dev/null || fail "uninstaller failed"
  for _ in $(seq 120); do [ -e "$drive/Program Files/Quorvel" ] || break; sleep 0.5; done
  sleep 1
  [ "$(snapshot)" = "$before" ] ||
    fail "uninstall ($*) left the drive changed:"$'\n'"$(diff <(echo "$before") <(snapshot))"
  if wine reg query "$key" >/dev/null 2>&1; then fail "uninstall entry left behind"; fi
}

mkdir -p "$drive/Program Files/VSTPlugins"
echo "another plug-in" >"$drive/Program Files/VSTPlugins/Other.dll"
check_install "Program Files/VSTPlugins" 'C:\Program Files\VSTPlugins'
# Wine quotes an argument with spaces, and the installer takes /D= only unquoted.
check_install "Audio/VST2" 'C:\Audio\VST2' '/D=C:\Audio\VST2'
[ -f "$drive/Program Files/VSTPlugins/Other.dll" ] || fail "the other plug-in is gone"
echo "installer: installs, loads and uninstalls cleanly into the default and a chosen folder"
