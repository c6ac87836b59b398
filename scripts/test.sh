#!/usr/bin/env bash
# Builds every target and runs the whole test suite: natively, under sanitizers and the
# Windows programs under Wine. The last line is "N passed, N failed".
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
prepare || exit 1

passed=0
failed=0
presets=(linux win32 win64 asan)

run_tree() {
  local preset=$1 log="$root/build/ctest-$1.log" out total fails
  echo "== test $preset"
  out=$(cd "$root/build/$preset" && with_display ctest --output-on-failure -j 2 --timeout 900 2>&1)
  printf '%s\n' "$out" >"$log"
  printf '%s\n' "$out" | grep -E '(Failed|\*\*\*|Not Run|Timeout|tests passed)' | grep -v '^\s*$' || true
  total=$(printf '%s\n' "$out" | sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' | tail -n 1)
  fails=$(printf '%s\n' "$out" | sed -n 's/.*, \([0-9]*\) tests failed out of.*/\1/p' | tail -n 1)
  total=${total:-0}
  fails=${fails:-0}
  passed=$((passed + total - fails))
  failed=$((failed + fails))
}

prepare_wine
for preset in "${presets[@]}"; do
  if build_preset "$preset"; then
    run_tree "$preset"
  else
    echo "build of $preset failed"
    failed=$((failed + 1))
  fi
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
