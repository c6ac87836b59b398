#!/usr/bin/env bash
# wasapi_test.sh PROGRAM VSTHOST PLUGIN WORK_DIR INPUT_DEVICE OUTPUT_DEVICE: the Windows
# standalone program under Wine, through WASAPI in shared mode, from the prefix-local ALSA input
# (a known file) to its output (a file), with set values; what it played must be what vsthost
# renders through the plug-in from the same input with the same values, but later. The prefix
# is made on the first run and kept in WORK_DIR.
set -uo pipefail
program=$1 vsthost=$2 plugin=$3 work=$4 input_device=$5 output_device=$6
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mkdir -p "$work"
work=$(realpath "$work")
prefix=$work/prefix
values=(drive=0.7 tone=0.6 level=0.5)

# A second of silence, so that the program starts from rest as the renderer does whatever
# Wine skips of the input at the start; two seconds of a plucked low E under a sweep; a second
# of silence. 16-bit, so that every path reads the same samples.
sox -D -n -r 48000 -b 16 -c 1 "$work/input.wav" synth 2 pluck 82.41 synth 2 sine mix 200-2000 \
  gain -n -6 pad 1 1 || exit 1

set_names=()
for value in "${values[@]}"; do
  symbol=${value%%=*}
  set_names+=(--set "${symbol^}=${value#*=}")
done
# The renderer runs in the same prefix; output through files, as scripts/wine-run.sh explains.
bash "$here/run-wine-audio.sh" --prefix "$prefix" -- "$vsthost" render "$plugin" "$work/input.wav" \
  "$work/reference.wav" "${set_names[@]}" >"$work/render.log" 2>&1 ||
  { cat "$work/render.log"; exit 1; }
sox "$work/reference.wav" -t raw -e floating-point -b 32 -L "$work/reference.raw" || exit 1

set_values=()
for value in "${values[@]}"; do set_values+=(--set "$value"); done
command=("$program" --no-window --seconds 6 --host-api "Windows WASAPI" --input "$input_device"
  --output "$output_device" --rate 48000 --buffer 256 "${set_values[@]}")
echo "running: ${command[*]}"
bash "$here/run-wine-audio.sh" --prefix "$prefix" --play "$work/input.wav" \
  --record "$work/recorded.raw" -- "${command[@]}" 2>&1 | sed 's/^/  /'
status=${PIPESTATUS[0]}
[ "$status" -eq 0 ] || { echo "FAILED: the program exited with $status"; exit 1; }

/usr/bin/python3 "$here/compare_recording.py" "$work/recorded.raw" "$work/reference.raw" 1e-5
