#!/usr/bin/env bash
# Runs a command under Wine as on a screen of DPI dots per inch (150 % is 144, 200 % is 192): in
# a copy of the build's Wine prefix whose HKCU\Control Panel\Desktop\LogPixels is DPI, with a
# wine server of its own. scripts/wine-dpi.sh DPI COMMAND [ARGUMENTS...]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

if [ $# -lt 2 ] || ! [[ $1 =~ ^[0-9]+$ ]] || [ "$1" -lt 96 ] || [ "$1" -gt 480 ]; then
  echo "usage: scripts/wine-dpi.sh DPI COMMAND [ARGUMENTS...] (DPI from 96 to 480)" >&2
  exit 2
fi
dpi=$1
shift

# The base prefix is only copied, never stopped: other Wine programs may be using it.
[ -f "$WINEPREFIX/system.reg" ] || prepare_wine
base=$WINEPREFIX
export WINEPREFIX="$root/build/wine-dpi$dpi"
if [ ! -f "$WINEPREFIX/.logpixels" ]; then
  rm -rf "$WINEPREFIX"
  cp -a "$base" "$WINEPREFIX"
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  wineserver -w
  echo "$dpi" >"$WINEPREFIX/.logpixels"
fi
# The server reads the setting when it starts.
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
status=0
"$@" || status=$?
wineserver -k >/dev/null 2>&1 || true
exit $status
