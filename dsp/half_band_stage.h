#pragma once

#include "dsp/allpass_branch.h"

#include <emmintrin.h>

// One 2x stage of the two-path polyphase half-band filter H(z) = (A(z^2) + z^-1 B(z^2)) / 2.
// The upsampler and the downsampler share the coefficients and keep their own histories.
template <int N> class HalfBandStage
{
public:
    HalfBandStage(const double (&coeffsA)[N], const double (&coeffsB)[N])
    {
        for (int k = 0; k < N; ++k)
        {
            a[k] = coeffsA[k];
            b[k] = coeffsB[k];
        }
    }

    void clear()
    {
        upA.clear();
        upB.clear();
        downA.clear();
        downB.clear();
    }

    // One input to two outputs, the earlier from branch A.
    void upsample(double s, double* out)
    {
        out[0] = upA.process(s, a);
        out[1] = upB.process(s, b);
    }

    // The earlier input e and the later input o to one output.
    double downsample(double e, double o)
    {
        const double p = downA.process(o, a);
        const double q = downB.process(e, b);
        return (p + q) * 0.5;
    }

    // upsample over count inputs, writing 2 * count outputs; both branches in one register.
    void upsampleBlock(const double* in, double* out, int count)
    {
        AllpassPair<N> pair(upA, upB, a, b);
        for (int i = 0; i < count; ++i)
            _mm_storeu_pd(out + 2 * i, pair.process(_mm_set1_pd(in[i])));
        pair.store(upA, upB);
    }

    // downsample over 2 * count inputs, writing count outputs; out may alias in. Branch B takes
    // the earlier sample of each pair in the low lane, branch A the later one in the high lane.
    void downsampleBlock(const double* in, double* out, int count)
    {
        AllpassPair<N> pair(downB, downA, b, a);
        const __m128d half = _mm_set_sd(0.5);
        for (int i = 0; i < count; ++i)
        {
            const __m128d qp = pair.process(_mm_loadu_pd(in + 2 * i));
            const __m128d sum = _mm_add_sd(_mm_unpackhi_pd(qp, qp), qp);
            _mm_store_sd(out + i, _mm_mul_sd(sum, half));
        }
        pair.store(downB, downA);
    }

    const AllpassBranch<N>& upsamplerA() const { return upA; }
    const AllpassBranch<N>& upsamplerB() const { return upB; }

private:
    AllpassBranch<N> upA;
    AllpassBranch<N> upB;
    double a[N];
    double b[N];
    AllpassBranch<N> downA;
    AllpassBranch<N> downB;
};
