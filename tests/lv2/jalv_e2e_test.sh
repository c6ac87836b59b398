#!/usr/bin/env bash
# The bundle in jalv on a JACK server with the dummy backend, on the X display (a virtual one
# when there is none): the console host shows the window through the show interface, jalv.gtk3
# embeds it with the values it was given; both show exactly the VST window's pixels, and a real
# click on Bypass turns the button over in each. (jalv 1.6's console host reads no commands and
# sends no port events while it shows a UI.)
#   jalv_e2e_test.sh BUNDLE VSTHOST VST_PLUGIN WORK_FOLDER
set -uo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi
source "$(dirname "${BASH_SOURCE[0]}")/bundle_setup.sh"
# One name from run to run: JACK's registry of eight servers keeps the entry of a server killed
# outright, and only a server of the same name takes it over.
export JACK_DEFAULT_SERVER="dranvelor-test-jalv"
export JACK_NO_AUDIO_RESERVATION=1

pids=()
# The clients go before the server (the first), which then leaves nothing of itself behind.
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null && wait "${pids[i]}" 2>/dev/null
  done
}
trap cleanup EXIT
jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 44100 -p 256 >"$work/jackd.log" 2>&1 &
pids+=($!)

# waits up to 30 s for the window of a name and a size; prints its id
window_of() {
  local id
  for _ in $(seq 300); do
    id=$(xwininfo -root -tree | awk -v n="$1" -v s="$2" 'index($0, n) && index($0, s) {print $1; exit}')
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# differing pixels of a window's picture and a PNG
differing() {
  import -window "$1" "$work/shot.png" && compare -metric AE "$work/shot.png" "$2" null: 2>&1
}

"$vsthost" edit "$vst" --seconds 1 --screenshot "$work/vst-off.png" >/dev/null || fail "vsthost edit"
"$vsthost" edit "$vst" --set Bypass=1 --seconds 1 --screenshot "$work/vst-on.png" >/dev/null ||
  fail "vsthost edit with Bypass on"

# waits up to 30 s for a window to show exactly the picture of a PNG
shows() {
  for _ in $(seq 300); do
    [ "$(differing "$1" "$2")" = 0 ] && return 0
    sleep 0.1
  done
  return 1
}

# a host's window showing the VST window with Bypass in one state, and with it in the other
# after a click on Bypass
check_click() {
  local host=$1 window=$2 before=$3 after=$4
  shows "$window" "$work/vst-$before.png" ||
    fail "$host's window differs from the VST window with Bypass $before"
  xdotool mousemove --window "$window" 561 97 mousedown 1 sleep 0.1 mouseup 1
  shows "$window" "$work/vst-$after.png" ||
    fail "$host's window does not show Bypass $after after a click"
}

jack_wait -w -t 10 -s "$JACK_DEFAULT_SERVER" >/dev/null || fail "the JACK server does not start: $(cat "$work/jackd.log")"
# The console host: -s shows the UI through its show interface, in a top-level window.
jalv -s -i "$uri" >"$work/jalv.log" 2>&1 &
pids+=($!)
if window=$(window_of '"Dranvelor": ()' 630x140); then
  check_click jalv "$window" off on
else
  fail "jalv shows no window: $(cat "$work/jalv.log")"
fi
kill "${pids[-1]}"

# jalv.gtk3 embeds the window in its own, and reports the port values to it.
jalv.gtk3 -c bypass=1 "$uri" >"$work/jalv-gtk3.log" 2>&1 &
pids+=($!)
if window=$(window_of '(has no name): ()' 630x140+0+0); then
  check_click jalv.gtk3 "$window" on off
else
  fail "jalv.gtk3 embeds no window: $(cat "$work/jalv-gtk3.log")"
fi

[ "$failures" -eq 0 ] && echo "jalv and jalv.gtk3 show the VST window"
exit $((failures > 0))
