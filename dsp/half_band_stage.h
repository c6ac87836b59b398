#pragma once

#include "dsp/allpass_branch.h"

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

private:
    template <int M> friend class UpsamplerLanes;
    template <int M> friend class DownsamplerLanes;
    template <int M, typename Tag> friend class MergedStage;

    AllpassBranch<N> upA;
    AllpassBranch<N> upB;
    double a[N];
    double b[N];
    AllpassBranch<N> downA;
    AllpassBranch<N> downB;
};
