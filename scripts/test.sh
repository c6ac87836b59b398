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
  out=$(cd "$root/build/$preset" && with_display ctest --output-on-failure "$@" 2>&1)
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

# The same demo rendered through Dranvelor.so and through the win32 Dranvelor.dll under Wine
# must agree within float rounding.
check_cross_target_render() {
  local dir="$root/build/cross-target" peak
  echo "== test cross-target render"
  mkdir -p "$dir"
  if "$root/build/linux/tools/vsthost/vsthost" demo "$dir/dry.wav" >/dev/null &&
     "$root/build/linux/tools/vsthost/vsthost" render "$root/build/linux/host/plugin/Dranvelor.so" \
       "$dir/dry.wav" "$dir/linux.wav" --set Drive=0.9 --set Tone=0.7 >/dev/null &&
     "$root/scripts/wine-run.sh" "$root/build/win32/tools/vsthost/vsthost.exe" render \
       "$root/build/win32/host/plugin/Dranvelor.dll" "$dir/dry.wav" "$dir/win32.wav" \
       --set Drive=0.9 --set Tone=0.7 >/dev/null &&
     peak=$(sox -m -v 1 "$dir/linux.wav" -v -1 "$dir/win32.wav" -n stat 2>&1 |
            sed -n 's/^Maximum amplitude: *//p') &&
     awk -v p="$peak" 'BEGIN { exit !(p != "" && p + 0 <= 1e-6) }'; then
    echo "linux and win32 renders agree (largest difference ${peak})"
    passed=$((passed + 1))
  else
    echo "cross-target render: the linux and win32 renders differ (largest difference ${peak:-unknown})"
    failed=$((failed + 1))
  fi
}

prepare_wine
trap stop_wine EXIT
clear_stale_jack
# Every test runs once: a test that fails only now and then is a fault to fix, not to rerun.
test_tree linux "" -j 2
test_tree win32 "" -j 2
check_cross_target_render
test_tree win64 ""
test_tree asan "" -j 2
test_tree tsan "concurrent_automation_test editor_automation_test lv2_threads_test" -L concurrency
test_tree fuzz "host_call_fuzzer" -L fuzz

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
