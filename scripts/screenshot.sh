#!/usr/bin/env bash
# Writes a PNG picture of the plug-in's window as the 32-bit Windows build shows it in the
# command-line host under Wine: scripts/screenshot.sh OUT.png
# Needs build/win32 (or the tree in DRANVELOR_WIN32_TREE) with vsthost.exe and Dranvelor.dll; runs under a virtual display when there
# is none.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

if [ $# -ne 1 ]; then
  echo "usage: scripts/screenshot.sh OUT.png" >&2
  exit 2
fi
out=$(realpath -m "$1")
tree=${DRANVELOR_WIN32_TREE:-$root/build/win32}
host=$tree/tools/vsthost/vsthost.exe
plugin=$tree/host/plugin/Dranvelor.dll
for file in "$host" "$plugin"; do
  [ -f "$file" ] || { echo "screenshot: $file is missing; build the win32 preset first" >&2; exit 1; }
done

prepare_wine
mkdir -p "$(dirname "$out")"
rm -f "$out"
# Two seconds are plenty for the first paint; the host saves its client area before it closes.
with_display wine "$host" edit "Z:$plugin" --seconds 2 --screenshot "Z:$out" >/dev/null
[ -s "$out" ] || { echo "screenshot: no picture was written" >&2; exit 1; }
echo "screenshot: $out"
