#pragma once

// The block kernel for processors with AVX2 and FMA, built once for AVX2 and once for AVX-512 by
// the two files that include this header; everything in it is local to the including file.
//
// The SSE2 block path keeps every filter's order of operations and is therefore bound by the
// latency of the slowest recursion: the clipper's high-pass, eight dependent steps per host sample
// at 8x. This kernel gives up that order within rounding:
// - the clipper runs its high-pass on groups of samples and its arctangent with one division
//   (dsp/wide_clipper.h);
// - every allpass section computes a*s + x off its recursion, leaving one FMA per step on it;
//   in 64-bit AVX-512 code the top stage at 8x runs its recursions two steps long, as two chains;
// - a stage's upsampler and downsampler share one four-lane register (dsp/merged_stage.h).
// The host-rate filters keep their order: the 5 Hz high-pass, its pole closest to 1, would
// otherwise multiply the rounding differences most.
//
// A block is split into chunks. In a round, the input high-pass takes a new chunk and every
// stage's upsampler the chunk the stage before it made in the same round; the downsamplers trail
// by one round per stage, so that each reads what the stage above made in the round before. The
// host-rate ends of the chain share a loop; the output filters take a chunk one round after the
// first stage has finished it. Buffers carry nothing from one block to the next.

#include "dsp/block_state.h"
#include "dsp/engine_layout.h"
#include "dsp/merged_stage.h"
#include "dsp/wide_clipper.h"

#include <cassert>
#include <immintrin.h>

namespace
{
struct LocalTag
{
};

template <int N> using Stage = MergedStage<N, LocalTag>;

// Short blocks take shorter chunks, about a sixth of the block, so that the rounds in which the
// downsamplers trail stay short; with more chunks, the rounds' own starts would cost more than
// that saves (64-sample blocks run about 0.5 ns a sample faster in chunks of 10 than of 8 or 16).
int chunkFor(std::int32_t count)
{
    const std::int32_t sixth = count / 6;
    if (sixth >= engine_layout::kWideChunk)
        return engine_layout::kWideChunk;
    return sixth < 4 ? 4 : static_cast<int>(sixth);
}

// What the upsampler of a stage above the first reads: the stage before it, one value a step.
struct StageInput
{
    const double* values;
    __m128d operator()(int j) const { return _mm_loaddup_pd(values + j); }
};

// What the downsampler of the top stage reads: the clipped samples, one pair a step.
struct ClippedPairs
{
    const double* samples;
    __m128d operator()(int j) const { return _mm_loadu_pd(samples + 2 * j); }
};

// What the downsampler of a stage below the top reads: the stage above's outputs q + p, twice the
// downsampled samples (q + p) / 2. The halving is left to the host-rate end, as one product by
// a power of two for all stages, which gives the same numbers.
struct StagePairs
{
    const double* branches;
    __m128d operator()(int j) const
    {
        return _mm_hadd_pd(_mm_loadu_pd(branches + 4 * j), _mm_loadu_pd(branches + 4 * j + 2));
    }
};

// Where a stage above the first leaves its downsampler's branch outputs.
struct BranchOutputs
{
    double* branches;
    void operator()(int j, __m128d qp) const { _mm_storeu_pd(branches + 2 * j, qp); }
};

// The host-rate ends of the chain: the input high-pass of one chunk and the output filters of
// another share a loop, so that their recursions overlap. Reading, sanitizing and widening the
// host's samples, and the level and narrowing on the way out, run in loops of their own that the
// compiler vectorizes; staged holds the values in between, two chunks' worth. downScale takes the
// first stage's pair sums, scaled by the stages' powers of two, to the samples (q + p) / 2.
template <typename Sample>
void runHostEnds(BlockState& state, const Sample* input, double* up, int fresh,
                 const double* branches, double downScale, Sample* output, int done, double* staged)
{
    double* const fromHost = staged;
    double* const toHost = staged + engine_layout::kWideChunk;
    for (int j = 0; j < fresh; ++j)
    {
        const double raw = static_cast<double>(input[j]);
        const bool sane = raw >= -chain::kLargestInput && raw <= chain::kLargestInput;
        fromHost[j] = (sane ? raw : 0.0) + DENORMAL_OFFSET;
    }
    OnePoleFilter highPass = state.inputHighPass;
    OnePoleFilter lowPass = state.outputLowPass;
    ToneShelf::History shelf = state.shelf;
    const ToneShelf::Coefficients c = state.shelfCoefficients;
    const int steps = fresh < done ? done : fresh;
    for (int j = 0; j < steps; ++j)
    {
        if (j < fresh)
        {
            const double x = fromHost[j];
            const double out = highPass.gain * (x - highPass.previousInput) +
                               highPass.pole * highPass.previousOutput + DENORMAL_OFFSET;
            highPass.previousInput = x;
            highPass.previousOutput = out;
            up[j] = out * chain::kInputGain;
        }
        if (j < done)
        {
            const double d = (branches[2 * j] + branches[2 * j + 1]) * downScale;
            const double low = lowPass.gain * (d + lowPass.previousInput) +
                               lowPass.pole * lowPass.previousOutput + DENORMAL_OFFSET;
            lowPass.previousInput = d;
            lowPass.previousOutput = low;
            const double t =
                c.h * (low - shelf.previousInput) + c.q * shelf.previousOutput + DENORMAL_OFFSET;
            shelf.previousInput = low;
            shelf.previousOutput = t;
            toHost[j] = low + (c.g - 1.0) * t;
        }
    }
    state.inputHighPass = highPass;
    state.outputLowPass = lowPass;
    state.shelf = shelf;
    for (int j = 0; j < done; ++j)
        output[j] = static_cast<Sample>(toHost[j] * state.levelGain + DENORMAL_OFFSET);
}

// Steps first to last of a stage; a direction that is idle computes on zeros and neither reads
// its source nor writes its destination.
// The stage works on a local copy: stores through double pointers may alias its members, which
// would keep its histories in memory, on the recursions.
template <bool Up, bool Down, int N, typename Source, typename Pairs, typename Sink>
void runSteps(Stage<N>& stage, Source source, double* upsampled, Pairs pairs, Sink sink, int first,
              int last)
{
    Stage<N> local = stage;
    auto input = [&](int j)
    {
        const __m128d u = Up ? source(j) : _mm_setzero_pd();
        const __m128d pair = Down ? pairs(j) : _mm_setzero_pd();
        return _mm256_insertf128_pd(_mm256_castpd128_pd256(u), pair, 1);
    };
    auto output = [&](int j, __m256d out)
    {
        if (Up)
            _mm_storeu_pd(upsampled + 2 * j, _mm256_castpd256_pd128(out));
        if (Down)
            sink(j, _mm256_extractf128_pd(out, 1));
    };
#ifndef __x86_64__
    // Eight vector registers cannot hold the histories of the first stage's six sections and the
    // operands of a step: one history would go through memory on its recursion. The sections run
    // in two passes of three over the steps (at most a chunk of them) instead.
    if constexpr (N == 6)
    {
        __m256d middle[engine_layout::kWideChunk];
        assert(last - first <= engine_layout::kWideChunk);
        __m256d previous = local.output(2);
        for (int j = first; j < last; ++j)
            middle[j - first] = local.template stepFirst<3>(input(j));
        for (int j = first; j < last; ++j)
            output(j, local.template stepSections<3, 6>(middle[j - first], previous));
        stage = local;
        return;
    }
#endif
#if defined(__AVX512F__) && defined(__x86_64__)
    // The top stage at 8x takes four steps a host sample, each waiting on its sections' one-FMA
    // recursions; with 32 registers the two-step form fits and halves that wait.
    if constexpr (N == 2)
    {
        local.runTwoStep(input, output, first, last);
        stage = local;
        return;
    }
#endif
    for (int j = first; j < last; ++j)
        output(j, local.step(input(j)));
    stage = local;
}

// One round of a stage, upSteps for its upsampler and downSteps for its downsampler. Past the
// shorter of the two, its lanes compute on zeros and get their histories back afterwards.
template <int N, typename Source, typename Pairs, typename Sink>
void runRound(Stage<N>& stage, int upSteps, int downSteps, Source source, double* upsampled,
              Pairs pairs, Sink sink)
{
    const int both = upSteps < downSteps ? upSteps : downSteps;
    runSteps<true, true>(stage, source, upsampled, pairs, sink, 0, both);
    if (upSteps != downSteps)
    {
        const typename Stage<N>::Histories saved = stage.histories();
        const __m256d all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
        if (upSteps > both)
        {
            runSteps<true, false>(stage, source, upsampled, pairs, sink, both, upSteps);
            stage.restore(saved, _mm256_blend_pd(_mm256_setzero_pd(), all, 0xC));
        }
        else
        {
            runSteps<false, true>(stage, source, upsampled, pairs, sink, both, downSteps);
            stage.restore(saved, _mm256_blend_pd(_mm256_setzero_pd(), all, 0x3));
        }
    }
}

template <int Factor, typename Sample>
void runChunks(BlockState& state, const Sample* input, Sample* output, std::int32_t count)
{
    using namespace engine_layout;
    constexpr int kStages = Factor == 8 ? 3 : Factor == 4 ? 2 : 1;
    double* const staged = state.scratch + kWideStaged;
    double* const up1 = state.scratch + kWideUp1;
    double* const up2 = state.scratch + kWideUp2;
    double* const up4 = state.scratch + kWideUp4;
    double* const up8 = state.scratch + kWideUp8;
    double* const clipped = state.scratch + kWideClipped;
    double* const branches3 = state.scratch + kWideBranches3;
    double* const branches2 = state.scratch + kWideBranches2;
    double* const branches1 = state.scratch + kWideBranches1;
    double* const top = Factor == 8 ? up8 : Factor == 4 ? up4 : up2;

    // Each stage below the top takes the sums of the pairs above it, twice what it would take, so
    // its downsampler runs on values scaled by two more than the one above.
    constexpr double kScale1 = Factor == 8 ? 4.0 : Factor == 4 ? 2.0 : 1.0;
    constexpr double kScale2 = Factor == 8 ? 2.0 : 1.0;
    Stage<6> stage1(state.stage1, kScale1);
    Stage<3> stage2(state.stage2, kScale2);
    Stage<2> stage3(state.stage3, 1.0);
    Clipper clipper(state.clipHighPass, state.driveGain);

    const int chunk = chunkFor(count);
    const std::int32_t chunks = (count + chunk - 1) / chunk;
    auto length = [&](std::int32_t index)
    {
        if (index < 0 || index >= chunks)
            return 0;
        const std::int32_t left = count - index * chunk;
        return left < chunk ? static_cast<int>(left) : chunk;
    };
    for (std::int32_t round = 0; round < chunks + kStages + 1; ++round)
    {
        const int fresh = length(round);
        const std::int32_t done = round - kStages - 1;
        runHostEnds(state, input + (fresh > 0 ? round * chunk : 0), up1, fresh, branches1,
                    0.5 / kScale1, output + (done >= 0 ? done * chunk : 0), length(done), staged);
        if constexpr (Factor == 2)
            runRound(stage1, fresh, length(round - 1), StageInput{up1}, up2, ClippedPairs{clipped},
                     BranchOutputs{branches1});
        else
            runRound(stage1, fresh, length(round - kStages), StageInput{up1}, up2,
                     StagePairs{branches2}, BranchOutputs{branches1});
        if constexpr (Factor == 4)
            runRound(stage2, 2 * fresh, 2 * length(round - 1), StageInput{up2}, up4,
                     ClippedPairs{clipped}, BranchOutputs{branches2});
        if constexpr (Factor == 8)
        {
            runRound(stage2, 2 * fresh, 2 * length(round - 2), StageInput{up2}, up4,
                     StagePairs{branches3}, BranchOutputs{branches2});
            runRound(stage3, 4 * fresh, 4 * length(round - 1), StageInput{up4}, up8,
                     ClippedPairs{clipped}, BranchOutputs{branches3});
        }
        if (fresh > 0)
            clipper.run(top, clipped, Factor * fresh);
    }

    clipper.store(state.clipHighPass);
    stage1.store(state.stage1, kScale1);
    if constexpr (Factor >= 4)
        stage2.store(state.stage2, kScale2);
    if constexpr (Factor == 8)
        stage3.store(state.stage3, 1.0);
}

template <typename Sample>
void processWide(BlockState& state, const Sample* input, Sample* output, std::int32_t count)
{
    assert(count > 0);
    assert(state.factor == 2 || state.factor == 4 || state.factor == 8);
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
