#!/usr/bin/env bash
# The module exports its entry under both names hosts look for, and the
# Windows DLL depends on system DLLs only (no MinGW runtime DLLs to ship).
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
  imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$dump" | tr 'A-Z' 'a-z' | tr -d '\r')
  [ -n "$imports" ] || fail "no import table found"
  for dll in $imports; do
    [[ " ${allowed[*]} " == *" $dll "* ]] || fail "imports a non-system DLL: $dll (all: $(echo $imports))"
  done
  echo "exports ok; imports: $(echo $imports)"
else
  # Read the whole symbol list first: grep -q ending early would kill nm with
  # SIGPIPE and fail the pipeline now and then.
  symbols=$(nm -D --defined-only "$module")
  grep -qE '^[0-9a-f]+ T VSTPluginMain$' <<<"$symbols" ||
    fail "VSTPluginMain is not exported from $module"
  echo "exports ok"
fi
