#pragma once

#include "dsp/allpass_branch.h"

#include <emmintrin.h>

// Two allpass branches of the same length run side by side in the two lanes of an SSE2 register,
// section by section with the same operations as AllpassBranch. A section's previous input is its
// predecessor's previous output, so only the first section's input history is kept apart.
template <int N> class AllpassPair
{
public:
    AllpassPair(const AllpassBranch<N>& low, const AllpassBranch<N>& high, const double* lowCoeffs,
                const double* highCoeffs)
        : x0(_mm_set_pd(high.x[0], low.x[0]))
    {
        for (int k = 0; k < N; ++k)
        {
            y[k] = _mm_set_pd(high.y[k], low.y[k]);
            a[k] = _mm_set_pd(highCoeffs[k], lowCoeffs[k]);
        }
    }

    __m128d process(__m128d s)
    {
        __m128d previousInput = x0;
        x0 = s;
#pragma GCC unroll 6
        for (int k = 0; k < N; ++k)
        {
            const __m128d out = _mm_add_pd(_mm_mul_pd(_mm_sub_pd(s, y[k]), a[k]), previousInput);
            previousInput = y[k];
            y[k] = out;
            s = out;
        }
        return s;
    }

    void store(AllpassBranch<N>& low, AllpassBranch<N>& high) const
    {
        _mm_storel_pd(&low.x[0], x0);
        _mm_storeh_pd(&high.x[0], x0);
        for (int k = 0; k < N; ++k)
        {
            _mm_storel_pd(&low.y[k], y[k]);
            _mm_storeh_pd(&high.y[k], y[k]);
            if (k + 1 < N)
            {
                _mm_storel_pd(&low.x[k + 1], y[k]);
                _mm_storeh_pd(&high.x[k + 1], y[k]);
            }
        }
    }

private:
    __m128d x0;
    __m128d y[N];
    __m128d a[N];
};
