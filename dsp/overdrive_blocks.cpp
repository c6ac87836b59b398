// The two processing paths of OverdriveProcessor. The per-sample path follows the chain one host
// sample at a time; the block path runs each stage over a chunk of host samples, with the allpass
// branches paired in SSE2 registers and the arctangent computed two samples at a time. Both
// perform the same double-precision operations in the same order, so they agree bit for bit.

#include "dsp/engine_layout.h"
#include "dsp/fast_atan.h"
#include "dsp/overdrive_processor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <emmintrin.h>

namespace
{
constexpr double kInputGain = 10.0;
constexpr double kLimit = 7.8;
constexpr double kSaturationWeight = 1.2732365673542143;
// Beyond this the filters could overflow into infinities that would never leave their histories.
constexpr double kLargestInput = 1e200;

// Non-finite input, and input too large to be audio, counts as silence.
template <typename Sample> double sanitized(Sample sample)
{
    const double x = static_cast<double>(sample);
    return std::fabs(x) <= kLargestInput ? x : 0.0;
}

double limited(double v)
{
    if (v > kLimit)
        return kLimit;
    if (v < -kLimit)
        return -kLimit;
    return v;
}

// What stays constant over one block: a control change lands at the next block boundary.
struct BlockGains
{
    double drive;
    double level;
    ToneShelf::Coefficients tone;
};
} // namespace

double OverdriveProcessor::clipSample(double v, double gain)
{
    const double held = limited(v);
    const double hp = clipHighPass.highPass(held);
    const double r = fastAtan(gain * hp);
    return held + kSaturationWeight * r;
}

template <typename Sample>
bool OverdriveProcessor::passThrough(const Sample* input, Sample* output, std::int32_t count)
{
    if (count <= 0)
        return true;
    if (bypassed.load(std::memory_order_acquire) || rateUnsupported || allocationFailed)
    {
        if (input != output)
            std::memmove(output, input, static_cast<std::size_t>(count) * sizeof(Sample));
        return true;
    }
    if (resetPending.load(std::memory_order_relaxed))
        reset();
    return false;
}

template <typename Sample>
void OverdriveProcessor::processPlain(const Sample* input, Sample* output, std::int32_t count)
{
    if (passThrough(input, output, count))
        return;
    const BlockGains gains{driveGain.load(std::memory_order_relaxed),
                           levelGain.load(std::memory_order_relaxed), tone.coefficients()};
    double* oversampled = scratch + engine_layout::kSampleScratch;
    for (std::int32_t i = 0; i < count; ++i)
    {
        const double x = sanitized(input[i]) + DENORMAL_OFFSET;
        const double u = inputHighPass.highPass(x) * kInputGain;
        cascade.upsample(u, oversampled);
        for (std::int32_t k = 0; k < factor; ++k)
            oversampled[k] = clipSample(oversampled[k], gains.drive);
        const double d = cascade.downsample(oversampled);
        const double y = tone.step(outputLowPass.lowPass(d), gains.tone);
        output[i] = static_cast<Sample>(y * gains.level + DENORMAL_OFFSET);
    }
}

namespace
{
// The clipper over a chunk of oversampled samples, in place. The high-pass recurrence stays
// scalar and in order; the limit and the arctangent of each pair of samples run in one register.
void clipChunk(double* samples, int count, OnePoleFilter& filter, double driveGain)
{
    OnePoleFilter hp = filter;
    const __m128d upper = _mm_set1_pd(kLimit);
    const __m128d lower = _mm_set1_pd(-kLimit);
    const __m128d gain = _mm_set1_pd(driveGain);
    const __m128d weight = _mm_set1_pd(kSaturationWeight);
    for (int k = 0; k < count; k += 2)
    {
        const __m128d held = _mm_max_pd(_mm_min_pd(_mm_load_pd(samples + k), upper), lower);
        const double early = hp.highPass(_mm_cvtsd_f64(held));
        const double late = hp.highPass(_mm_cvtsd_f64(_mm_unpackhi_pd(held, held)));
        const __m128d r = fastAtanPair(_mm_mul_pd(gain, _mm_set_pd(late, early)));
        _mm_store_pd(samples + k, _mm_add_pd(held, _mm_mul_pd(weight, r)));
    }
    filter = hp;
}
} // namespace

template <typename Sample>
void OverdriveProcessor::processBlock(const Sample* input, Sample* output, std::int32_t count)
{
    if (passThrough(input, output, count))
        return;
    const BlockGains gains{driveGain.load(std::memory_order_relaxed),
                           levelGain.load(std::memory_order_relaxed), tone.coefficients()};
    double* host = scratch + engine_layout::kHostChunk;
    double* work = scratch + engine_layout::kWork;
    double* oversampled = scratch + engine_layout::kOversampled;
    for (std::int32_t start = 0; start < count; start += engine_layout::kChunk)
    {
        const int n =
            static_cast<int>(std::min<std::int32_t>(engine_layout::kChunk, count - start));
        const Sample* in = input + start;
        Sample* out = output + start;

        OnePoleFilter inputStage = inputHighPass;
        for (int i = 0; i < n; ++i)
            host[i] = inputStage.highPass(sanitized(in[i]) + DENORMAL_OFFSET) * kInputGain;
        inputHighPass = inputStage;

        cascade.upsampleBlock(host, oversampled, work, n);
        clipChunk(oversampled, n * factor, clipHighPass, gains.drive);
        cascade.downsampleBlock(oversampled, host, n);

        OnePoleFilter lowPass = outputLowPass;
        ToneShelf::History shelf = tone.history;
        for (int i = 0; i < n; ++i)
        {
            const double y = ToneShelf::step(lowPass.lowPass(host[i]), gains.tone, shelf);
            out[i] = static_cast<Sample>(y * gains.level + DENORMAL_OFFSET);
        }
        outputLowPass = lowPass;
        tone.history = shelf;
    }
}

void OverdriveProcessor::processFloat(const float* input, float* output, std::int32_t count)
{
    processBlock(input, output, count);
}

void OverdriveProcessor::processDouble(const double* input, double* output, std::int32_t count)
{
    processBlock(input, output, count);
}

void OverdriveProcessor::processFloatPlain(const float* input, float* output, std::int32_t count)
{
    processPlain(input, output, count);
}

void OverdriveProcessor::processDoublePlain(const double* input, double* output, std::int32_t count)
{
    processPlain(input, output, count);
}
