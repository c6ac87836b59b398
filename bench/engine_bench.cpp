// Cost of the overdrive engine per host sample: the per-sample reference path and the block path
// with each kernel the processor supports, on signal and on silence. Silence must cost what
// signal costs: histories decaying into denormal numbers would make it slower.

#include "dsp/overdrive_processor.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace
{
constexpr std::int32_t kSignalLength = 65536;
constexpr std::int32_t kBlock = 512;
// A host buffer as short as hosts commonly use, where filling and draining the block path's
// stages weighs most.
constexpr std::int32_t kShortBlock = 64;

// A 1 kHz sine at half scale plus white noise, long enough that the branches see varied data.
template <typename Sample> std::vector<Sample> testSignal(std::int32_t rate)
{
    std::mt19937 random(1234);
    std::uniform_real_distribution<double> noise(-0.05, 0.05);
    std::vector<Sample> signal(static_cast<std::size_t>(kSignalLength));
    for (std::size_t i = 0; i < signal.size(); ++i)
    {
        const double phase = 6.283185307179586 * 1000.0 * static_cast<double>(i) / rate;
        signal[i] = static_cast<Sample>(0.5 * std::sin(phase) + noise(random));
    }
    return signal;
}

enum class Input
{
    signal,
    silence
};

template <typename Sample> std::vector<Sample> inputOf(Input input, std::int32_t rate)
{
    if (input == Input::silence)
        return std::vector<Sample>(static_cast<std::size_t>(kSignalLength), Sample(0));
    return testSignal<Sample>(rate);
}

enum class Path
{
    plain,
    sse2,
    avx2,
    avx512
};

void process(OverdriveProcessor& engine, Path path, const float* in, float* out, std::int32_t count)
{
    if (path == Path::plain)
        engine.processFloatPlain(in, out, count);
    else
        engine.processFloat(in, out, count);
}

void process(OverdriveProcessor& engine, Path path, const double* in, double* out,
             std::int32_t count)
{
    if (path == Path::plain)
        engine.processDoublePlain(in, out, count);
    else
        engine.processDouble(in, out, count);
}

SimdLevel levelOf(Path path)
{
    return path == Path::avx512 ? SimdLevel::avx512
           : path == Path::avx2 ? SimdLevel::avx2
                                : SimdLevel::sse2;
}

template <typename Sample> void engineCost(benchmark::State& state, Path path, Input kind)
{
    const auto rate = static_cast<std::int32_t>(state.range(0));
    const auto length = static_cast<std::int32_t>(state.range(1));
    if (levelOf(path) > widestSimdLevel())
    {
        state.SkipWithError("not supported by this processor");
        return;
    }
    OverdriveProcessor engine;
    engine.setSimdLevel(levelOf(path));
    engine.setSampleRate(rate);
    for (std::int32_t control = 0; control < 3; ++control)
        engine.setParameter(control, 0.5f);
    engine.setParameter(OverdriveProcessor::kBypass, 0.0f);
    const std::vector<Sample> input = inputOf<Sample>(kind, rate);
    std::vector<Sample> output(static_cast<std::size_t>(length));
    std::size_t start = 0;
    for (auto _ : state)
    {
        process(engine, path, input.data() + start, output.data(), length);
        benchmark::DoNotOptimize(output.data());
        benchmark::ClobberMemory();
        start = (start + static_cast<std::size_t>(length)) % input.size();
    }
    // Rates are per CPU second: the first inverted gives ns per host sample, the second the
    // seconds of audio processed per second.
    state.counters["ns_per_sample"] = benchmark::Counter(
        length * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["realtime_x"] = benchmark::Counter(
        static_cast<double>(length) / rate, benchmark::Counter::kIsIterationInvariantRate);
}

// Arguments: the sample rate and the samples per call.
void ratesAndShortBlocks(benchmark::internal::Benchmark* bench)
{
    bench->Args({44100, kBlock})->Args({96000, kBlock})->Args({192000, kBlock});
    bench->Args({44100, kShortBlock});
}

void processFloat(benchmark::State& state, Path path, Input kind = Input::signal)
{
    engineCost<float>(state, path, kind);
}

void processDouble(benchmark::State& state, Path path)
{
    engineCost<double>(state, path, Input::signal);
}
} // namespace

BENCHMARK_CAPTURE(processFloat, plain, Path::plain)->Apply(ratesAndShortBlocks);
BENCHMARK_CAPTURE(processFloat, sse2, Path::sse2)->Apply(ratesAndShortBlocks);
BENCHMARK_CAPTURE(processFloat, avx2, Path::avx2)->Apply(ratesAndShortBlocks);
BENCHMARK_CAPTURE(processFloat, avx512, Path::avx512)->Apply(ratesAndShortBlocks);
BENCHMARK_CAPTURE(processFloat, plain_silence, Path::plain, Input::silence)
    ->Apply(ratesAndShortBlocks);
BENCHMARK_CAPTURE(processFloat, sse2_silence, Path::sse2, Input::silence)
    ->Apply(ratesAndShortBlocks);
BENCHMARK_CAPTURE(processFloat, avx2_silence, Path::avx2, Input::silence)
    ->Apply(ratesAndShortBlocks);
BENCHMARK_CAPTURE(processFloat, avx512_silence, Path::avx512, Input::silence)
    ->Apply(ratesAndShortBlocks);
BENCHMARK_CAPTURE(processDouble, plain, Path::plain)->Apply(ratesAndShortBlocks);
BENCHMARK_CAPTURE(processDouble, sse2, Path::sse2)->Apply(ratesAndShortBlocks);
BENCHMARK_CAPTURE(processDouble, avx2, Path::avx2)->Apply(ratesAndShortBlocks);
BENCHMARK_CAPTURE(processDouble, avx512, Path::avx512)->Apply(ratesAndShortBlocks);

BENCHMARK_MAIN();
