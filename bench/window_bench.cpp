// The window's costs to a host: from effEditOpen to the first complete picture on the screen
// (the first opening of an instance, and the later ones), the process's memory with a window
// open, and the CPU an open window that nobody touches takes between the host's idle calls.
// Needs a display of 1890 x 420 pixels at least (xvfb-run when there is none); the win32 build
// runs under Wine.

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

void showWindow(WindowHost& h)
{
    h.open();
    while (!h.painted())
    {
        h.handleMessages();
        h.dispatch(effEditIdle);
    }
}

// The argument of the opening benchmarks: the content scale in percent that the host sends
// before every opening. A plug-in that does not scale ignores it and opens at 1x.
void scales(benchmark::internal::Benchmark* benchmark)
{
    benchmark->ArgName("scale")->Arg(100)->Arg(150)->Arg(200)->Arg(300);
}

// The first opening of an instance's window, with nothing decoded yet: a new instance each time
// (its creation, and the background it decodes then, are not timed).
void FirstOpenToFirstPicture(benchmark::State& state)
{
    WindowHost& h = host();
    const float scale = static_cast<float>(state.range(0)) / 100.0f;
    for (auto _ : state)
    {
        state.PauseTiming();
        h.reinstantiate();
        h.setContentScale(scale);
        state.ResumeTiming();
        showWindow(h);
        state.PauseTiming();
        h.close();
        state.ResumeTiming();
    }
}
BENCHMARK(FirstOpenToFirstPicture)->Apply(scales)->Unit(benchmark::kMillisecond)->UseRealTime();

// Every later opening of the same instance's window.
void OpenToFirstPicture(benchmark::State& state)
{
    WindowHost& h = host();
    const float scale = static_cast<float>(state.range(0)) / 100.0f;
    h.setContentScale(scale);
    showWindow(h);
    h.close();
    for (auto _ : state)
    {
        h.setContentScale(scale);
        showWindow(h);
        state.PauseTiming();
        h.close();
        state.ResumeTiming();
    }
}
BENCHMARK(OpenToFirstPicture)->Apply(scales)->Unit(benchmark::kMillisecond)->UseRealTime();

// MB: the process's memory in use with the window of a new instance open at the scale, the
// first window of the process (run it alone: --benchmark_filter=MemoryWithAWindowOpen/scale:200/);
// committed_MB: what it has allocated, touched or not.
void MemoryWithAWindowOpen(benchmark::State& state)
{
    WindowHost& h = host();
    const float scale = static_cast<float>(state.range(0)) / 100.0f;
    double memory = 0.0;
    double committed = 0.0;
    for (auto _ : state)
    {
        h.reinstantiate();
        h.setContentScale(scale);
        showWindow(h);
        memory = processMemory();
        committed = committedMemory();
        h.close();
    }
    state.counters["MB"] = memory / (1024.0 * 1024.0);
    state.counters["committed_MB"] = committed / (1024.0 * 1024.0);
}
BENCHMARK(MemoryWithAWindowOpen)->Apply(scales)->Iterations(1)->Unit(benchmark::kMillisecond);

// core_percent: the share of one core the idle calls take at 50 a second (printed with SI
// prefixes: 5m is 0.005 %).
void IdleOfAnUntouchedWindow(benchmark::State& state)
{
    WindowHost& h = host();
    showWindow(h);
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
