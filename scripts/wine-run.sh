#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix (inside build/).
# The program's output goes through files: processes Wine starts on the side (its desktop and
# services) inherit the program's output streams and outlive it, and a caller reading a pipe,
# such as CTest, would otherwise wait for them.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${DRANVELOR_WINEPREFIX:-$here/build/wine}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
wine "$@" >"$out" 2>"$err"
status=$?
cat "$out"
cat "$err" >&2
exit $status
