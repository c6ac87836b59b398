#!/usr/bin/env bash
# The main job: builds every plug-in target, renders the bundled demo through the plug-in
# (the win32 DLL under Wine, the Linux library natively), writes a picture of the skin,
# screenshots of the opened editor and of the standalone program on Windows (under Wine) and on
# Linux (X11), plots of what the plug-in does to sound and the release packages. Everything it writes goes to out/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
[ -n "${DRANVELOR_OWN_DISPLAY:-}" ] || prepare
run_under_own_display "$0" "$@"

for preset in linux win32 win64; do
  build_preset "$preset" || { echo "build of $preset failed" >&2; exit 1; }
done

out="$root/out"
mkdir -p "$out"
linux_host="$root/build/linux/tools/vsthost/vsthost"
win32_host="$root/build/win32/tools/vsthost/vsthost.exe"
# The VST libraries by their paths: the LV2 sound binary and the stripped copies share the names.
linux_plugin="$root/build/linux/host/plugin/Dranvelor.so"
win32_plugin="$root/build/win32/host/plugin/Dranvelor.dll"

echo "== demo"
prepare_wine
trap stop_wine EXIT
"$linux_host" demo "$out/demo-dry.wav"
"$root/scripts/wine-run.sh" "$win32_host" render "$win32_plugin" "$out/demo-dry.wav" \
  "$out/demo-dranvelor.wav" --set Drive=0.7 --set Tone=0.6 --set Level=0.5
"$linux_host" render "$linux_plugin" "$out/demo-dry.wav" "$out/demo-dranvelor-linux.wav" \
  --set Drive=0.7 --set Tone=0.6 --set Level=0.5
"$linux_host" info "$linux_plugin" >"$out/plugin-info.txt"

echo "== pictures"
clear_stale_jack
"$root/build/linux/tools/skingen/skingen" --preview "$out/skin.png" "$root/resources"
bash "$root/scripts/screenshot.sh" "$out/editor.png"
bash "$root/scripts/screenshot.sh" --dpi 144 "$out/editor-150.png"
bash "$root/scripts/screenshot.sh" --dpi 192 "$out/editor-200.png"
"$linux_host" edit "$linux_plugin" --seconds 2 --screenshot "$out/editor-linux.png" >/dev/null
bash "$root/scripts/screenshot-standalone.sh" --wine "$out/standalone.png"
bash "$root/scripts/screenshot-standalone.sh" "$out/standalone-linux.png"

echo "== plots"
/usr/bin/python3 "$root/scripts/plots/make_plots.py" --vsthost "$linux_host" --plugin "$linux_plugin" \
  --out "$out/plots" --json "$out/plots/figures.json"

echo "== packages"
bash "$root/packaging/make-dist.sh" "$out/dist" "$root/build/linux" "$root/build/win32" "$root/build/win64"

echo "Wrote:"
(cd "$root" && find out -type f | sort | sed "s|^|  |")
