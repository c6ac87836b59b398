// The block kernel for processors with AVX2 and FMA. This file alone is built with those
// instruction sets; the processor calls it only after checking that the CPU has them.
//
// The SSE2 block path keeps every filter's order of operations and is therefore bound by the
// latency of the slowest recursion: the clipper's high-pass, eight dependent steps per host sample
// at 8x. This kernel gives up that order, within rounding:
// - The clipper's high-pass y[n] = p y[n-1] + e[n] runs four samples at a time: a prefix sum of
//   the e within the group, then one FMA from the previous group's last output.
// - Every allpass section computes a*s + x off its recursion, leaving one FMA per step on it.
// - A stage's upsampler and downsampler share one four-lane register, on different chunks.
// - The arctangent takes one division instead of three: its reduced argument stays a ratio
//   P/Q until the rational form, whose numerator and denominator then take the factors in Q.
//   The range tests are those of the per-sample path (except for arguments within an ulp of a
//   threshold, which the reordered high-pass may put on the other side).
//
// A block is split into chunks. In a round, the input high-pass takes a new chunk and every
// stage's upsampler the chunk the stage before it made in that round; the downsamplers trail by
// one round per stage, so that each reads what the stage above made in the round before.
// Buffers carry nothing from one block to the next.

#include "dsp/block_state.h"
#include "dsp/chain_constants.h"
#include "dsp/engine_layout.h"
#include "dsp/fast_atan.h"
#include "dsp/merged_stage.h"

#include <immintrin.h>

namespace
{
using namespace engine_layout;

// Short blocks take shorter chunks, so that the rounds in which the downsamplers trail stay short.
int chunkFor(std::int32_t count)
{
    const std::int32_t quarter = count / 4;
    if (quarter >= kWideChunk)
        return kWideChunk;
    return quarter < 4 ? 4 : static_cast<int>(quarter);
}

// a * b + c with a single rounding.
inline double fused(double a, double b, double c)
{
    return __builtin_fma(a, b, c);
}

// Two pairs of branch outputs (q, p) to the two stage outputs (q + p) / 2 below them.
inline __m128d stageOutputs(const double* branches)
{
    const __m128d sums = _mm_hadd_pd(_mm_loadu_pd(branches), _mm_loadu_pd(branches + 2));
    return _mm_mul_pd(sums, _mm_set1_pd(0.5));
}

// Steps first to last of a merged stage: the upsampler's inputs from up, one per step, the
// downsampler's pairs from pairs(j); two upsampled outputs and two branch outputs per step.
template <int N, typename Pairs>
void runSteps(MergedStage<N>& stage, const double* up, double* upsampled, Pairs pairs,
              double* branches, int first, int last)
{
    for (int j = first; j < last; ++j)
    {
        const __m256d s =
            _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loaddup_pd(up + j)), pairs(j), 1);
        const __m256d out = stage.step(s);
        _mm_storeu_pd(upsampled + 2 * j, _mm256_castpd256_pd128(out));
        _mm_storeu_pd(branches + 2 * j, _mm256_extractf128_pd(out, 1));
    }
}

// One round of a merged stage with upSteps for the upsampler and downSteps for the downsampler.
// Past the shorter of the two, its lanes compute on stale buffer contents and get their histories
// back afterwards.
template <int N, typename Pairs>
void runRound(MergedStage<N>& stage, int upSteps, int downSteps, const double* up,
              double* upsampled, Pairs pairs, double* branches)
{
    const int both = upSteps < downSteps ? upSteps : downSteps;
    const int steps = upSteps < downSteps ? downSteps : upSteps;
    runSteps(stage, up, upsampled, pairs, branches, 0, both);
    if (steps == both)
        return;
    const typename MergedStage<N>::Histories saved = stage.histories();
    runSteps(stage, up, upsampled, pairs, branches, both, steps);
    const __m256d all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
    const __m256d upLanes = _mm256_blend_pd(_mm256_setzero_pd(), all, 0x3);
    const __m256d downLanes = _mm256_blend_pd(_mm256_setzero_pd(), all, 0xC);
    stage.restore(saved, upSteps < downSteps ? upLanes : downLanes);
}

// fastAtan of four values with one division. With a <= b the magnitude folded into [0, 1] is
// a / b, and after the shift by pi/6 it is P / Q with P = a - b tan(pi/6), Q = a tan(pi/6) + b;
// the rational form z (c0 + c1 z^2) / (1 + c2 z^2) of z = P / Q is
// P (c0 Q^2 + c1 P^2) / (Q (Q^2 + c2 P^2)).
inline __m256d atanQuad(__m256d w)
{
    using namespace fast_atan;
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d signBit = _mm256_set1_pd(-0.0);
    const __m256d tanPiOver6 = _mm256_set1_pd(kTanPiOver6);
    const __m256d magnitude = _mm256_andnot_pd(signBit, w);
    const __m256d a = _mm256_min_pd(magnitude, one);
    const __m256d b = _mm256_max_pd(magnitude, one);
    const __m256d complement = _mm256_cmp_pd(magnitude, one, _CMP_GT_OQ);
    const __m256d shift =
        _mm256_cmp_pd(a, _mm256_mul_pd(b, _mm256_set1_pd(kTanPiOver12)), _CMP_GT_OQ);
    const __m256d p = _mm256_blendv_pd(a, _mm256_fnmadd_pd(b, tanPiOver6, a), shift);
    const __m256d q = _mm256_blendv_pd(b, _mm256_fmadd_pd(a, tanPiOver6, b), shift);
    const __m256d p2 = _mm256_mul_pd(p, p);
    const __m256d q2 = _mm256_mul_pd(q, q);
    const __m256d numerator =
        _mm256_mul_pd(p, _mm256_fmadd_pd(_mm256_set1_pd(kNumeratorSlope), p2,
                                         _mm256_mul_pd(_mm256_set1_pd(kNumeratorConstant), q2)));
    const __m256d denominator =
        _mm256_mul_pd(q, _mm256_fmadd_pd(_mm256_set1_pd(kDenominatorSlope), p2, q2));
    __m256d r = _mm256_div_pd(numerator, denominator);
    r = _mm256_add_pd(r, _mm256_and_pd(shift, _mm256_set1_pd(kPiOver6)));
    r = _mm256_blendv_pd(r, _mm256_sub_pd(_mm256_set1_pd(kPiOver2), r), complement);
    return _mm256_xor_pd(r, _mm256_and_pd(w, signBit));
}

// The clipper over a chunk, four oversampled samples at a time.
class Clipper
{
public:
    Clipper(const OnePoleFilter& highPass, double driveGain)
        : gain(_mm256_set1_pd(highPass.gain)), pole(_mm256_set1_pd(highPass.pole)),
          poleSquared(_mm256_set1_pd(highPass.pole * highPass.pole)),
          powers(_mm256_setr_pd(highPass.pole, highPass.pole * highPass.pole,
                                highPass.pole * highPass.pole * highPass.pole,
                                highPass.pole * highPass.pole * highPass.pole * highPass.pole)),
          drive(_mm256_set1_pd(driveGain)), lastInput(_mm256_set1_pd(highPass.previousInput)),
          lastOutput(_mm256_set1_pd(highPass.previousOutput))
    {
    }

    // n samples from samples to clipped; past an odd pair, the last group runs two lanes short.
    void run(const double* samples, double* clipped, int n)
    {
        int k = 0;
        for (; k + 4 <= n; k += 4)
            group<0xFF>(samples + k, clipped + k);
        if (k < n)
            group<0x55>(samples + k, clipped + k);
    }

    void store(OnePoleFilter& highPass) const
    {
        highPass.previousInput = _mm256_cvtsd_f64(lastInput);
        highPass.previousOutput = _mm256_cvtsd_f64(lastOutput);
    }

private:
    // Last selects the lane (broadcast) that carries the histories on: 0xFF lane 3, 0x55 lane 1.
    template <int Last> void group(const double* samples, double* clipped)
    {
        const __m256d zero = _mm256_setzero_pd();
        const __m256d held =
            _mm256_max_pd(_mm256_min_pd(_mm256_loadu_pd(samples), _mm256_set1_pd(chain::kLimit)),
                          _mm256_set1_pd(-chain::kLimit));
        const __m256d previous = _mm256_blend_pd(_mm256_permute4x64_pd(held, 0x90), lastInput, 0x1);
        const __m256d feed =
            _mm256_fmadd_pd(gain, _mm256_sub_pd(held, previous), _mm256_set1_pd(DENORMAL_OFFSET));
        const __m256d once = _mm256_fmadd_pd(
            pole, _mm256_blend_pd(_mm256_permute4x64_pd(feed, 0x90), zero, 0x1), feed);
        const __m256d prefix = _mm256_fmadd_pd(
            poleSquared, _mm256_blend_pd(_mm256_permute4x64_pd(once, 0x40), zero, 0x3), once);
        const __m256d out = _mm256_fmadd_pd(powers, lastOutput, prefix);
        lastInput = _mm256_permute4x64_pd(held, Last);
        lastOutput = _mm256_permute4x64_pd(out, Last);
        const __m256d r = atanQuad(_mm256_mul_pd(drive, out));
        _mm256_storeu_pd(clipped,
                         _mm256_fmadd_pd(_mm256_set1_pd(chain::kSaturationWeight), r, held));
    }

    __m256d gain;
    __m256d pole;
    __m256d poleSquared;
    __m256d powers;
    __m256d drive;
    __m256d lastInput;
    __m256d lastOutput;
};

template <typename Sample>
void inputStage(OnePoleFilter& highPass, const Sample* input, double* up, int n)
{
    double previousInput = highPass.previousInput;
    double previousOutput = highPass.previousOutput;
    for (int i = 0; i < n; ++i)
    {
        const double raw = static_cast<double>(input[i]);
        const double sane = raw >= -chain::kLargestInput && raw <= chain::kLargestInput ? raw : 0.0;
        const double x = sane + DENORMAL_OFFSET;
        previousOutput =
            highPass.gain * (x - previousInput) + highPass.pole * previousOutput + DENORMAL_OFFSET;
        previousInput = x;
        up[i] = previousOutput * chain::kInputGain;
    }
    highPass.previousInput = previousInput;
    highPass.previousOutput = previousOutput;
}

template <typename Sample>
void outputStage(BlockState& state, const double* branches, Sample* output, int n)
{
    OnePoleFilter& lowPass = state.outputLowPass;
    ToneShelf::History& shelf = state.shelf;
    const ToneShelf::Coefficients& c = state.shelfCoefficients;
    const double shelfGain = c.g - 1.0;
    for (int i = 0; i < n; ++i)
    {
        const double d = (branches[2 * i] + branches[2 * i + 1]) * 0.5;
        const double low = lowPass.gain * (d + lowPass.previousInput) +
                           lowPass.pole * lowPass.previousOutput + DENORMAL_OFFSET;
        lowPass.previousInput = d;
        lowPass.previousOutput = low;
        const double t =
            c.h * (low - shelf.previousInput) + c.q * shelf.previousOutput + DENORMAL_OFFSET;
        shelf.previousInput = low;
        shelf.previousOutput = t;
        const double y = low + shelfGain * t;
        output[i] = static_cast<Sample>(y * state.levelGain + DENORMAL_OFFSET);
    }
}

template <int Factor, typename Sample>
void runChunks(BlockState& state, const Sample* input, Sample* output, std::int32_t count)
{
    constexpr int kStages = Factor == 8 ? 3 : Factor == 4 ? 2 : 1;
    double* const up1 = state.scratch + kWideUp1;
    double* const up2 = state.scratch + kWideUp2;
    double* const up4 = state.scratch + kWideUp4;
    double* const up8 = state.scratch + kWideUp8;
    double* const clipped = state.scratch + kWideClipped;
    double* const branches3 = state.scratch + kWideBranches3;
    double* const branches2 = state.scratch + kWideBranches2;
    double* const branches1 = state.scratch + kWideBranches1;
    double* const top = Factor == 8 ? up8 : Factor == 4 ? up4 : up2;

    MergedStage<6> stage1(state.stage1);
    MergedStage<3> stage2(state.stage2);
    MergedStage<2> stage3(state.stage3);
    Clipper clipper(state.clipHighPass, state.driveGain);
    auto clippedPairs = [clipped](int j) { return _mm_loadu_pd(clipped + 2 * j); };
    auto pairsFrom2 = [branches2](int j) { return stageOutputs(branches2 + 4 * j); };
    auto pairsFrom3 = [branches3](int j) { return stageOutputs(branches3 + 4 * j); };

    const int chunk = chunkFor(count);
    const std::int32_t chunks = (count + chunk - 1) / chunk;
    auto length = [&](std::int32_t index)
    {
        return index < 0 || index >= chunks
                   ? 0
                   : static_cast<int>(count - index * chunk < chunk ? count - index * chunk
                                                                    : chunk);
    };
    for (std::int32_t round = 0; round < chunks + kStages; ++round)
    {
        const int fresh = length(round);
        if (fresh > 0)
            inputStage(state.inputHighPass, input + round * chunk, up1, fresh);
        const int down1 = length(round - kStages);
        if constexpr (Factor == 2)
            runRound(stage1, fresh, down1, up1, up2, clippedPairs, branches1);
        else
            runRound(stage1, fresh, down1, up1, up2, pairsFrom2, branches1);
        if constexpr (Factor == 4)
            runRound(stage2, 2 * fresh, 2 * length(round - 1), up2, up4, clippedPairs, branches2);
        if constexpr (Factor == 8)
        {
            runRound(stage2, 2 * fresh, 2 * length(round - 2), up2, up4, pairsFrom3, branches2);
            runRound(stage3, 4 * fresh, 4 * length(round - 1), up4, up8, clippedPairs, branches3);
        }
        if (fresh > 0)
            clipper.run(top, clipped, Factor * fresh);
        if (down1 > 0)
            outputStage(state, branches1, output + (round - kStages) * chunk, down1);
    }

    clipper.store(state.clipHighPass);
    stage1.store(state.stage1);
    if constexpr (Factor >= 4)
        stage2.store(state.stage2);
    if constexpr (Factor == 8)
        stage3.store(state.stage3);
}

template <typename Sample>
void processBlock(BlockState& state, const Sample* input, Sample* output, std::int32_t count)
{
    switch (state.factor)
    {
    case 8:
        runChunks<8>(state, input, output, count);
        break;
    case 4:
        runChunks<4>(state, input, output, count);
        break;
    default:
        runChunks<2>(state, input, output, count);
        break;
    }
}
} // namespace

void processBlockAvx2(BlockState& state, const float* input, float* output, std::int32_t count)
{
    processBlock(state, input, output, count);
}

void processBlockAvx2(BlockState& state, const double* input, double* output, std::int32_t count)
{
    processBlock(state, input, output, count);
}
