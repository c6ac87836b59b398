#!/usr/bin/env bash
# Writes a PNG picture of the standalone program's window while it plays:
#   scripts/screenshot-standalone.sh OUT.png [BUILD_TREE]
#     the Linux program (default build/linux) through a private JACK server on the dummy backend;
#   scripts/screenshot-standalone.sh --wine OUT.png [BUILD_TREE]
#     the 32-bit Dranvelor.exe (default build/win32, or DRANVELOR_WIN32_TREE) under Wine, through
#     WASAPI and the prefix-local ALSA device of tests/standalone/wine-audio (prefix build/wine-audio).
# The program gets a settings folder of its own, is closed as a user closes it after the shot and
# must then exit with status 0. Runs under a virtual display when there is none.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
arguments=("$@")
wine_mode=
if [ "${1:-}" = --wine ]; then
  wine_mode=1
  shift
fi
if [ $# -lt 1 ] || [ $# -gt 2 ] || [[ $1 == -* ]]; then
  echo "usage: scripts/screenshot-standalone.sh [--wine] OUT.png [BUILD_TREE]" >&2
  exit 2
fi
out=$(realpath -m "$1")
if [ -n "$wine_mode" ]; then
  program=${2:-${DRANVELOR_WIN32_TREE:-$root/build/win32}}/standalone/Dranvelor.exe
  [ -f "$program" ] || { echo "screenshot: $program is missing; build the win32 preset first" >&2; exit 1; }
  # The audio device is built for the width of the program run-wine-audio.sh starts, here cmd.exe
  # (see below), for which it takes 32 bits.
  [[ $(file -b "$program") == PE32\ * ]] || { echo "screenshot: --wine takes a 32-bit program" >&2; exit 1; }
else
  program=${2:-$root/build/linux}/standalone/dranvelor
  [ -x "$program" ] || { echo "screenshot: $program is missing; build the linux preset first" >&2; exit 1; }
fi
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "${arguments[@]}"
fi

work=$(mktemp -d)
settings=$work/config/Ostravelk/Morvandell
export WINEPREFIX=$root/build/wine-audio WINEDEBUG=-all
jack_pid='' program_pid=''
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null && wait "$program_pid" 2>/dev/null
  [ -n "$jack_pid" ] && kill "$jack_pid" 2>/dev/null && wait "$jack_pid" 2>/dev/null
  [ -n "$wine_mode" ] && wineserver -k >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
poll() { # poll SECONDS COMMAND...
  for ((i = 0; i < $1 * 20; i++)); do "${@:2}" >/dev/null 2>&1 && return 0; sleep 0.05; done
  return 1
}
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
values=(--set drive=0.7 --set tone=0.6 --set level=0.5)

# Unmuted, as after the first start; the status line then shows the stream's figures.
mkdir -p "$settings"
printf 'standalone.mute=0\n' >"$settings/settings.ini"
if [ -n "$wine_mode" ]; then
  # Wine sets APPDATA from the prefix's profile whatever the environment says, so a batch file
  # sets it for the program.
  {
    printf '@set "APPDATA=%s"\r\n' "$(windows_path "$work/config")"
    printf '@"%s" --host-api "Windows WASAPI" --input "In: default:1" --output "Out: default:1,2"' \
      "$(windows_path "$program")"
    printf ' --rate 48000 --buffer 256 %s\r\n' "${values[*]}"
    printf '@exit /b %%errorlevel%%\r\n'
  } >"$work/shot.cmd"
  bash "$root/tests/standalone/wine-audio/run-wine-audio.sh" --prefix "$WINEPREFIX" -- \
    cmd /c "$(windows_path "$work/shot.cmd")" >"$work/program.log" 2>&1 &
  program_pid=$!
  # The first run makes the prefix (about half a minute).
  wait_seconds=120
else
  export XDG_CONFIG_HOME=$work/config JACK_NO_START_SERVER=1 JACK_DEFAULT_SERVER="dranvelor-shot"
  jackd -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >"$work/jackd.log" 2>&1 &
  jack_pid=$!
  poll 20 bash -c 'jack_lsp | grep -q system:playback_1' || { echo "screenshot: no JACK server" >&2; exit 1; }
  "$program" "${values[@]}" >"$work/program.log" 2>&1 &
  program_pid=$!
  wait_seconds=20
fi
find_window() { xdotool search --onlyvisible --name '^Dranvelor$' | head -n 1 | grep .; }
poll "$wait_seconds" find_window || { cat "$work/program.log" >&2; echo "screenshot: no window" >&2; exit 1; }
window=$(find_window)
# The status line is refreshed a few times a second.
sleep 1
mkdir -p "$(dirname "$out")"
import -window "$window" "$out"

if [ -n "$wine_mode" ]; then
  # taskkill without /f posts WM_CLOSE, as the window's close button does.
  wine taskkill /im Dranvelor.exe >/dev/null 2>&1
else
  kill -TERM "$program_pid"
fi
poll 20 bash -c "! kill -0 $program_pid" || { echo "screenshot: the program did not end" >&2; exit 1; }
status=0
wait "$program_pid" || status=$?
program_pid=
[ "$status" -eq 0 ] || { cat "$work/program.log" >&2; echo "screenshot: the program exited with $status" >&2; exit 1; }
echo "screenshot: $out"
