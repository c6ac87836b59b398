// The two processing paths of OverdriveProcessor, and the choice of the block path's kernel: the
// SSE2 one below, or on processors with AVX2 and FMA the wide kernel of dsp/wide_kernel.h.
//
// The per-sample path runs the whole chain for one host sample before the next. Its cost is the
// latency of the recursive filters, one after the other.
//
// The block path splits a block into chunks and the chain into stages (the input high-pass,
// stage 1, 2 and 3 up, the clipper's limit and high-pass, the three steps of its arctangent,
// stage 3, 2 and 1 down, and the output filters), each stage passing a chunk to the next through
// a buffer in the scratch block. In every round each stage works on its own chunk, stage k on the
// chunk that stage k-1 finished in the previous round, and all stages share one loop over the
// chunk. The work of one pass of that loop thus depends only on earlier passes, never on itself,
// so the recurrences of different stages and the arctangent's divisions overlap instead of
// waiting on each other. The allpass branches of a stage share an SSE2 register and the
// arctangent runs on pairs of samples without branches. Every filter keeps its own order of
// operations, so both paths compute the same numbers. (The wide kernel gives up that order to get
// past the latency of the clipper's high-pass, within rounding.)

#include "dsp/block_state.h"
#include "dsp/chain_constants.h"
#include "dsp/engine_layout.h"
#include "dsp/fast_atan.h"
#include "dsp/half_band_lanes.h"
#include "dsp/overdrive_processor.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <emmintrin.h>

namespace
{
using namespace chain;

// Non-finite input, and input too large to be audio, counts as silence.
template <typename Sample> double sanitized(Sample sample)
{
    const double x = static_cast<double>(sample);
    // Two comparisons rather than fabs, which the i686 build computes on the x87 stack.
    return x >= -kLargestInput && x <= kLargestInput ? x : 0.0;
}

double limited(double v)
{
    if (v > kLimit)
        return kLimit;
    if (v < -kLimit)
        return -kLimit;
    return v;
}

// clipSample in two halves for two consecutive oversampled samples: the limit and the high-pass
// recurrence in order, giving the limited pair and the arctangent arguments; then the saturation
// of the limited pair by their arctangents.
inline __m128d limitPair(__m128d samples)
{
    return _mm_max_pd(_mm_min_pd(samples, _mm_set1_pd(kLimit)), _mm_set1_pd(-kLimit));
}

inline __m128d highPassPair(__m128d held, OnePoleFilter& highPass, __m128d driveGain)
{
    const double early = highPass.highPass(_mm_cvtsd_f64(held));
    const double late = highPass.highPass(_mm_cvtsd_f64(_mm_unpackhi_pd(held, held)));
    return _mm_mul_pd(driveGain, _mm_set_pd(late, early));
}

inline __m128d saturatePair(__m128d held, __m128d r)
{
    return _mm_add_pd(held, _mm_mul_pd(_mm_set1_pd(kSaturationWeight), r));
}
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
    // The cascade writes factor samples to a scratch made for at most kMaxFactor.
    assert(factor == 2 || factor == 4 || factor == 8);
    // A control change lands at the next block boundary.
    const double driveValue = driveGain.load(std::memory_order_relaxed);
    const double outputGain = levelGain.load(std::memory_order_relaxed);
    const ToneShelf::Coefficients shelf = tone.coefficients();
    double* oversampled = scratch + engine_layout::kSampleScratch;
    for (std::int32_t i = 0; i < count; ++i)
    {
        const double x = sanitized(input[i]) + DENORMAL_OFFSET;
        const double u = inputHighPass.highPass(x) * kInputGain;
        cascade.upsample(u, oversampled);
        for (std::int32_t k = 0; k < factor; ++k)
            oversampled[k] = clipSample(oversampled[k], driveValue);
        const double d = cascade.downsample(oversampled);
        const double y = tone.step(outputLowPass.lowPass(d), shelf);
        output[i] = static_cast<Sample>(y * outputGain + DENORMAL_OFFSET);
    }
}

template <int Factor, typename Sample>
void OverdriveProcessor::runStages(const Sample* input, Sample* output, std::int32_t count)
{
    using namespace engine_layout;
    // processBlock passes only work for this instantiation, and the aligned loads and stores below
    // need the scratch block aligned.
    assert(count > 0 && factor == Factor);
    assert(reinterpret_cast<std::uintptr_t>(scratch) % kAlignment == 0);
    // Stages in chain order: the input high-pass, the way up, the clipper with its arctangent in
    // three stages of its own, one per division, the way down and the output filters. A stage
    // that a factor does not use takes the index of the stage before it.
    constexpr int kInput = 0;
    constexpr int kUpTo2 = 1;
    constexpr int kUpTo4 = Factor >= 4 ? kUpTo2 + 1 : kUpTo2;
    constexpr int kUpTo8 = Factor == 8 ? kUpTo4 + 1 : kUpTo4;
    constexpr int kClipHighPass = kUpTo8 + 1;
    constexpr int kAtanFold = kClipHighPass + 1;
    constexpr int kAtanReduce = kAtanFold + 1;
    constexpr int kAtanFinish = kAtanReduce + 1;
    constexpr int kDownFrom8 = Factor == 8 ? kAtanFinish + 1 : kAtanFinish;
    constexpr int kDownFrom4 = Factor >= 4 ? kDownFrom8 + 1 : kDownFrom8;
    constexpr int kDownTo1 = kDownFrom4 + 1;
    constexpr int kOutput = kDownTo1 + 1;
    constexpr int kStages = kOutput + 1;

    const double outputGain = levelGain.load(std::memory_order_relaxed);
    const __m128d driveGains = _mm_set1_pd(driveGain.load(std::memory_order_relaxed));
    const ToneShelf::Coefficients shelfCoefficients = tone.coefficients();

    double* up1 = scratch + kUp1;
    double* up2 = scratch + kUp2;
    double* up4 = scratch + kUp4;
    double* up8 = scratch + kUp8;
    double* folded = scratch + kFolded;
    double* reduced = scratch + kReduced;
    double* shifts = scratch + kShift;
    double* down8 = scratch + kDown8;
    double* down4 = scratch + kDown4;
    double* down2 = scratch + kDown2;
    double* down1 = scratch + kDown1;
    double* top = Factor == 8 ? up8 : Factor == 4 ? up4 : up2;
    double* clipped = Factor == 8 ? down8 : Factor == 4 ? down4 : down2;

    OnePoleFilter inputStage = inputHighPass;
    OnePoleFilter clipStage = clipHighPass;
    OnePoleFilter lowPass = outputLowPass;
    ToneShelf::History shelf = tone.history;
    UpsamplerLanes<6> upsampler1(cascade.stage1());
    UpsamplerLanes<3> upsampler2(cascade.stage2());
    UpsamplerLanes<2> upsampler3(cascade.stage3());
    DownsamplerLanes<2> downsampler3(cascade.stage3());
    DownsamplerLanes<3> downsampler2(cascade.stage2());
    DownsamplerLanes<6> downsampler1(cascade.stage1());

    // Short blocks take shorter chunks, so that the rounds in which the stages fill and drain
    // stay short too.
    const int span =
        static_cast<int>(std::clamp(count / kShortBlockChunks, kShortestChunk, kChunk));
    const std::int32_t chunks = (count + span - 1) / span;
    for (std::int32_t round = 0; round < chunks + kStages - 1; ++round)
    {
        int length[kStages];
        for (int stage = 0; stage < kStages; ++stage)
        {
            const std::int32_t chunk = round - stage;
            length[stage] = chunk >= 0 && chunk < chunks
                                ? static_cast<int>(std::min(span, count - chunk * span))
                                : 0;
        }
        const std::int32_t inputStart = round * span;
        const std::int32_t outputStart = (round - kOutput) * span;
        // The slot of the clipper's buffers that holds the chunk a stage works on this round.
        auto clipSlot = [&](int stage)
        {
            const int chunk = static_cast<int>(round) - stage;
            return static_cast<std::size_t>((chunk % kClipSlots + kClipSlots) % kClipSlots) *
                   kClipSlot;
        };
        double* held = scratch + kHeld + clipSlot(kClipHighPass);
        double* arguments = scratch + kArgument + clipSlot(kClipHighPass);
        const double* argumentsToFold = scratch + kArgument + clipSlot(kAtanFold);
        const double* argumentsToFinish = scratch + kArgument + clipSlot(kAtanFinish);
        const double* heldToFinish = scratch + kHeld + clipSlot(kAtanFinish);
        // Later stages first: each reads what the stage before it wrote in the previous round,
        // before that stage overwrites it in this one.
        const int busy = *std::max_element(length, length + kStages);
        for (int i = 0; i < busy; ++i)
        {
            if (i < length[kOutput])
            {
                const double y =
                    ToneShelf::step(lowPass.lowPass(down1[i]), shelfCoefficients, shelf);
                output[outputStart + i] = static_cast<Sample>(y * outputGain + DENORMAL_OFFSET);
            }
            if (i < length[kDownTo1])
            {
                const __m128d qp = downsampler1.branchOutputs(_mm_load_pd(down2 + 2 * i));
                down1[i] = DownsamplerLanes<6>::output(qp);
            }
            if constexpr (Factor >= 4)
            {
                if (i < length[kDownFrom4])
                {
                    const __m128d first = downsampler2.branchOutputs(_mm_load_pd(down4 + 4 * i));
                    const __m128d second =
                        downsampler2.branchOutputs(_mm_load_pd(down4 + 4 * i + 2));
                    _mm_store_pd(down2 + 2 * i, DownsamplerLanes<3>::outputs(first, second));
                }
            }
            if constexpr (Factor == 8)
            {
                if (i < length[kDownFrom8])
                {
#pragma GCC unroll 2
                    for (int j = 0; j < 4; j += 2)
                    {
                        const double* pairs = down8 + 8 * i + 2 * j;
                        const __m128d first = downsampler3.branchOutputs(_mm_load_pd(pairs));
                        const __m128d second = downsampler3.branchOutputs(_mm_load_pd(pairs + 2));
                        _mm_store_pd(down4 + 4 * i + j,
                                     DownsamplerLanes<2>::outputs(first, second));
                    }
                }
            }
            // The clipper, pair by pair, each stage of the arctangent on its own chunk.
#pragma GCC unroll 4
            for (int k = Factor * i; k < Factor * (i + 1); k += 2)
            {
                if (i < length[kAtanFinish])
                {
                    const AtanReducedPair z{_mm_load_pd(reduced + k), _mm_load_pd(shifts + k)};
                    const __m128d r = atanFinishedPair(_mm_load_pd(argumentsToFinish + k), z);
                    _mm_store_pd(clipped + k, saturatePair(_mm_load_pd(heldToFinish + k), r));
                }
                if (i < length[kAtanReduce])
                {
                    const AtanReducedPair z = atanReducedPair(_mm_load_pd(folded + k));
                    _mm_store_pd(reduced + k, z.z);
                    _mm_store_pd(shifts + k, z.shift);
                }
                if (i < length[kAtanFold])
                    _mm_store_pd(folded + k, atanFoldedPair(_mm_load_pd(argumentsToFold + k)));
                if (i < length[kClipHighPass])
                {
                    const __m128d limitedPair = limitPair(_mm_load_pd(top + k));
                    _mm_store_pd(held + k, limitedPair);
                    _mm_store_pd(arguments + k, highPassPair(limitedPair, clipStage, driveGains));
                }
            }
            if constexpr (Factor == 8)
            {
                if (i < length[kUpTo8])
                {
#pragma GCC unroll 4
                    for (int j = 0; j < 4; ++j)
                        _mm_store_pd(up8 + 8 * i + 2 * j, upsampler3.upsample(up4[4 * i + j]));
                }
            }
            if constexpr (Factor >= 4)
            {
                if (i < length[kUpTo4])
                {
#pragma GCC unroll 2
                    for (int j = 0; j < 2; ++j)
                        _mm_store_pd(up4 + 4 * i + 2 * j, upsampler2.upsample(up2[2 * i + j]));
                }
            }
            if (i < length[kUpTo2])
                _mm_store_pd(up2 + 2 * i, upsampler1.upsample(up1[i]));
            if (i < length[kInput])
            {
                const double x = sanitized(input[inputStart + i]) + DENORMAL_OFFSET;
                up1[i] = inputStage.highPass(x) * kInputGain;
            }
        }
    }

    inputHighPass = inputStage;
    clipHighPass = clipStage;
    outputLowPass = lowPass;
    tone.history = shelf;
    upsampler1.store(cascade.stage1());
    downsampler1.store(cascade.stage1());
    if constexpr (Factor >= 4)
    {
        upsampler2.store(cascade.stage2());
        downsampler2.store(cascade.stage2());
    }
    if constexpr (Factor == 8)
    {
        upsampler3.store(cascade.stage3());
        downsampler3.store(cascade.stage3());
    }
}

template <typename Sample>
void OverdriveProcessor::processBlock(const Sample* input, Sample* output, std::int32_t count)
{
    if (passThrough(input, output, count))
        return;
    if (simdLevel != SimdLevel::sse2)
    {
        BlockState state{inputHighPass,
                         clipHighPass,
                         outputLowPass,
                         tone.history,
                         tone.coefficients(),
                         driveGain.load(std::memory_order_relaxed),
                         levelGain.load(std::memory_order_relaxed),
                         cascade.stage1(),
                         cascade.stage2(),
                         cascade.stage3(),
                         scratch,
                         factor};
        if (simdLevel == SimdLevel::avx512)
            processBlockAvx512(state, input, output, count);
        else
            processBlockAvx2(state, input, output, count);
        return;
    }
    switch (factor)
    {
    case 8:
        runStages<8>(input, output, count);
        break;
    case 4:
        runStages<4>(input, output, count);
        break;
    default:
        runStages<2>(input, output, count);
        break;
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

void OverdriveProcessor::setSimdLevel(SimdLevel wanted)
{
    const SimdLevel widest = widestSimdLevel();
    simdLevel = wanted < widest ? wanted : widest;
}
