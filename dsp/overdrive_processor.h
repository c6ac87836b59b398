#pragma once

#include "dsp/one_pole_filter.h"
#include "dsp/oversampling_cascade.h"
#include "dsp/simd_level.h"
#include "dsp/tone_shelf.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

// The mono overdrive engine: a 5 Hz input high-pass and a gain of 10, a limiter with a parallel
// arctangent saturation at 2, 4 or 8 times the host rate, then a low-pass, the tone shelf and the
// output level. Unsupported rates, bypass and a failed scratch allocation pass audio through.
//
// Threads: setParameter and getParameter may run on any thread while a block is processed; the
// control values and the gains derived from them are relaxed atomics, and the history clear that
// entering bypass asks for is carried out by the processing thread before its next full block.
// setSampleRate, reset and the process operations must not overlap each other.
class OverdriveProcessor
{
public:
    enum Control : std::int32_t
    {
        kDrive = 0,
        kTone = 1,
        kLevel = 2,
        kBypass = 3
    };

    // Where the scratch block comes from; tests substitute a failing allocator.
    struct HeapHooks
    {
        void* (*allocate)(std::size_t bytes);
        void (*release)(void* block);
    };

    OverdriveProcessor();
    explicit OverdriveProcessor(HeapHooks heap);
    ~OverdriveProcessor();
    OverdriveProcessor(const OverdriveProcessor&) = delete;
    OverdriveProcessor& operator=(const OverdriveProcessor&) = delete;

    void setSampleRate(std::int32_t rate);
    void setParameter(std::int32_t index, float value);
    float getParameter(std::int32_t index) const;
    void reset();

    // Both precisions; the output may be the input buffer. A count of 0 or less does nothing.
    void processFloat(const float* input, float* output, std::int32_t count);
    void processDouble(const double* input, double* output, std::int32_t count);

    // The same chain one host sample at a time, kept as the reference for the block paths above:
    // the SSE2 kernel computes the same numbers in the same order, the wider kernels the same
    // within rounding.
    void processFloatPlain(const float* input, float* output, std::int32_t count);
    void processDoublePlain(const double* input, double* output, std::int32_t count);

    // The block operations use the widest kernel the processor supports; a narrower one can be
    // chosen (tests and benchmarks do), a wider one than supported is taken as the widest.
    void setSimdLevel(SimdLevel wanted);
    SimdLevel getSimdLevel() const { return simdLevel; }

    std::int32_t getSampleRate() const;
    std::int32_t getFactor() const { return factor; }
    std::int32_t getOversampledRate() const { return oversampledRate; }
    double getDriveGain() const { return driveGain.load(std::memory_order_relaxed); }
    double getLevelGain() const { return levelGain.load(std::memory_order_relaxed); }
    const OnePoleFilter& getInputHighPass() const { return inputHighPass; }
    const OnePoleFilter& getClipHighPass() const { return clipHighPass; }
    const OnePoleFilter& getOutputLowPass() const { return outputLowPass; }
    const ToneShelf& getTone() const { return tone; }

private:
    template <typename Sample>
    void processBlock(const Sample* input, Sample* output, std::int32_t count);
    template <int Factor, typename Sample>
    void runStages(const Sample* input, Sample* output, std::int32_t count);
    template <typename Sample>
    void processPlain(const Sample* input, Sample* output, std::int32_t count);
    template <typename Sample>
    bool passThrough(const Sample* input, Sample* output, std::int32_t count);
    double clipSample(double v, double gain);
    void designFixedFilters();
    void updateTone(double x);
    void allocateScratch();

    OnePoleFilter inputHighPass;
    OnePoleFilter clipHighPass;
    std::atomic<double> driveGain;
    OversamplingCascade cascade;
    double* scratch = nullptr;
    OnePoleFilter outputLowPass;
    ToneShelf tone;
    std::atomic<double> levelGain;
    std::atomic<float> drive;
    std::atomic<float> toneValue;
    std::atomic<float> level;
    std::atomic<float> bypass;
    std::atomic<std::int32_t> sampleRate{0};
    std::int32_t oversampledRate = 0;
    std::int32_t factor = 0;
    bool rateUnsupported = true;
    bool allocationFailed = false;
    std::atomic<bool> bypassed;
    std::atomic<bool> resetPending{false};
    void* rawBlock = nullptr;
    HeapHooks heap;
    SimdLevel simdLevel = widestSimdLevel();
};
