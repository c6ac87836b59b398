#include "standalone/stream_processor.h"

#include "host/audio_effect.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace standalone
{

namespace
{

// The largest magnitude, in independent lanes that the compiler turns into vector code.
float peakOf(const float* samples, unsigned long frames)
{
    constexpr unsigned long kLanes = 8;
    float lanes[kLanes] = {};
    unsigned long i = 0;
    for (; i + kLanes <= frames; i += kLanes)
        for (unsigned long lane = 0; lane < kLanes; ++lane)
        {
            const float magnitude = std::fabs(samples[i + lane]);
            lanes[lane] = lanes[lane] > magnitude ? lanes[lane] : magnitude;
        }
    float peak = 0.0f;
    for (; i < frames; ++i)
        peak = std::max(peak, std::fabs(samples[i]));
    for (const float lane : lanes)
        peak = std::max(peak, lane);
    return peak;
}

} // namespace

StreamProcessor::StreamProcessor(AudioEffect& owner) : effect(owner) {}

void StreamProcessor::prepare(double rate, int inputChannel, const std::vector<int>& chosen,
                              int count)
{
    input = inputChannel;
    outputs = chosen;
    outputCount = count;
    gain = 0.0f;
    rampStep = static_cast<float>(1.0 / std::max(1.0, rate * kRampSeconds));
    stopping.store(false, std::memory_order_relaxed);
    silentFlag.store(true, std::memory_order_release);
}

float StreamProcessor::applyGain(float* samples, unsigned long frames)
{
    const bool down =
        mutedFlag.load(std::memory_order_relaxed) || stopping.load(std::memory_order_relaxed);
    const float target = down ? 0.0f : 1.0f;
    // Unity leaves the effect's samples exactly as they are.
    if (gain == target)
    {
        if (target == 0.0f)
            std::fill(samples, samples + frames, 0.0f);
        return gain;
    }
    for (unsigned long i = 0; i < frames; ++i)
    {
        gain = down ? std::max(0.0f, gain - rampStep) : std::min(1.0f, gain + rampStep);
        samples[i] *= gain;
    }
    return gain;
}

void StreamProcessor::process(const float* const* inputs, float* const* outputBuffers,
                              unsigned long frames, bool dropout)
{
    const float* in = inputs[input];
    const float blockPeak = peakOf(in, frames);
    if (blockPeak > peak.load(std::memory_order_relaxed))
        peak.store(blockPeak, std::memory_order_relaxed);
    if (blockPeak >= 1.0f)
        clipped.store(true, std::memory_order_relaxed);
    if (dropout)
        dropoutCount.fetch_add(1, std::memory_order_relaxed);

    float* main = outputBuffers[outputs.front()];
    float* effectInputs[] = {const_cast<float*>(in)};
    float* effectOutputs[] = {main};
    effect.processReplacing(effectInputs, effectOutputs, static_cast<VstInt32>(frames));
    const float reached = applyGain(main, frames);
    silentFlag.store(reached == 0.0f, std::memory_order_release);

    for (int channel = 0; channel < outputCount; ++channel)
    {
        float* out = outputBuffers[channel];
        if (out == main)
            continue;
        if (std::find(outputs.begin(), outputs.end(), channel) != outputs.end())
            std::memcpy(out, main, frames * sizeof(float));
        else
            std::memset(out, 0, frames * sizeof(float));
    }
    blockCount.fetch_add(1, std::memory_order_relaxed);
}

} // namespace standalone
