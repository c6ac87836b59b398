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
    // The downsampler's histories are kept multiplied by downScale, a power of two, for a
    // downsampler fed with its input so multiplied: scaling by a power of two leaves every
    // rounding as it is.
    MergedStage(const HalfBandStage<N>& stage, double downScale)
        : x0(_mm256_setr_pd(stage.upA.x[0], stage.upB.x[0], stage.downB.x[0] * downScale,
                            stage.downA.x[0] * downScale))
    {
        for (int k = 0; k < N; ++k)
        {
            y[k] = _mm256_setr_pd(stage.upA.y[k], stage.upB.y[k], stage.downB.y[k] * downScale,
                                  stage.downA.y[k] * downScale);
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

    // Steps first to last - 1, input(j) giving step j's input and output(j, out) taking its result.
    // After one ordinary step, each section runs its recursion two steps long,
    // y[n] = a^2 y[n-2] + f[n] - a f[n-1] with f[n] = a s[n] + s[n-1], so that the even and the
    // odd steps form two chains of one FMA each. Two steps share an iteration, each keeping its
    // own histories in registers of its own. It takes three FMAs a section instead of two: worth
    // it where the one-step recursion's latency, not the FMAs, limits the loop.
    template <typename Input, typename Output>
    void runTwoStep(Input input, Output output, int first, int last)
    {
        if (first >= last)
            return;
        // The ordinary step leaves each section's two latest outputs and its latest f.
        __m256d older[N];
        __m256d newer[N];
        __m256d latestFeed[N];
        {
            __m256d s = input(first);
            __m256d previousInput = x0;
            x0 = s;
            for (int k = 0; k < N; ++k)
            {
                latestFeed[k] = _mm256_fmadd_pd(a[k], s, previousInput);
                older[k] = y[k];
                newer[k] = _mm256_fnmadd_pd(a[k], y[k], latestFeed[k]);
                previousInput = y[k];
                s = newer[k];
            }
            output(first, s);
        }
        __m256d squares[N];
        for (int k = 0; k < N; ++k)
            squares[k] = _mm256_mul_pd(a[k], a[k]);
        int j = first + 1;
        for (; j + 1 < last; j += 2)
        {
            __m256d s = input(j);
            __m256d t = input(j + 1);
            __m256d previousOfS = x0;
            __m256d previousOfT = s;
            x0 = t;
            for (int k = 0; k < N; ++k)
            {
                const __m256d feedS = _mm256_fmadd_pd(a[k], s, previousOfS);
                const __m256d outS = _mm256_fmadd_pd(squares[k], older[k],
                                                     _mm256_fnmadd_pd(a[k], latestFeed[k], feedS));
                const __m256d feedT = _mm256_fmadd_pd(a[k], t, previousOfT);
                const __m256d outT =
                    _mm256_fmadd_pd(squares[k], newer[k], _mm256_fnmadd_pd(a[k], feedS, feedT));
                previousOfS = newer[k];
                previousOfT = outS;
                latestFeed[k] = feedT;
                older[k] = outS;
                newer[k] = outT;
                s = outS;
                t = outT;
            }
            output(j, s);
            output(j + 1, t);
        }
        for (int k = 0; k < N; ++k)
            y[k] = newer[k];
        // An odd step left over takes the ordinary form.
        if (j < last)
            output(j, step(input(j)));
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

    void store(HalfBandStage<N>& stage, double downScale) const
    {
        const __m256d unscale = _mm256_setr_pd(1.0, 1.0, 1.0 / downScale, 1.0 / downScale);
        double lanes[4];
        _mm256_storeu_pd(lanes, _mm256_mul_pd(x0, unscale));
        stage.upA.x[0] = lanes[0];
        stage.upB.x[0] = lanes[1];
        stage.downB.x[0] = lanes[2];
        stage.downA.x[0] = lanes[3];
        for (int k = 0; k < N; ++k)
        {
            _mm256_storeu_pd(lanes, _mm256_mul_pd(y[k], unscale));
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
