# Shared by the standalone program's JACK tests: a private JACK server on the dummy backend (no
# sound card), named for the test so that tests never meet each other's, and waits that poll for
# a state with a generous limit. The name stays the same from run to run: a server left behind by
# an interrupted run keeps an entry in JACK's registry of eight, which the next server of the
# same name takes over.
#   source jack_common.sh; start_jack RATE PERIOD
export JACK_NO_START_SERVER=1
export JACK_DEFAULT_SERVER="dranvelor-test-$(basename "$0" .sh)"
jack_pid=""

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# wait_for SECONDS COMMAND...: polls COMMAND every 50 ms until it succeeds.
wait_for() {
  local limit=$(($1 * 20))
  shift
  for ((i = 0; i < limit; i++)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  return 1
}

has_port() { jack_lsp 2>/dev/null | grep -qx -- "$1"; }
has_connection() { jack_lsp -c 2>/dev/null | grep -A20 -x -- "$1" | grep -q -- "^ *$2\$"; }

# Synchronous mode (-S): a cycle waits for every client, so a client that the shared machine
# starves for a moment is late rather than dropping samples.
start_jack() {
  jackd -n "$JACK_DEFAULT_SERVER" -S -d dummy -r "$1" -p "$2" >"$work/jackd.log" 2>&1 &
  jack_pid=$!
  wait_for 20 has_port system:playback_1 || fail "the JACK server did not start: $(tail -3 "$work/jackd.log")"
}

stop_jack() {
  if [ -n "$jack_pid" ]; then
    kill "$jack_pid" 2>/dev/null
    wait "$jack_pid" 2>/dev/null
  fi
  jack_pid=""
}

# The program's ports, once it shows them.
wait_for_program() {
  wait_for 30 has_port Dranvelor:in_0 || fail "the program's JACK ports did not appear: $(tail -5 "$1")"
}

# The program's dropouts, from its last line, must all be the server's: the shared machine may
# wake the dummy driver late (the server logs "JackTimedDriver::Process XRun"), but the program
# itself must never be the client that was not finished.
check_dropouts() {
  local log=$1 count
  count=$(sed -n 's/.*stopped; \([0-9]*\) dropouts.*/\1/p' "$log")
  [ -n "$count" ] || fail "the program did not report its dropouts: $(tail -3 "$log")"
  grep -q 'client = Dranvelor was not finished' "$work/jackd.log" &&
    fail "the program was late for a JACK cycle ($count dropouts)"
  local server
  server=$(grep -c 'XRun' "$work/jackd.log")
  [ "$count" -le "$server" ] || fail "$count dropouts, the server saw $server xruns"
  echo "$count dropouts, $server xruns of the server"
}
