#!/usr/bin/env bash
# The module exports its entry under both names hosts look for (natively
# nothing else), the VST 3 bundle's binary exactly its three entries, and the
# Windows binaries depend on system DLLs only (no MinGW runtime DLLs to ship).
set -euo pipefail
module="${QUORVEL_MODULE:?run through ctest}"
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "$module" ] || fail "no module at $module"

if [ "${QUORVEL_PLATFORM:-native}" = windows ]; then
  dump=$("${QUORVEL_OBJDUMP:?}" -p "$module")
  exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump")
  for name in VSTPluginMain main; do
    grep -qE "^\s*\[\s*[0-9]+\] $name\$" <<<"$exports" || fail "$name is not exported:
$exports"
  done
  allowed=(kernel32.dll user32.dll gdi32.dll msvcrt.dll advapi32.dll shell32.dll comctl32.dll
           comdlg32.dll ole32.dll oleaut32.dll msimg32.dll uxtheme.dll shlwapi.dll winmm.dll version.dll)
  bundle="$QUORVEL_BINARY_DIR/Quorvel.vst3/Contents/x86_64-win/Quorvel.vst3"
  [ -f "$bundle" ] || fail "no VST 3 binary at $bundle"
  bundle_dump=$("$QUORVEL_OBJDUMP" -p "$bundle")
  bundle_exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$bundle_dump" |
    sed -nE 's/^\s*\[\s*[0-9]+\] (\S+)$/\1/p' | sort | tr '\n' ' ')
  [ "$bundle_exports" = "ExitDll GetPluginFactory InitDll " ] ||
    fail "the VST 3 binary exports: $bundle_exports"
  for file_dump in "$dump" "$bundle_dump"; do
    imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$file_dump" | tr 'A-Z' 'a-z' | tr -d '\r')
    [ -n "$imports" ] || fail "no import table found"
    for dll in $imports; do
      [[ " ${allowed[*]} " == *" $dll "* ]] || fail "imports a non-system DLL: $dll (all: $(echo $imports))"
    done
  done
  echo "exports ok; imports: $(echo $imports)"
else
  # Read the whole symbol list first: grep -q ending early would kill nm with
  # SIGPIPE and fail the pipeline now and then.
  symbols=$(nm -D --defined-only "$module")
  grep -qE '^[0-9a-f]+ T VSTPluginMain$' <<<"$symbols" ||
    fail "VSTPluginMain is not exported from $module"
  # The entry under both names and nothing else: any other export could
  # bind to a same-named symbol of the host or of another plug-in.
  module_exports=$(awk '{print $3}' <<<"$symbols" | LC_ALL=C sort | tr '\n' ' ')
  [ "$module_exports" = "VSTPluginMain main " ] ||
    fail "$(basename "$module") exports $(wc -w <<<"$module_exports") symbols, not just the entry: $(head -c 300 <<<"$module_exports")"
  bundle="$QUORVEL_BINARY_DIR/Quorvel.vst3/Contents/x86_64-linux/Quorvel.so"
  bundle_exports=$(nm -D --defined-only "$bundle" | awk '{print $3}' | sort | tr '\n' ' ')
  [ "$bundle_exports" = "GetPluginFactory ModuleEntry ModuleExit " ] ||
    fail "the VST 3 binary exports: $bundle_exports"
  echo "exports ok"
fi
