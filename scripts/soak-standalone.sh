#!/usr/bin/env bash
# Soaks the standalone program: scripts/soak-standalone.sh [SECONDS] [BUILD_TREE] (default 600 s
# and build/linux). It plays a tone through the program with its window open, under a private
# JACK server on the dummy backend at 48 kHz and 64 frames, while a thread of the program moves
# all four parameters every 3 ms (--automate). Passes when the program caused no dropout (every
# one it counted is an xrun the server logged of its own, and it was never the client that was
# late) and its memory stayed flat (the resident size sampled every few seconds grows by less
# than 2 MB after the first tenth of the run). Prints the CPU load the stream reported.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-600}
tree=${2:-$root/build/linux}
program=$tree/standalone/dranvelor
[ -x "$program" ] || { echo "soak: $program is missing; build the linux preset first" >&2; exit 1; }
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$seconds" "$tree"
fi
work=$(mktemp -d)
source "$root/tests/standalone/jack_common.sh"
# The clients go before the server, which then leaves nothing of itself behind.
trap '[ -n "${dranvelor_pid:-}" ] && kill "$dranvelor_pid" 2>/dev/null; [ -n "${play_pid:-}" ] && kill "$play_pid" 2>/dev/null && wait "$play_pid"; stop_jack; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_CONFIG_HOME/Ostravelk/Morvandell"
printf 'standalone.mute=0\n' >"$XDG_CONFIG_HOME/Ostravelk/Morvandell/settings.ini"

start_jack 48000 64
/usr/bin/python3 "$root/tests/standalone/signals.py" tone "$work/tone.wav" 48000 $((seconds + 30))
"$program" --buffer 64 --automate 3 --seconds "$seconds" >"$work/program.log" 2>&1 &
dranvelor_pid=$!
wait_for_program "$work/program.log"
JACK_PLAY_CONNECT_TO='none:none_%d' jack-play -b 16384 -c 3 "$work/tone.wav" >/dev/null 2>&1 &
play_pid=$!
wait_for 20 bash -c "jack_lsp | grep -q '^jack-play-[0-9]*:out_1$'" || fail "jack-play did not start"
jack_connect "$(jack_lsp | grep '^jack-play-[0-9]*:out_1$')" Dranvelor:in_0

# Resident size in kB, every five seconds until the program ends.
rss=()
while kill -0 "$dranvelor_pid" 2>/dev/null; do
  sample=$(awk '/^VmRSS:/ { print $2 }' "/proc/$dranvelor_pid/status" 2>/dev/null)
  [ -n "$sample" ] && rss+=("$sample")
  sleep 5
done
wait "$dranvelor_pid"
status=$?
dranvelor_pid=""
[ "$status" -eq 0 ] || fail "the program exited with $status: $(tail -3 "$work/program.log")"
report=$(check_dropouts "$work/program.log")
echo "soak: $report"
count=${#rss[@]}
[ "$count" -ge 2 ] || fail "too few memory samples ($count)"
# The first sample comes before the window has drawn every picture it shows.
settled=${rss[$((count / 10 > 0 ? count / 10 : 1))]}
last=${rss[$((count - 1))]}
echo "soak: resident size ${settled} kB after the first tenth, ${last} kB at the end ($count samples: ${rss[*]})"
[ $((last - settled)) -lt 2048 ] || fail "memory grew by $((last - settled)) kB"
echo "soak: $(grep 'stopped;' "$work/program.log" | sed 's/^dranvelor: //')"
echo "PASS"
