#!/usr/bin/env bash
# Soaks the plug-in: SECONDS of generated audio (default 3600) through build/linux's
# Dranvelor.so natively, then through build/win32's Dranvelor.dll under Wine. Further
# arguments go to dranvelor_soak (see dranvelor_soak --help), e.g. --double.
# The trees come from scripts/build.sh; SOAK_LINUX_TREE and SOAK_WIN32_TREE name others.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

seconds=3600
if [ $# -gt 0 ] && [[ $1 != -* ]]; then
  seconds=$1
  shift
fi
linux_tree=${SOAK_LINUX_TREE:-$root/build/linux}
win32_tree=${SOAK_WIN32_TREE:-$root/build/win32}

# build_soak <tree>: brings the soak program and the plug-in of a configured tree up to date.
build_soak() {
  if [ ! -f "$1/build.ninja" ]; then
    echo "$1 is not configured: run scripts/build.sh first" >&2
    return 1
  fi
  cmake --build "$1" --target dranvelor_soak Dranvelor >"$1/build-soak.log" 2>&1 ||
    { grep -v '^\[' "$1/build-soak.log" | tail -n 20 >&2; return 1; }
}

failed=0
echo "== soak linux: $seconds s"
if build_soak "$linux_tree"; then
  "$linux_tree/bench/soak/dranvelor_soak" "$linux_tree/host/plugin/Dranvelor.so" \
    --seconds "$seconds" "$@" || failed=1
else
  failed=1
fi

echo "== soak win32 under Wine: $seconds s"
if build_soak "$win32_tree"; then
  prepare_wine
  # Wine's drive Z: is the host's root.
  bash "$root/scripts/wine-run.sh" "$win32_tree/bench/soak/dranvelor_soak.exe" \
    "Z:$win32_tree/host/plugin/Dranvelor.dll" --seconds "$seconds" "$@" || failed=1
else
  failed=1
fi

[ "$failed" -eq 0 ] && echo "soak passed on linux and win32" || echo "soak FAILED" >&2
exit "$failed"
