#!/usr/bin/env bash
# What goes wrong ends in a clear message, never a crash or a half-working stream: each bad
# option names what was wrong and exits with 2 before any port appears; a device the settings
# remember and that is gone falls back with a message; a damaged or strange settings file means
# defaults; --connect connects the ports; a JACK server killed mid-run leaves the program alive
# and reporting.
#   faults_test.sh DRANVELOR WORK_FOLDER
set -uo pipefail
program=$1 work=$2
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/jack_common.sh"
trap 'stop_jack; [ -n "${dranvelor_pid:-}" ] && kill "$dranvelor_pid" 2>/dev/null' EXIT
rm -rf "$work" && mkdir -p "$work"
export XDG_CONFIG_HOME="$work/config"
settings="$XDG_CONFIG_HOME/Ostravelk/Morvandell/settings.ini"
start_jack 48000 256

# expect_error MESSAGE OPTIONS...: exits with 2, says MESSAGE, opens no port.
expect_error() {
  local message=$1 output status
  shift
  output=$("$program" --no-window --seconds 5 "$@" 2>&1)
  status=$?
  [ "$status" -eq 2 ] || fail "$* exited with $status, not 2: $output"
  grep -qF -- "$message" <<<"$output" || fail "$* said '$output', not '$message'"
  [ "$(grep -c . <<<"$output")" -eq 1 ] || fail "$* said more than one line: $output"
  has_port Dranvelor:in_0 && fail "$* left a port open"
  return 0
}
expect_error "unknown option '--bogus'" --bogus
expect_error "no input device 'Nonesuch'" --input Nonesuch
expect_error "(input devices: 'system')" --input Nonesuch
expect_error "no output device 'Nonesuch:1,2'" --output Nonesuch:1,2
expect_error "'system' has 2 input channel(s), not those of 'system:3'" --input system:3
expect_error "'system' has 2 output channel(s)" --output system:1,5
expect_error "the engine does not process 22050 Hz (rates: 44100," --rate 22050
expect_error "do not run at 96000 Hz (they do at 48000 Hz)" --rate 96000
expect_error "--buffer takes 32 to 2048 frames, not 16" --buffer 16
expect_error "unknown parameter 'volume' (symbols: drive, tone, level, bypass)" --set volume=1
expect_error "the value of drive is not a number: 'loud'" --set drive=loud
expect_error "no host API 'ASIO'" --host-api ASIO

# run_briefly: plays a second without the window; its messages in $work/run.log.
run_briefly() {
  timeout 60 "$program" --no-window --seconds 1 >"$work/run.log" 2>&1
}

mkdir -p "$(dirname "$settings")"
printf 'standalone.hostapi=JACK Audio Connection Kit\nstandalone.input=Gone Interface:2\nstandalone.rate=48000\n' >"$settings"
run_briefly || fail "a gone device stopped the program: $(cat "$work/run.log")"
grep -q "the saved input 'Gone Interface:2' is gone: using the default" "$work/run.log" ||
  fail "no message for the gone device: $(cat "$work/run.log")"
grep -q "'system:1' to 'system:1,2'" "$work/run.log" || fail "no fallback to the default: $(cat "$work/run.log")"

head -c 4096 /dev/urandom >"$settings"
run_briefly || fail "a garbage settings file stopped the program: $(cat "$work/run.log")"
rm -f "$settings" && mkfifo "$settings"
run_briefly || fail "a pipe for a settings file stopped the program: $(cat "$work/run.log")"
rm -f "$settings" && mkdir "$settings"
run_briefly || fail "a folder for a settings file stopped the program: $(cat "$work/run.log")"
rmdir "$settings"

# --connect takes the first capture port and the first two playback ports.
"$program" --no-window --connect >"$work/connect.log" 2>&1 &
dranvelor_pid=$!
wait_for_program "$work/connect.log"
wait_for 10 has_connection system:capture_1 Dranvelor:in_0 || fail "--connect left the input alone"
has_connection Dranvelor:out_0 system:playback_1 || fail "--connect left output 1 alone"
has_connection Dranvelor:out_1 system:playback_2 || fail "--connect left output 2 alone"
kill -TERM "$dranvelor_pid"
wait "$dranvelor_pid" || fail "--connect: SIGTERM did not end the program cleanly"

"$program" --no-window >"$work/killed.log" 2>&1 &
dranvelor_pid=$!
wait_for_program "$work/killed.log"
# The ports appear before the stream starts; the server goes away from a running stream.
wait_for 30 grep -q "frames; in" "$work/killed.log" || fail "the stream did not start: $(tail -3 "$work/killed.log")"
kill -TERM "$jack_pid"
wait "$jack_pid" 2>/dev/null
jack_pid=""
wait_for 30 grep -q "The JACK server went away" "$work/killed.log" ||
  fail "no message when the JACK server went away: $(tail -3 "$work/killed.log")"
kill -0 "$dranvelor_pid" || fail "the program ended with the JACK server"
kill -TERM "$dranvelor_pid"
wait "$dranvelor_pid"
status=$?
dranvelor_pid=""
[ "$status" -eq 0 ] || fail "after the server went away, SIGTERM ended the program with $status"
echo "PASS"
