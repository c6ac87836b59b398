#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix (inside build/).
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${DRANVELOR_WINEPREFIX:-$here/build/wine}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
exec wine "$@"
