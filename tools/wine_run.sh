#!/usr/bin/env bash
# Runs one Windows program under the 64-bit Wine loader, unattended and bounded
# in time. Uses the caller's WINEPREFIX (tools/wine_session.sh makes one).
export WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
exec timeout --kill-after=10 "${QUORVEL_WINE_TIMEOUT:-240}" /usr/lib/wine/wine64 "$@" </dev/null
