#!/usr/bin/env bash
# The window drives the sound: on the running program, under X with real pointer input
# (xdotool), a first start is silent until the mute button is clicked, dragging Drive up makes
# the tone louder, Bypass passes it dry, muting silences it again, and the meter shows the input
# while it plays and falls back when it stops. The output is heard through jack-record.
#   window_test.sh DRANVELOR WORK_FOLDER
set -uo pipefail
program=$1 work=$2
here=$(dirname "${BASH_SOURCE[0]}")
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
source "$here/jack_common.sh"
# The clients go before the server, which then leaves nothing of itself behind.
trap '[ -n "${dranvelor_pid:-}" ] && kill "$dranvelor_pid" 2>/dev/null; [ -n "${play_pid:-}" ] && kill "$play_pid" 2>/dev/null && wait "$play_pid"; stop_jack' EXIT
rm -rf "$work" && mkdir -p "$work"
export XDG_CONFIG_HOME="$work/config"
signals() { /usr/bin/python3 "$here/signals.py" "$@"; }

# Window positions of the editor (630 x 140 at 1x) and of the bar under it.
drive=(205 70)
bypass=(561 97)
mute=(604 154)
meter_crop=150x10+8+172

start_jack 48000 256
signals tone "$work/tone.wav" 48000 120
"$program" >"$work/program.log" 2>&1 &
dranvelor_pid=$!
wait_for_program "$work/program.log"
wait_for 20 xdotool search --name '^Dranvelor$' || fail "no window"
window=$(xdotool search --name '^Dranvelor$' | head -n 1)

JACK_PLAY_CONNECT_TO='none:none_%d' jack-play -b 16384 -c 3 "$work/tone.wav" >"$work/play.log" 2>&1 &
play_pid=$!
wait_for 20 bash -c "jack_lsp | grep -q '^jack-play-[0-9]*:out_1$'" || fail "jack-play did not start"
jack_connect "$(jack_lsp | grep '^jack-play-[0-9]*:out_1$')" Dranvelor:in_0 || fail "cannot connect jack-play"

# The output's level, heard again until it meets the condition (awk on "level").
level=0
listen_until() {
  local condition=$1 tries
  for ((tries = 0; tries < 20; tries++)); do
    jack-record -p Dranvelor:out_0 -n 1 -t 1 "$work/heard.wav" >/dev/null 2>&1
    level=$(signals rms "$work/heard.wav")
    awk -v level="$level" "BEGIN { exit !($condition) }" && return 0
  done
  return 1
}
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
meter_green() {
  import -window "$window" -crop "$meter_crop" "$work/meter.png" && signals green "$work/meter.png"
}

listen_until "level < 1e-6" || fail "the first start is not silent (level $level)"
grep -q 'standalone.mute' "$XDG_CONFIG_HOME/Ostravelk/Morvandell/settings.ini" 2>/dev/null &&
  fail "the first start was saved before the user chose"
click "${mute[@]}"
listen_until "level > 0.01" || fail "unmuting did not bring the sound (level $level)"
plain=$level

# Right and up raise the value whichever way the knobs are dragged (linear or circular). The
# knob follows the pointer from inside its own loop, once the program has read the press: each
# step waits until the knob's picture has changed.
knob_picture() { import -window "$window" -crop 70x70+170+35 rgb:- | md5sum; }
before=$(knob_picture)
xdotool mousemove --window "$window" "${drive[@]}" mousedown 1
for step in 4 8 12; do
  xdotool mousemove --window "$window" $((drive[0] + 5 * step)) $((drive[1] - 2 * step))
  wait_for 10 bash -c "[ \"\$(import -window $window -crop 70x70+170+35 rgb:- | md5sum)\" != '$before' ]" ||
    fail "the Drive knob does not follow the pointer"
  before=$(knob_picture)
done
xdotool mouseup 1
listen_until "level > $plain * 1.1" || fail "more Drive did not make the tone louder ($plain, then $level)"

click "${bypass[@]}"
# Bypassed, the tone passes as it came: 0.03 peak is 0.0212 RMS.
listen_until "level > 0.0205 && level < 0.0219" || fail "Bypass did not pass the tone dry (level $level)"

wait_for 10 bash -c "[ \$(/usr/bin/python3 '$here/signals.py' green <(import -window $window -crop $meter_crop png:-)) -gt 100 ]" ||
  fail "the meter does not show the input ($(meter_green) green pixels)"
kill "$play_pid"
wait "$play_pid" 2>/dev/null
play_pid=""
wait_for 10 bash -c "[ \$(/usr/bin/python3 '$here/signals.py' green <(import -window $window -crop $meter_crop png:-)) -lt 5 ]" ||
  fail "the meter does not fall back when the input stops ($(meter_green) green pixels)"

click "${mute[@]}"
listen_until "level < 1e-6" || fail "muting did not silence the output (level $level)"

# Without a window manager, closing the window destroys it; the program ends on its own.
xdotool windowclose "$window"
wait "$dranvelor_pid"
status=$?
dranvelor_pid=""
[ "$status" -eq 0 ] || fail "the program exited with $status when its window closed: $(tail -3 "$work/program.log")"
grep -q 'standalone.mute=1' "$XDG_CONFIG_HOME/Ostravelk/Morvandell/settings.ini" ||
  fail "the mute was not remembered"
grep -q 'bypass=1' "$XDG_CONFIG_HOME/Ostravelk/Morvandell/settings.ini" ||
  fail "Bypass was not remembered"
echo "PASS"
