#!/usr/bin/env bash
# Writes a PNG picture of the plug-in's window as the 32-bit Windows build shows it in the
# command-line host under Wine: scripts/screenshot.sh [--dpi DPI] OUT.png; with --dpi, as on a
# screen of that density (144 for 150 %, 192 for 200 %).
# Needs build/win32 (or the tree in DRANVELOR_WIN32_TREE) with vsthost.exe and Dranvelor.dll; runs under a virtual display when there
# is none.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

dpi=
if [ $# -eq 3 ] && [ "$1" = --dpi ]; then
  dpi=$2
  shift 2
fi
if [ $# -ne 1 ] || [[ $1 == -* ]]; then
  echo "usage: scripts/screenshot.sh [--dpi DPI] OUT.png" >&2
  exit 2
fi
out=$(realpath -m "$1")
tree=${DRANVELOR_WIN32_TREE:-$root/build/win32}
host=$tree/tools/vsthost/vsthost.exe
plugin=$tree/host/plugin/Dranvelor.dll
for file in "$host" "$plugin"; do
  [ -f "$file" ] || { echo "screenshot: $file is missing; build the win32 preset first" >&2; exit 1; }
done

mkdir -p "$(dirname "$out")"
rm -f "$out"
# Two seconds are plenty for the first paint; the host saves its client area before it closes.
shot=(wine "$host" edit "Z:$plugin" --seconds 2 --screenshot "Z:$out")
if [ -n "$dpi" ]; then
  with_display bash "$root/scripts/wine-dpi.sh" "$dpi" "${shot[@]}" >/dev/null
else
  prepare_wine
  with_display "${shot[@]}" >/dev/null
fi
[ -s "$out" ] || { echo "screenshot: no picture was written" >&2; exit 1; }
echo "screenshot: $out"
