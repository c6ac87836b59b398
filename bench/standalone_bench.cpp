// The standalone program's costs: its audio callback per block against the effect alone in the
// same run (the program's overhead is what the callback adds: the channel choice, the gain
// ramp's check, the meter's peak, the copy to the second output), and the time from nothing to
// the first block of sound through PortAudio (needs a running JACK server or a sound card).
#include "effect/cklv.h"
#include "standalone/audio_stream.h"
#include "standalone/audio_system.h"
#include "standalone/effect_host.h"
#include "standalone/stream_processor.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

using namespace standalone;

namespace
{

constexpr double kRate = 48000.0;

// A guitar-like input: a decaying 110 Hz note with some noise, repeated.
std::vector<float> testInput(std::size_t frames)
{
    std::vector<float> signal(frames);
    unsigned noise = 1;
    for (std::size_t i = 0; i < frames; ++i)
    {
        noise = noise * 1664525u + 1013904223u;
        const double t = static_cast<double>(i % 24000) / kRate;
        signal[i] =
            static_cast<float>(0.4 * std::exp(-3.0 * t) * std::sin(6.283185307179586 * 110.0 * t) +
                               1e-3 * (static_cast<double>(noise >> 8) / 16777216.0 - 0.5));
    }
    return signal;
}

struct Fixture
{
    EffectHost host{kRate};
    std::vector<float> input;
    std::vector<float> silentInput;
    std::vector<float> left;
    std::vector<float> right;

    explicit Fixture(int frames)
        : input(testInput(static_cast<std::size_t>(frames) * 64)),
          silentInput(static_cast<std::size_t>(frames)), left(static_cast<std::size_t>(frames)),
          right(static_cast<std::size_t>(frames))
    {
        host.effect().setParameter(0, 0.7f);
        host.effect().setSampleRate(static_cast<float>(kRate));
        host.effect().setBlockSize(frames);
        host.effect().resume();
    }
};

void BM_EffectBlock(benchmark::State& state)
{
    const auto frames = static_cast<int>(state.range(0));
    Fixture fixture(frames);
    std::size_t offset = 0;
    for (auto _ : state)
    {
        float* in[] = {fixture.input.data() + offset};
        float* out[] = {fixture.left.data()};
        fixture.host.effect().processReplacing(in, out, frames);
        benchmark::DoNotOptimize(fixture.left.data());
        offset = (offset + static_cast<std::size_t>(frames)) %
                 (fixture.input.size() - static_cast<std::size_t>(frames));
    }
    state.SetItemsProcessed(state.iterations() * frames);
}

// The callback as PortAudio calls it: input channel 2 of 2, outputs 1 and 2 of 2, unmuted.
void BM_CallbackBlock(benchmark::State& state)
{
    const auto frames = static_cast<int>(state.range(0));
    Fixture fixture(frames);
    StreamProcessor processor(fixture.host.effect());
    processor.prepare(kRate, 1, {0, 1}, 2);
    std::size_t offset = 0;
    for (auto _ : state)
    {
        const float* in[] = {fixture.silentInput.data(), fixture.input.data() + offset};
        float* out[] = {fixture.left.data(), fixture.right.data()};
        processor.process(in, out, static_cast<unsigned long>(frames), false);
        benchmark::DoNotOptimize(fixture.right.data());
        offset = (offset + static_cast<std::size_t>(frames)) %
                 (fixture.input.size() - static_cast<std::size_t>(frames));
    }
    state.SetItemsProcessed(state.iterations() * frames);
}

// From PortAudio's start to the first block of sound: devices read, the effect made, the stream
// chosen, opened and started, and the first callback done.
void BM_StartToFirstSound(benchmark::State& state)
{
    for (auto _ : state)
    {
        AudioSystem audio;
        ChoiceResult choice;
        try
        {
            choice = chooseStream(audio.catalog(), {}, {}, audio.rateCheck());
        }
        catch (const std::exception& error)
        {
            state.SkipWithError((std::string("no device: ") + error.what()).c_str());
            return;
        }
        EffectHost host(choice.choice.rate);
        StreamProcessor processor(host.effect());
        AudioStream stream(host.effect(), processor);
        std::string error;
        if (!stream.start(choice.choice, error))
        {
            state.SkipWithError(error.c_str());
            return;
        }
        while (processor.blocks() == 0)
            std::this_thread::yield();
        state.PauseTiming();
        stream.stop();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_EffectBlock)->Arg(64)->Arg(256);
BENCHMARK(BM_CallbackBlock)->Arg(64)->Arg(256);
BENCHMARK(BM_StartToFirstSound)->Unit(benchmark::kMillisecond)->Iterations(10);

BENCHMARK_MAIN();
