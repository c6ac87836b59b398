#!/usr/bin/env bash
# Measures the overdrive engine: natively (build/linux) and as the win32 program under Wine
# (build/win32). Build both trees first:
#   cmake --preset linux && cmake --build --preset linux
#   cmake --preset win32 && cmake --build --preset win32
# Extra arguments go to Google Benchmark, e.g. --benchmark_filter=44100.
# Then the skin (dranvelor_skin_bench): the time to decode each whole set (scale 100, 150,
# 200 %) and the memory it takes decoded (decoded_MB), one film strip, and one frame's band. Then the window (build/linux/bench/
# dranvelor_window_bench natively, the win32 one under Wine, both under Xvfb when there is no
# display): time from effEditOpen to the first picture, for the first opening of a new instance
# and for later ones, with the host's content scale at 100, 150 and 200 %, and CPU of an idle
# call to an untouched window.
# Counters: ns_per_sample is nanoseconds of CPU per host sample, realtime_x the seconds of audio
# processed per CPU second. Cases are processFloat|processDouble/<path>/<rate>/<block>, the path
# being plain (the per-sample reference), sse2, avx2 or avx512 (the block path with that kernel;
# see bench/README.md). The machine may be shared: add --benchmark_repetitions=5
# --benchmark_report_aggregates_only=true and read the medians.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
native=$here/build/linux/bench/dranvelor_bench
windows=$here/build/win32/bench/dranvelor_bench.exe

for program in "$native" "$windows"; do
    if [[ ! -x $program && ! -f $program ]]; then
        echo "missing $program: build its tree first" >&2
        exit 1
    fi
done

echo "== linux-x86_64 =="
"$native" "$@"
echo "== win32 under Wine =="
"$here/scripts/wine-run.sh" "$windows" "$@"
echo "== linux-x86_64 skin =="
"$here/build/linux/bench/dranvelor_skin_bench"
echo "== win32 skin under Wine =="
"$here/scripts/wine-run.sh" "$here/build/win32/bench/dranvelor_skin_bench.exe"
echo "== linux-x86_64 window =="
window=$here/build/linux/bench/dranvelor_window_bench
windows_window=$here/build/win32/bench/dranvelor_window_bench.exe
if [[ -n ${DISPLAY:-} ]]; then
    "$window"
    echo "== win32 window under Wine =="
    "$here/scripts/wine-run.sh" "$windows_window"
else
    xvfb-run -a -s "-screen 0 2048x1024x24" bash -c \
        "'$window' && echo '== win32 window under Wine ==' && '$here/scripts/wine-run.sh' '$windows_window'"
fi
