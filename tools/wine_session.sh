#!/usr/bin/env bash
# Source this file: creates a private Wine prefix with the null display driver
# and a persistent wineserver, and stops both when the sourcing shell exits.
wine_session_start() {
  export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEPREFIX="${QUORVEL_WINEPREFIX:-$(mktemp -d /tmp/quorvel-wine.XXXXXX)}"
  local wine=/usr/lib/wine/wine64
  timeout 120 $wine wineboot -i </dev/null >/dev/null 2>&1 || true
  timeout 60 $wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1 || true
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  wineserver -p 0 </dev/null >/dev/null 2>&1
  timeout 120 $wine wineboot </dev/null >/dev/null 2>&1 || true
  trap wine_session_stop EXIT
}
wine_session_stop() {
  [ -n "${WINEPREFIX:-}" ] || return 0
  wineserver -k 2>/dev/null || true
  if [ -z "${QUORVEL_WINEPREFIX:-}" ]; then rm -rf "$WINEPREFIX"; fi
}
