#!/bin/sh
# Runs one Windows program under Wine with the project's own prefix.
# run.sh exports WINEPREFIX, DISPLAY and starts a persistent wineserver first.
: "${WINEPREFIX:?WINEPREFIX must be set by run.sh}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec wine "$@"
