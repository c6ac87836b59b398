#!/usr/bin/env bash
# make-installer.sh OUTPUT VERSION DLL32 DLL64 README LICENSE [EXE32 EXE64]: makes the Windows
# installer, with the standalone program when its two builds are given.
# The same inputs give the same bytes: installer.nsi stores no file dates, and makensis gets a
# fixed SOURCE_DATE_EPOCH for anything it would otherwise date.
set -euo pipefail
if [ $# -ne 6 ] && [ $# -ne 8 ]; then
  echo "usage: make-installer.sh OUTPUT VERSION DLL32 DLL64 README LICENSE [EXE32 EXE64]" >&2
  exit 2
fi
out=$1 version=$2
if ! [[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
  echo "make-installer.sh: the version must be MAJOR.MINOR.PATCH, not '$version'" >&2
  exit 2
fi
for input in "${@:3}"; do
  [ -f "$input" ] || { echo "make-installer.sh: no such file: $input" >&2; exit 1; }
done
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mkdir -p "$(dirname "$out")"
program=()
if [ $# -eq 8 ]; then
  # The uninstall entry gives sizes in KB.
  program=("-DEXE32=$(realpath "$7")" "-DEXE64=$(realpath "$8")"
    "-DEXE32_KB=$((($(stat -c %s "$7") + 1023) / 1024))" "-DEXE64_KB=$((($(stat -c %s "$8") + 1023) / 1024))")
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! SOURCE_DATE_EPOCH=0 makensis -NOCD -V2 -INPUTCHARSET UTF8 "-DVERSION=$version" \
  "-DDLL32=$(realpath "$3")" "-DDLL64=$(realpath "$4")" "-DREADME=$(realpath "$5")" \
  "-DLICENSE=$(realpath "$6")" "${program[@]}" "-DOUTFILE=$(realpath -m "$out")" "$here/installer.nsi" >"$log" 2>&1; then
  cat "$log" >&2
  echo "make-installer.sh: makensis failed" >&2
  exit 1
fi
