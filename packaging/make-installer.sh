#!/usr/bin/env bash
# make-installer.sh OUTPUT VERSION DLL32 DLL64 README LICENSE: makes the Windows installer.
# The same inputs give the same bytes: installer.nsi stores no file dates, and makensis gets a
# fixed SOURCE_DATE_EPOCH for anything it would otherwise date.
set -euo pipefail
if [ $# -ne 6 ]; then
  echo "usage: make-installer.sh OUTPUT VERSION DLL32 DLL64 README LICENSE" >&2
  exit 2
fi
out=$1 version=$2
if ! [[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
  echo "make-installer.sh: the version must be MAJOR.MINOR.PATCH, not '$version'" >&2
  exit 2
fi
for input in "$3" "$4" "$5" "$6"; do
  [ -f "$input" ] || { echo "make-installer.sh: no such file: $input" >&2; exit 1; }
done
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mkdir -p "$(dirname "$out")"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! SOURCE_DATE_EPOCH=0 makensis -NOCD -V2 -INPUTCHARSET UTF8 "-DVERSION=$version" \
  "-DDLL32=$(realpath "$3")" "-DDLL64=$(realpath "$4")" "-DREADME=$(realpath "$5")" \
  "-DLICENSE=$(realpath "$6")" "-DOUTFILE=$(realpath -m "$out")" "$here/installer.nsi" >"$log" 2>&1; then
  cat "$log" >&2
  echo "make-installer.sh: makensis failed" >&2
  exit 1
fi
