#pragma once

#include "dsp/half_band_stage.h"

#include <immintrin.h>

// A half-band stage's upsampler and downsampler side by side in the four lanes of one AVX
// register: lane 0 runs the upsampler's branch A, lane 1 its branch B, lane 2 the downsampler's
// branch B on the earlier input of a pair, lane 3 its branch A on the later one. Both directions
// take one step per input sample of the stage's lower rate, so the four lanes stay busy.
// Only code built for AVX2 or wider includes this header. Tag is a type local to the including
// file, which gives each instruction set its own copy of the code.
template <int N, typename Tag> class MergedStage
{
public:
    explicit MergedStage(const HalfBandStage<N>& stage)
        : x0(_mm256_setr_pd(stage.upA.x[0], stage.upB.x[0], stage.downB.x[0], stage.downA.x[0]))
    {
        for (int k = 0; k < N; ++k)
        {
            y[k] =
                _mm256_setr_pd(stage.upA.y[k], stage.upB.y[k], stage.downB.y[k], stage.downA.y[k]);
            a[k] = _mm256_setr_pd(stage.a[k], stage.b[k], stage.b[k], stage.a[k]);
        }
    }

    // One step on (u, u, e, o): the upsampler's input u and the downsampler's pair (e, o). Gives
    // the upsampler's outputs (earlier, later) and the downsampler's branch outputs (q, p).
    // Each section computes a*s + x first, off the recursion, which then costs one FMA a step.
    __m256d step(__m256d s) { return stepSections<0, N>(s, x0); }

    // The first Count sections of a step.
    template <int Count> __m256d stepFirst(__m256d s) { return stepSections<0, Count>(s, x0); }

    // Sections First to Last - 1 of one step on s. previous holds the input of section First one
    // step earlier, and gets s.
    template <int First, int Last> __m256d stepSections(__m256d s, __m256d& previous)
    {
        __m256d previousInput = previous;
        previous = s;
#pragma GCC unroll 6
        for (int k = First; k < Last; ++k)
        {
            const __m256d feed = _mm256_fmadd_pd(a[k], s, previousInput);
            const __m256d out = _mm256_fnmadd_pd(a[k], y[k], feed);
            previousInput = y[k];
            y[k] = out;
            s = out;
        }
        return s;
    }

    // The output of section k one step earlier: the input of section k + 1 one step earlier.
    __m256d output(int k) const
    {
        return y[k];
    }

    struct Histories
    {
        __m256d x0;
        __m256d y[N];
    };

    Histories histories() const
    {
        Histories saved{x0, {}};
        for (int k = 0; k < N; ++k)
            saved.y[k] = y[k];
        return saved;
    }

    // Puts back the lanes of `lanes` (all bits set) from saved histories.
    void restore(const Histories& saved, __m256d lanes)
    {
        x0 = _mm256_blendv_pd(x0, saved.x0, lanes);
        for (int k = 0; k < N; ++k)
            y[k] = _mm256_blendv_pd(y[k], saved.y[k], lanes);
    }

    void store(HalfBandStage<N>& stage) const
    {
        double lanes[4];
        _mm256_storeu_pd(lanes, x0);
        stage.upA.x[0] = lanes[0];
        stage.upB.x[0] = lanes[1];
        stage.downB.x[0] = lanes[2];
        stage.downA.x[0] = lanes[3];
        for (int k = 0; k < N; ++k)
        {
            _mm256_storeu_pd(lanes, y[k]);
            stage.upA.y[k] = lanes[0];
            stage.upB.y[k] = lanes[1];
            stage.downB.y[k] = lanes[2];
            stage.downA.y[k] = lanes[3];
            if (k + 1 < N)
            {
                stage.upA.x[k + 1] = lanes[0];
                stage.upB.x[k + 1] = lanes[1];
                stage.downB.x[k + 1] = lanes[2];
                stage.downA.x[k + 1] = lanes[3];
            }
        }
    }

private:
    __m256d x0;
    __m256d y[N];
    __m256d a[N];
};
