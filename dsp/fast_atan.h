#pragma once

#include <cmath>
#include <emmintrin.h>

// Arctangent by range reduction and a rational approximation; absolute error below 4e-8 rad.
// Both tests are strict: exactly 1 is not complemented and a reduced argument of exactly
// tan(pi/12) is not shifted.
namespace fast_atan
{
constexpr double kTanPiOver12 = 0.2679491924311227;
constexpr double kTanPiOver6 = 0.5773502691896257;
constexpr double kPiOver6 = 0.5235987755982989;
constexpr double kPiOver2 = 1.5707963267948966;
constexpr double kNumeratorConstant = 0.999999020228907;
constexpr double kNumeratorSlope = 0.257977658811405;
constexpr double kDenominatorSlope = 0.59120450521312;
} // namespace fast_atan

inline double fastAtan(double w)
{
    using namespace fast_atan;
    double z = std::fabs(w);
    const bool negative = w < 0.0;
    const bool complement = z > 1.0;
    if (complement)
        z = 1.0 / z;
    const bool shift = z > kTanPiOver12;
    if (shift)
        z = (z - kTanPiOver6) * (1.0 / (z * kTanPiOver6 + 1.0));
    const double s = z * z;
    double r =
        z * (kNumeratorConstant + kNumeratorSlope * s) * (1.0 / (1.0 + kDenominatorSlope * s));
    if (shift)
        r = r + kPiOver6;
    if (complement)
        r = kPiOver2 - r;
    return negative ? -r : r;
}

// fastAtan of two values without branches: both sides of every test are computed and the result
// selected, which gives the same numbers as the scalar form. It comes in three steps, one per
// division, so that a caller can run the steps of different pairs side by side instead of waiting
// on each pair's chain of divisions.

// The steps' constants, two lanes each. They are defined in fast_atan.cpp, out of the compiler's
// sight, so that it reads each as a memory operand instead of rebuilding it from its scalar with
// two instructions wherever registers run short.
struct AtanPairConstants
{
    __m128d one;
    __m128d signBit;
    __m128d tanPiOver12;
    __m128d tanPiOver6;
    __m128d piOver6;
    __m128d piOver2;
    __m128d numeratorConstant;
    __m128d numeratorSlope;
    __m128d denominatorSlope;
};

extern const AtanPairConstants kAtanPair;

// Step 1: the magnitude folded into [0, 1]. 1/z is below z exactly when z > 1 (and equals it at 1).
inline __m128d atanFoldedPair(__m128d w)
{
    const __m128d magnitude = _mm_andnot_pd(kAtanPair.signBit, w);
    return _mm_min_pd(magnitude, _mm_div_pd(kAtanPair.one, magnitude));
}

// Step 2: a folded argument above tan(pi/12) shifted down by pi/6; shift holds the lanes shifted.
struct AtanReducedPair
{
    __m128d z;
    __m128d shift;
};

inline AtanReducedPair atanReducedPair(__m128d folded)
{
    const __m128d tanPiOver6 = kAtanPair.tanPiOver6;
    const __m128d shift = _mm_cmpgt_pd(folded, kAtanPair.tanPiOver12);
    const __m128d shifted = _mm_mul_pd(
        _mm_sub_pd(folded, tanPiOver6),
        _mm_div_pd(kAtanPair.one, _mm_add_pd(_mm_mul_pd(folded, tanPiOver6), kAtanPair.one)));
    return {_mm_or_pd(_mm_and_pd(shift, shifted), _mm_andnot_pd(shift, folded)), shift};
}

// Step 3: the rational approximation, then the shift, fold and sign undone. Adding a zero leaves
// the non-negative unshifted r as it is.
inline __m128d atanFinishedPair(__m128d w, AtanReducedPair reduced)
{
    const __m128d one = kAtanPair.one;
    const __m128d signBit = kAtanPair.signBit;
    const __m128d negative = _mm_cmplt_pd(w, _mm_setzero_pd());
    const __m128d complement = _mm_cmpgt_pd(_mm_andnot_pd(signBit, w), one);
    const __m128d z = reduced.z;
    const __m128d s = _mm_mul_pd(z, z);
    const __m128d numerator =
        _mm_add_pd(kAtanPair.numeratorConstant, _mm_mul_pd(kAtanPair.numeratorSlope, s));
    const __m128d denominator = _mm_add_pd(one, _mm_mul_pd(kAtanPair.denominatorSlope, s));
    __m128d r = _mm_mul_pd(_mm_mul_pd(z, numerator), _mm_div_pd(one, denominator));
    r = _mm_add_pd(r, _mm_and_pd(reduced.shift, kAtanPair.piOver6));
    r = _mm_or_pd(_mm_and_pd(complement, _mm_sub_pd(kAtanPair.piOver2, r)),
                  _mm_andnot_pd(complement, r));
    return _mm_xor_pd(r, _mm_and_pd(negative, signBit));
}

inline __m128d fastAtanPair(__m128d w)
{
    return atanFinishedPair(w, atanReducedPair(atanFoldedPair(w)));
}
