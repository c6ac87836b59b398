#!/usr/bin/env bash
# Writes a PNG picture of the standalone program's window on Linux, playing through a private
# JACK server on the dummy backend: scripts/screenshot-standalone.sh OUT.png [BUILD_TREE]
# (default build/linux). Runs under a virtual display when there is none.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ $# -lt 1 ] || [ $# -gt 2 ] || [[ $1 == -* ]]; then
  echo "usage: scripts/screenshot-standalone.sh OUT.png [BUILD_TREE]" >&2
  exit 2
fi
out=$(realpath -m "$1")
program=${2:-$root/build/linux}/standalone/dranvelor
[ -x "$program" ] || { echo "screenshot: $program is missing; build the linux preset first" >&2; exit 1; }
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d)
export XDG_CONFIG_HOME=$work JACK_NO_START_SERVER=1 JACK_DEFAULT_SERVER="dranvelor-shot-$$"
jack_pid= program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null && wait "$program_pid" 2>/dev/null
  [ -n "$jack_pid" ] && kill "$jack_pid" 2>/dev/null && wait "$jack_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
poll() { # poll SECONDS COMMAND...
  for ((i = 0; i < $1 * 20; i++)); do "${@:2}" >/dev/null 2>&1 && return 0; sleep 0.05; done
  return 1
}

jackd -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >"$work/jackd.log" 2>&1 &
jack_pid=$!
poll 20 bash -c 'jack_lsp | grep -q system:playback_1' || { echo "screenshot: no JACK server" >&2; exit 1; }
# Unmuted, as after the first start; the status line then shows the stream's figures.
mkdir -p "$work/Ostravelk/Morvandell"
printf 'standalone.mute=0\n' >"$work/Ostravelk/Morvandell/settings.ini"
"$program" --set drive=0.7 --set tone=0.6 --set level=0.5 >"$work/program.log" 2>&1 &
program_pid=$!
poll 20 xdotool search --name '^Dranvelor$' || { echo "screenshot: no window" >&2; exit 1; }
window=$(xdotool search --name '^Dranvelor$' | head -n 1)
# The status line is refreshed a few times a second.
sleep 1
mkdir -p "$(dirname "$out")"
import -window "$window" "$out"
echo "screenshot: $out"
