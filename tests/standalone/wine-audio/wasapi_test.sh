#!/usr/bin/env bash
# wasapi_test.sh WORK_DIR PREFIX [--render VSTHOST PLUGIN] -- PROGRAM ARGS...: runs a Windows
# program under Wine with the prefix-local ALSA device (run-wine-audio.sh), its input a known
# file, and checks what it played (compare_recording.py): the input itself, or with --render
# what VSTHOST renders through PLUGIN from it with the values of the program's "--set SYMBOL=V"
# options. The prefix is made on the first run and kept.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$1 prefix=$2
shift 2
vsthost="" plugin=""
if [ "${1:-}" = --render ]; then
  vsthost=$2 plugin=$3
  shift 3
fi
[ "${1:-}" = -- ] && [ $# -ge 2 ] || { echo "usage: see ${BASH_SOURCE[0]}" >&2; exit 2; }
shift
mkdir -p "$work"
work=$(realpath "$work")

# A second of silence, so that the program starts from rest as the renderer does whatever
# Wine skips of the input at the start; two seconds of a plucked low E under a sweep; a second
# of silence. 16-bit, so that every path reads the same samples.
sox -D -n -r 48000 -b 16 -c 1 "$work/input.wav" synth 2 pluck 82.41 synth 2 sine mix 200-2000 \
  gain -n -6 pad 1 1 || exit 1

if [ -n "$vsthost" ]; then
  # The program's "--set drive=0.7" is the host's "--set Drive=0.7".
  settings=()
  for ((i = 1; i < $#; i++)); do
    if [ "${!i}" = --set ]; then
      next=$((i + 1))
      settings+=(--set "${!next^}")
    fi
  done
  # Output through files, as scripts/wine-run.sh explains.
  bash "$here/run-wine-audio.sh" --prefix "$prefix" -- "$vsthost" render "$plugin" "$work/input.wav" \
    "$work/reference.wav" "${settings[@]}" >"$work/render.log" 2>&1 || { cat "$work/render.log"; exit 1; }
  sox -V1 "$work/reference.wav" -t raw -e floating-point -b 32 -L "$work/reference.raw" || exit 1
else
  sox "$work/input.wav" -t raw -e floating-point -b 32 -L "$work/reference.raw" || exit 1
fi

echo "running:$(printf " %q" "$@")"
bash "$here/run-wine-audio.sh" --prefix "$prefix" --play "$work/input.wav" --record "$work/recorded.raw" \
  -- "$@" 2>&1 | sed 's/^/  /'
status=${PIPESTATUS[0]}
[ "$status" -eq 0 ] || { echo "FAILED: the program exited with $status"; exit 1; }

/usr/bin/python3 "$here/compare_recording.py" "$work/recorded.raw" "$work/reference.raw" 1e-5
