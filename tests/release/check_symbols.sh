#!/usr/bin/env bash
# check_symbols.sh SHIPPED DEBUG [FUNCTION SOURCE]: the shipped binary carries no debug
# information, names its debug file with a matching checksum (and, for ELF, the same build id),
# and that file turns an address in the shipped binary back into its function's name and source
# file: by default a plug-in's exported entry point, else FUNCTION (a program's main, say), whose
# address the debug file's symbols give, in the source file named SOURCE.
set -uo pipefail
shipped=$1
debug=$2
function=${3:-VSTPluginMain}
source_file=${4:-plugin_main.cpp}
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"

case $(file -b "$shipped") in
  PE32+*) tools=x86_64-w64-mingw32- ;;
  PE32*) tools=i686-w64-mingw32- ;;
  *) tools="" ;;
esac

check "$(basename "$shipped") has no debug section" \
  bash -c '! "$1" -h "$2" | grep -q " \.debug_"' _ "${tools}objdump" "$shipped"

# .gnu_debuglink: the file name, NUL, padding to 4 bytes, the CRC-32 of the debug file.
link=$(mktemp)
"${tools}objcopy" --dump-section ".gnu_debuglink=$link" "$shipped" /dev/null 2>/dev/null
check "its debug link names $(basename "$debug") and its checksum" \
  python3 -c 'import sys, zlib, struct
data = open(sys.argv[1], "rb").read()
name = data[:data.index(b"\0")].decode()
crc, = struct.unpack("<I", data[-4:])
sys.exit(not (name == sys.argv[3] and crc == zlib.crc32(open(sys.argv[2], "rb").read())))' \
  "$link" "$debug" "$(basename "$debug")"

if [ -z "$tools" ]; then
  build_id() { readelf -n "$1" 2>/dev/null | sed -n 's/.*Build ID: //p'; }
  check "the build ids match" test -n "$(build_id "$shipped")" -a "$(build_id "$shipped")" = "$(build_id "$debug")"
fi
if [ "$function" != VSTPluginMain ]; then
  # 32-bit Windows names C functions with a leading underscore.
  entry=0x$("${tools}nm" "$debug" | awk -v f="$function" '$2 == "T" && ($3 == f || $3 == "_" f) {print $1; exit}')
elif [ -z "$tools" ]; then
  entry=0x$(nm -D --defined-only "$shipped" | awk '$3 == "VSTPluginMain" {print $1}')
else
  # The export table gives the entry point's address relative to the image base.
  read -r base rva < <("${tools}objdump" -p "$shipped" | awk '
    $1 == "ImageBase" {base = $2}
    /^Export Address Table/ {table = 1; next}
    table && /^\t\[/ {sub(/\]/, "", $2); rva[$2] = $5; next}
    /^\[Ordinal\/Name Pointer\] Table/ {table = 0; names = 1; next}
    names && $NF == "VSTPluginMain" {sub(/\]/, "", $2); print base, rva[$2]; exit}')
  entry=""
  [ -n "${rva:-}" ] && entry=$(printf '0x%x' $((0x$base + 0x$rva)))
fi
check "$function is found ($entry)" test -n "$entry" -a "$entry" != "0x"

# Debuggers look for the linked file beside the binary.
alone=$(mktemp -d)
trap 'rm -f "$link"; rm -rf "$alone"' EXIT
cp "$shipped" "$alone/"
shipped_copy=$alone/$(basename "$shipped")
check "without its debug file the shipped binary has no source line for it" \
  bash -c '"$1" -e "$2" "$3" | grep -q "^??:"' _ "${tools}addr2line" "$shipped_copy" "$entry"
cp "$debug" "$alone/"
check "beside its debug file it resolves to $function in $source_file" \
  bash -c '"$1" -f -e "$2" "$3" | tr "\n" " " | grep -qF -- "$4 " && "$1" -e "$2" "$3" | grep -q "/$5:[0-9]"' \
  _ "${tools}addr2line" "$shipped_copy" "$entry" "$function" "$source_file"

[ "$failures" -eq 0 ]
