// What the audio callback does, apart from the device: the chosen input channel through the
// effect to the chosen output channels, a short gain ramp for muting, starting and stopping
// without a click, the input's peak and clip for the meter, and the count of dropouts. The
// callback side allocates nothing, takes no lock and makes no system call; the other threads
// reach it through atomics.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

class AudioEffect;

namespace standalone
{

class StreamProcessor
{
public:
    explicit StreamProcessor(AudioEffect& effect);

    // Before a stream starts (not while one runs): channels are 0-based indexes into the
    // buffers process gets; the output starts silent and fades in.
    void prepare(double rate, int inputChannel, const std::vector<int>& outputChannels,
                 int outputCount);

    // The audio thread: one block of non-interleaved buffers.
    void process(const float* const* inputs, float* const* outputs, unsigned long frames,
                 bool dropout);

    // Any thread.
    void setMuted(bool muted) { mutedFlag.store(muted, std::memory_order_relaxed); }
    bool muted() const { return mutedFlag.load(std::memory_order_relaxed); }
    // Fades the output out ahead of a stop; silent() tells when it has.
    void fadeOut() { stopping.store(true, std::memory_order_relaxed); }
    bool silent() const { return silentFlag.load(std::memory_order_acquire); }
    // The input's highest magnitude since the last call.
    float takePeak() { return peak.exchange(0.0f, std::memory_order_relaxed); }
    // Whether the input reached full scale since the last call.
    bool takeClip() { return clipped.exchange(false, std::memory_order_relaxed); }
    std::uint64_t dropouts() const { return dropoutCount.load(std::memory_order_relaxed); }
    std::uint64_t blocks() const { return blockCount.load(std::memory_order_relaxed); }

    static constexpr double kRampSeconds = 0.005;

private:
    float applyGain(float* samples, unsigned long frames);

    AudioEffect& effect;
    int input = 0;
    std::vector<int> outputs; // the first gets the effect's output, the rest copies of it
    int outputCount = 0;
    float gain = 0.0f; // audio thread only
    float rampStep = 1.0f;
    std::atomic<bool> mutedFlag{false};
    std::atomic<bool> stopping{false};
    std::atomic<bool> silentFlag{true};
    std::atomic<float> peak{0.0f};
    std::atomic<bool> clipped{false};
    std::atomic<std::uint64_t> dropoutCount{0};
    std::atomic<std::uint64_t> blockCount{0};
};

} // namespace standalone
