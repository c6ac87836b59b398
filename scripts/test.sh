#!/usr/bin/env bash
# Builds every target and runs the whole test suite: natively, under sanitizers and the
# Windows programs under Wine. The last line is "N passed, N failed".
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
[ -n "${DRANVELOR_OWN_DISPLAY:-}" ] || prepare || exit 1
run_under_own_display "$0" "$@"

passed=0
failed=0

# run_tree <preset> [ctest options...]
run_tree() {
  local preset=$1 log="$root/build/ctest-$1.log" out total fails
  shift
  echo "== test $preset"
  out=$(cd "$root/build/$preset" && with_display ctest --output-on-failure --timeout 900 "$@" 2>&1)
  printf '%s\n' "$out" >"$log"
  printf '%s\n' "$out" | grep -E '(Failed|\*\*\*|Not Run|Timeout|tests passed)' | grep -v '^\s*$' || true
  total=$(printf '%s\n' "$out" | sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' | tail -n 1)
  fails=$(printf '%s\n' "$out" | sed -n 's/.*, \([0-9]*\) tests failed out of.*/\1/p' | tail -n 1)
  total=${total:-0}
  fails=${fails:-0}
  passed=$((passed + total - fails))
  failed=$((failed + fails))
}

# test_tree <preset> <targets or ""> [ctest options...]
test_tree() {
  local preset=$1 targets=()
  [ -n "$2" ] && read -r -a targets <<<"$2"
  shift 2
  if build_preset "$preset" "${targets[@]}"; then
    run_tree "$preset" "$@"
  else
    echo "build of $preset failed"
    failed=$((failed + 1))
  fi
}

prepare_wine
trap stop_wine EXIT
test_tree linux "" -j 2
test_tree win32 "" -j 2
test_tree win64 ""
test_tree asan "" -j 2
test_tree tsan "concurrent_automation_test" -L concurrency
test_tree fuzz "host_call_fuzzer" -L fuzz

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
