// The window's costs to a host: from effEditOpen to the first complete picture on the screen,
// and the CPU an open window that nobody touches takes between the host's idle calls. Needs a
// display (xvfb-run when there is none); the win32 build runs under Wine.

#include "bench/window_host.h"

#include <benchmark/benchmark.h>

namespace
{

constexpr double kIdlesPerSecond = 50.0; // what hosts call, 30 to 60 a second

WindowHost& host()
{
    static WindowHost instance;
    return instance;
}

void OpenToFirstPicture(benchmark::State& state)
{
    WindowHost& h = host();
    for (auto _ : state)
    {
        h.open();
        while (!h.painted())
        {
            h.handleMessages();
            h.dispatch(effEditIdle);
        }
        state.PauseTiming();
        h.close();
        state.ResumeTiming();
    }
}
BENCHMARK(OpenToFirstPicture)->Unit(benchmark::kMillisecond)->UseRealTime();

// core_percent: the share of one core the idle calls take at 50 a second (printed with SI
// prefixes: 5m is 0.005 %).
void IdleOfAnUntouchedWindow(benchmark::State& state)
{
    WindowHost& h = host();
    h.open();
    while (!h.painted())
        h.dispatch(effEditIdle);
    for (auto _ : state)
    {
        h.handleMessages();
        h.dispatch(effEditIdle);
    }
    state.counters["core_percent"] =
        benchmark::Counter(static_cast<double>(state.iterations()) / (kIdlesPerSecond * 100.0),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    h.close();
}
BENCHMARK(IdleOfAnUntouchedWindow)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
