#pragma once

#include "dsp/allpass_pair.h"
#include "dsp/half_band_stage.h"

#include <emmintrin.h>

// SSE2 siblings of HalfBandStage's upsample and downsample: the stage's two branches run in the
// two lanes of one register, with the same operations, so the results are the same bit for bit.
// Each takes the stage's histories on construction and hands them back with store.

// Upsampler: the low lane runs branch A (the earlier output), the high lane branch B.
template <int N> class UpsamplerLanes
{
public:
    explicit UpsamplerLanes(const HalfBandStage<N>& stage)
        : branches(stage.upA, stage.upB, stage.a, stage.b)
    {
    }

    // One input to the pair (earlier, later).
    __m128d upsample(double s) { return branches.process(_mm_set1_pd(s)); }

    void store(HalfBandStage<N>& stage) const { branches.store(stage.upA, stage.upB); }

private:
    AllpassPair<N> branches;
};

// Downsampler: the low lane runs branch B on the earlier input, the high lane branch A on the
// later one, so a pair of inputs enters as it lies in memory.
template <int N> class DownsamplerLanes
{
public:
    explicit DownsamplerLanes(const HalfBandStage<N>& stage)
        : branches(stage.downB, stage.downA, stage.b, stage.a)
    {
    }

    // The branch outputs (q, p) of one pair (earlier, later); combine them with output or outputs.
    __m128d branchOutputs(__m128d pair) { return branches.process(pair); }

    static double output(__m128d qp)
    {
        const __m128d sum = _mm_add_sd(_mm_unpackhi_pd(qp, qp), qp);
        return _mm_cvtsd_f64(_mm_mul_sd(sum, _mm_set_sd(0.5)));
    }

    // The outputs of two consecutive pairs as one pair, ready for the next stage down.
    static __m128d outputs(__m128d first, __m128d second)
    {
        const __m128d sum =
            _mm_add_pd(_mm_unpackhi_pd(first, second), _mm_unpacklo_pd(first, second));
        return _mm_mul_pd(sum, _mm_set1_pd(0.5));
    }

    void store(HalfBandStage<N>& stage) const { branches.store(stage.downB, stage.downA); }

private:
    AllpassPair<N> branches;
};
