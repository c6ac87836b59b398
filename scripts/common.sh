# Shared by the main-job and test commands: set-up, dependencies, builds, Wine prefix.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="$root/build/wine"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

prepare() {
  bash "$root/scripts/setup.sh"
  bash "$root/scripts/deps.sh"
}

# build_preset <preset> [targets...]: configures once, then builds; non-zero on failure.
build_preset() {
  local preset=$1 dir="$root/build/$1" targets=()
  shift
  [ $# -gt 0 ] && targets=(--target "$@")
  echo "== build $preset"
  if [ ! -f "$dir/build.ninja" ]; then
    cmake --preset "$preset" -S "$root" >"$root/build/configure-$preset.log" 2>&1 ||
      { tail -n 30 "$root/build/configure-$preset.log"; return 1; }
  fi
  cmake --build "$dir" -j "$(nproc)" "${targets[@]}" >"$root/build/build-$preset.log" 2>&1 ||
    { grep -v '^\[' "$root/build/build-$preset.log" | tail -n 40; return 1; }
}

# The first start of Wine in a new prefix takes a while: do it once per build tree.
prepare_wine() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== creating the Wine prefix"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
  # One fresh server for the whole run, on this run's display: programs started while a
  # lingering server shuts down would lose their connection, and a server left from another
  # session keeps a desktop on a display that may be gone.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  wineserver -p >/dev/null 2>&1 || true
  # Start Wine's own services now, so that the first test program does not race them.
  wine cmd.exe /c exit >/dev/null 2>&1 || true
}

stop_wine() {
  wineserver -k >/dev/null 2>&1 || true
}

# Re-runs the calling script under a virtual X display of its own, once set-up is done, so
# that every Wine program of the run (and Wine's desktop process) shares one display and
# window tests never touch the user's desktop. The server never resets between tests: one
# that resets refuses connections for a moment after its last client leaves.
run_under_own_display() {
  if [ -z "${DRANVELOR_OWN_DISPLAY:-}" ]; then
    export DRANVELOR_OWN_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash "$@"
  fi
}

# Runs a command with a display: the current one, or a virtual one when there is none.
with_display() {
  if [ -n "${DISPLAY:-}" ]; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$@"
  fi
}

# JACK keeps its servers in a registry of eight entries (/dev/shm/jack-shm-registry). A server
# that was killed outright leaves its entry behind, which only a server of the same name
# reclaims; once the registry is full, a new server quits at its start. With no server of ours
# running, every entry is such a leftover: the registry goes, and the next server makes it anew.
clear_stale_jack() {
  pgrep -u "$(id -u)" -x jackd >/dev/null && return 0
  pgrep -u "$(id -u)" -x jackdbus >/dev/null && return 0
  rm -f /dev/shm/jack-shm-registry
}
