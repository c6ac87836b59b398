#include "soak_run.h"

#include "meters.h"
#include "tools/vsthost/tool_error.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <vector>

namespace
{
constexpr VstInt32 kAutomatedParameters = 4;
constexpr VstInt32 kLevel = 2;
constexpr VstInt32 kBypass = 3;
constexpr VstInt32 kMaxChannels = 64;

// The callback has no way to find its host before the instance exists.
const SoakOptions* currentOptions = nullptr;

VstIntPtr VSTCALLBACK soakHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    switch (opcode)
    {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterGetSampleRate:
        return static_cast<VstIntPtr>(currentOptions->sampleRate);
    case audioMasterGetBlockSize:
        return currentOptions->blockSize;
    default:
        return 0;
    }
}

AEffect* openInstance(PluginEntry entry, const SoakOptions& options)
{
    currentOptions = &options;
    AEffect* effect = entry(soakHost);
    if (effect == nullptr || effect->magic != kEffectMagic)
        throw ToolError(kExitNoInstance, "the plug-in answered no instance: " + options.plugin);
    const bool usable = effect->dispatcher != nullptr && effect->setParameter != nullptr &&
                        effect->processReplacing != nullptr && effect->numInputs >= 1 &&
                        effect->numOutputs >= 1 && effect->numInputs <= kMaxChannels &&
                        effect->numOutputs <= kMaxChannels;
    if (!usable)
        throw ToolError(kExitNoInstance,
                        "the plug-in's instance cannot process audio in place: " + options.plugin);
    if (options.doublePrecision && ((effect->flags & effFlagsCanDoubleReplacing) == 0 ||
                                    effect->processDoubleReplacing == nullptr))
    {
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
        throw ToolError(kExitUnsupported,
                        "the plug-in cannot process in double precision: " + options.plugin);
    }
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr,
                       static_cast<float>(options.sampleRate));
    effect->dispatcher(effect, effSetBlockSize, 0, options.blockSize, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    return effect;
}

void closeInstance(AEffect* effect)
{
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

// What the host changes before one block: a program, then every parameter.
struct BlockAutomation
{
    VstInt32 program;
    float values[kAutomatedParameters];
};

BlockAutomation randomAutomation(SoakRandom& random, VstInt32 programs)
{
    BlockAutomation automation{};
    automation.program = programs > 0 ? random.below(programs) : 0;
    for (float& value : automation.values)
        value = static_cast<float>(random.uniform());
    // Full Level often, so that the bound is seen at its loudest setting.
    if (random.below(4) == 0)
        automation.values[kLevel] = 1.0f;
    // Bypass clears the histories, which would hide slowly decaying tails: engage it rarely.
    if (random.below(1024) != 0)
        automation.values[kBypass] = 0.0f;
    return automation;
}

void process(AEffect* effect, float** in, float** out, VstInt32 frames)
{
    effect->processReplacing(effect, in, out, frames);
}

void process(AEffect* effect, double** in, double** out, VstInt32 frames)
{
    effect->processDoubleReplacing(effect, in, out, frames);
}

template <typename Sample> class SoakLoop
{
public:
    SoakLoop(AEffect* effect, const SoakOptions& options)
        : effect_(effect), options_(options), signal_(options.seed, options.sampleRate),
          automationRandom_(~options.seed)
    {
        const auto segment = static_cast<std::size_t>(
            std::ceil(TestSignal::kMaxSegmentSeconds * options.sampleRate));
        generated_.resize(segment);
        input_.resize(segment);
        output_.resize(segment);
        automation_.resize(segment / static_cast<std::size_t>(options.blockSize) + 1);
        blockCost_.resize(automation_.size());
        // Channels beyond the first read silence and write to a discarded buffer.
        spareInput_.assign(static_cast<std::size_t>(options.blockSize), Sample(0));
        spareOutput_.resize(static_cast<std::size_t>(options.blockSize));
        inputs_.assign(static_cast<std::size_t>(effect->numInputs), spareInput_.data());
        outputs_.assign(static_cast<std::size_t>(effect->numOutputs), spareOutput_.data());
        parameters_ = std::min(effect->numParams, kAutomatedParameters);
    }

    void run(SoakResult& result)
    {
        const auto total =
            static_cast<long long>(std::llround(options_.seconds * options_.sampleRate));
        const auto wallStart = std::chrono::steady_clock::now();
        int segments = 0;
        while (result.samples < total)
        {
            const SignalKind kind = signal_.beginSegment();
            const long length = static_cast<long>(
                std::min<long long>(signal_.segmentLength(), total - result.samples));
            prepare(length);
            processSegment(length);
            inspect(kind, length, result);
            result.samples += length;

            // The start is taken once every kind has run, so that code and pages first touched
            // by a kind do not count as growth.
            const std::int64_t memory = processMemoryBytes();
            if (++segments == kSignalKinds || result.memoryStart < 0)
                result.memoryStart = memory;
            result.memoryPeak = std::max(result.memoryPeak, memory);
            result.memoryEnd = memory;
        }
        result.wallSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    }

private:
    long blocks(long length) const
    {
        return (length + options_.blockSize - 1) / options_.blockSize;
    }

    // Everything random is drawn before the clock starts: only the plug-in's work is timed.
    void prepare(long length)
    {
        signal_.fill(generated_.data(), length);
        std::transform(generated_.begin(), generated_.begin() + length, input_.begin(),
                       [](double sample) { return static_cast<Sample>(sample); });
        for (long block = 0; block < blocks(length); ++block)
            automation_[static_cast<std::size_t>(block)] =
                randomAutomation(automationRandom_, effect_->numPrograms);
    }

    void processSegment(long length)
    {
        for (long block = 0; block < blocks(length); ++block)
        {
            const std::int64_t start = costClockNanoseconds();
            const BlockAutomation& automation = automation_[static_cast<std::size_t>(block)];
            effect_->dispatcher(effect_, effSetProgram, 0, automation.program, nullptr, 0.0f);
            for (VstInt32 index = 0; index < parameters_; ++index)
                effect_->setParameter(effect_, index, automation.values[index]);
            const long offset = block * options_.blockSize;
            inputs_[0] = input_.data() + offset;
            outputs_[0] = output_.data() + offset;
            process(effect_, inputs_.data(), outputs_.data(),
                    static_cast<VstInt32>(std::min<long>(options_.blockSize, length - offset)));
            blockCost_[static_cast<std::size_t>(block)] = costClockNanoseconds() - start;
        }
    }

    void inspect(SignalKind kind, long length, SoakResult& result) const
    {
        for (long block = 0; block < blocks(length); ++block)
        {
            const long begin = block * options_.blockSize;
            const long end = std::min<long>(begin + options_.blockSize, length);
            double peak = 0.0;
            for (long i = begin; i < end; ++i)
            {
                const double sample = static_cast<double>(output_[static_cast<std::size_t>(i)]);
                if (std::isfinite(sample))
                    peak = std::max(peak, std::fabs(sample));
                else if (result.nonFiniteSamples++ == 0)
                    result.firstNonFiniteSecond =
                        static_cast<double>(result.samples + i) / options_.sampleRate;
            }
            result.peaks.add(automation_[static_cast<std::size_t>(block)].values[kLevel], peak);
            result.cost.add(kind, end - begin, blockCost_[static_cast<std::size_t>(block)]);
        }
    }

    AEffect* effect_;
    const SoakOptions& options_;
    TestSignal signal_;
    SoakRandom automationRandom_;
    VstInt32 parameters_ = 0;
    std::vector<double> generated_;
    std::vector<Sample> input_, output_, spareInput_, spareOutput_;
    std::vector<Sample*> inputs_, outputs_;
    std::vector<BlockAutomation> automation_;
    std::vector<std::int64_t> blockCost_;
};
// The smallest step the cost clock makes, in nanoseconds.
std::int64_t costClockStep()
{
    std::int64_t step = std::numeric_limits<std::int64_t>::max();
    for (int i = 0; i < 16; ++i)
    {
        const std::int64_t start = costClockNanoseconds();
        std::int64_t now = start;
        while (now == start)
            now = costClockNanoseconds();
        step = std::min(step, now - start);
    }
    return step;
}
} // namespace

SoakResult runSoak(PluginEntry entry, const SoakOptions& options)
{
    const double windowSamples = options.windowSeconds * options.sampleRate;
    const auto expectedWindows =
        static_cast<std::size_t>(options.seconds * options.sampleRate / windowSamples) + 1;
    // Each segment ends in a partial block; segments are at least two seconds long.
    const double shortestSegment = TestSignal::kMinSegmentSeconds * options.sampleRate;
    const auto blocksPerWindow = static_cast<std::size_t>(windowSamples / options.blockSize +
                                                          windowSamples / shortestSegment + 4);
    SoakResult result(windowSamples, expectedWindows, blocksPerWindow);
    result.costStep = static_cast<double>(costClockStep()) / options.blockSize;
    AEffect* effect = openInstance(entry, options);
    if (options.doublePrecision)
        SoakLoop<double>(effect, options).run(result);
    else
        SoakLoop<float>(effect, options).run(result);
    closeInstance(effect);
    return result;
}
