#!/usr/bin/env bash
# run-wine-audio.sh --prefix DIR [--play FILE] [--record RAW] [--rate HZ] -- PROGRAM ARGS...
# Runs a Windows program under Wine with one audio input and one output and no sound card:
# Wine's ALSA driver gets a default device, private to the prefix, that records from FILE (any
# format sox reads) and then a minute of silence, and plays into RAW, in real time
# (clocked_file.c, built here for the program's width). The prefix is made when missing and
# kept; the user's own ALSA and Wine settings are never read or changed.
# RAW holds 32-bit float little-endian samples, 2 channels, at HZ (48000 unless given); its path
# is printed on the last line. The program's output goes to the terminal through files (see
# scripts/wine-run.sh); the exit status is the program's.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
usage() { sed -n '2,10s/^# \{0,1\}//p' "${BASH_SOURCE[0]}"; }
prefix="" played="" recorded="" rate=48000
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) prefix=$2; shift 2 ;;
    --play) played=$2; shift 2 ;;
    --record) recorded=$2; shift 2 ;;
    --rate) rate=$2; shift 2 ;;
    -h | --help) usage; exit 0 ;;
    --) shift; break ;;
    *) echo "run-wine-audio.sh: unknown option '$1'" >&2; usage >&2; exit 2 ;;
  esac
done
if [ -z "$prefix" ] || [ $# -eq 0 ]; then
  usage >&2
  exit 2
fi
[[ "$rate" =~ ^[0-9]+$ ]] || { echo "run-wine-audio.sh: --rate takes a number of Hz" >&2; exit 2; }
mkdir -p "$prefix"
prefix=$(realpath "$prefix")
export WINEPREFIX=$prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
audio=$prefix/dranvelor-audio
mkdir -p "$audio"
recorded=$(realpath -m "${recorded:-$audio/recorded.raw}")

# Only ALSA: the PulseAudio driver would win whenever a PulseAudio server answers.
if [ ! -f "$prefix/system.reg" ] || ! grep -qx '"Audio"="alsa"' "$prefix/user.reg"; then
  wineboot -i >"$audio/wineboot.log" 2>&1 </dev/null
  wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f >>"$audio/wineboot.log" 2>&1 </dev/null
  wineserver -w
fi

# The input: float stereo at the rate, the channels of a mono file both alike, then a minute
# of silence (the device records silence past the end).
raw=(-t raw -e floating-point -b 32 -L -c 2 -r "$rate" "$audio/played.raw")
if [ -n "$played" ]; then
  sox -D "$played" "${raw[@]}" rate -v "$rate" pad 0 60
else
  sox -D -n "${raw[@]}" trim 0 60
fi
# The device is a plug-in of ALSA's, for the program's width: Wine runs a 32-bit program with
# the 32-bit libasound. Debian has no 32-bit C library headers or start files; the 64-bit
# headers serve both widths but for one empty file, and the plug-in needs no start files.
case $(file -b "$(realpath "$1" 2>/dev/null || echo "$1")") in
  PE32+*) arch=x86_64 flags=() libraries=(-lasound) ;;
  *)
    arch=i386
    mkdir -p "$audio/include/gnu"
    : >"$audio/include/gnu/stubs-32.h"
    flags=(-m32 -isystem "$audio/include" -isystem /usr/include/x86_64-linux-gnu -nostdlib)
    libraries=(/usr/lib/i386-linux-gnu/libasound.so.2 /lib/i386-linux-gnu/libc.so.6)
    ;;
esac
plugin=$audio/clocked-$arch.so
if [ ! "$plugin" -nt "$here/clocked_file.c" ]; then
  gcc "${flags[@]}" -O2 -fPIC -DPIC -shared -Wall -Wextra -Werror -o "$plugin" "$here/clocked_file.c" \
    "${libraries[@]}" || { echo "run-wine-audio.sh: cannot build the $arch ALSA device" >&2; exit 1; }
fi
rm -f "$recorded"
sed -e "s|@PLUGIN@|$plugin|" -e "s|@PLAYED@|$audio/played.raw|" -e "s|@RECORDED@|$recorded|" \
  -e "s|@RATE@|$rate|" "$here/asound.conf.in" >"$audio/asound.conf"
export ALSA_CONFIG_PATH=$audio/asound.conf

out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
status=0
wine "$@" >"$out" 2>"$err" </dev/null || status=$?
cat "$out"
cat "$err" >&2
echo "$recorded"
exit $status
