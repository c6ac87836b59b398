#!/usr/bin/env bash
# The program's sound through JACK: a known input played into its input port by jack-play comes
# out of its output port, as jack-record hears it, equal sample for sample (after the offset the
# graph adds) to what vsthost renders through Dranvelor.so with the same values, at 48 and 96 kHz,
# and the program causes no dropout.
#   jack_sound_test.sh DRANVELOR VSTHOST VST_PLUGIN WORK_FOLDER
set -uo pipefail
program=$1 vsthost=$2 plugin=$3 work=$4
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/jack_common.sh"
trap 'stop_jack; [ -n "${dranvelor_pid:-}" ] && kill "$dranvelor_pid" 2>/dev/null' EXIT
rm -rf "$work" && mkdir -p "$work"
export XDG_CONFIG_HOME="$work/config"

for rate in 48000 96000; do
  start_jack "$rate" 256
  /usr/bin/python3 "$here/signals.py" input "$work/in-$rate.wav" "$rate" || fail "no input file"
  "$vsthost" render "$plugin" "$work/in-$rate.wav" "$work/expected-$rate.wav" \
    --set Drive=0.7 --set Tone=0.3 --set Level=0.8 || fail "vsthost render failed"

  "$program" --no-window --set drive=0.7 --set tone=0.3 --set level=0.8 \
    >"$work/program-$rate.log" 2>&1 &
  dranvelor_pid=$!
  wait_for_program "$work/program-$rate.log"
  has_connection Dranvelor:in_0 system:capture_1 && fail "the input was connected without --connect"

  # The recording outlasts the input; the input's lead of silence covers the moment its port
  # takes to be connected, and its tail of silence (longer than jack-play's 16384-frame ring)
  # the buffers jack-play leaves unplayed when it stops.
  jack-record -b 1048576 -p Dranvelor:out_0 -n 1 -t 11 "$work/recorded-$rate.wav" >"$work/record.log" 2>&1 &
  record_pid=$!
  JACK_PLAY_CONNECT_TO='none:none_%d' jack-play -b 16384 -c 3 "$work/in-$rate.wav" >"$work/play.log" 2>&1 &
  play_pid=$!
  wait_for 20 bash -c "jack_lsp | grep -q '^jack-play-[0-9]*:out_1$'" || fail "jack-play did not start"
  jack_connect "$(jack_lsp | grep '^jack-play-[0-9]*:out_1$')" Dranvelor:in_0 || fail "cannot connect jack-play"
  wait "$play_pid" || fail "jack-play failed: $(cat "$work/play.log")"
  wait "$record_pid"

  kill -TERM "$dranvelor_pid"
  wait "$dranvelor_pid"
  status=$?
  dranvelor_pid=""
  [ "$status" -eq 0 ] || fail "the program exited with $status on SIGTERM: $(cat "$work/program-$rate.log")"
  check_dropouts "$work/program-$rate.log"
  /usr/bin/python3 "$here/signals.py" compare "$work/expected-$rate.wav" "$work/recorded-$rate.wav" ||
    fail "the program's output at $rate Hz differs from vsthost's"
  stop_jack
done
echo "PASS"
