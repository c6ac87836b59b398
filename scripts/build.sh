#!/usr/bin/env bash
# The main job: builds every plug-in target and renders the bundled demo through the plug-in.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
prepare

for preset in linux win32 win64; do
  build_preset "$preset" || { echo "build of $preset failed" >&2; exit 1; }
done
