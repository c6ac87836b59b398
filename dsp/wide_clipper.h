#pragma once

// The clipper of the wide block kernels: the limit, the high-pass and the arctangent saturation
// over a chunk of oversampled samples, four at a time with AVX2 and eight with AVX-512.
//
// The high-pass y[n] = p y[n-1] + e[n], e[n] = g (x[n] - x[n-1]) + 1e-16, runs as a prefix sum of
// the e within a group of samples, then one FMA from the previous group's last output.
//
// The arctangent takes one division instead of three. With a = min(|w|, 1), b = max(|w|, 1) the
// folded argument is a / b; after the shift by pi/6 it is P / Q with P = a - b tan(pi/6) and
// Q = a tan(pi/6) + b (else P = a, Q = b); the rational form z (c0 + c1 z^2) / (1 + c2 z^2) of
// z = P / Q is P (c0 Q^2 + c1 P^2) / (Q (Q^2 + c2 P^2)). atanLanes leaves out the factor c0
// (the pi/6 and pi/2 it adds are divided by it), and the saturation weight takes it back. The
// range tests are those of fastAtan, except for arguments within an ulp of a threshold, which the
// reordered high-pass may put on the other side.
//
// Only code built for AVX2 or wider includes this header; everything in it is local to the
// including file.

#include "dsp/chain_constants.h"
#include "dsp/engine_layout.h"
#include "dsp/fast_atan.h"
#include "dsp/one_pole_filter.h"

#include <cassert>
#include <immintrin.h>

namespace
{
// Runs the clipper's two halves on groups of samples: the high-pass, a recursion, two groups
// ahead of the arctangent, a long chain of operations on what the high-pass gave. The arctangent
// of a group thus never waits on the recursion, and the processor overlaps the two. 32-bit code
// has eight vector registers, too few to hold groups in flight, or even the histories beside the
// arctangent's operands: there the high-pass runs over all groups first, and the arctangent over
// what it left in memory.
template <typename Filter, typename Saturate>
[[gnu::always_inline]] inline void pipelined(int groups, Filter filterGroup, Saturate saturate)
{
    assert(groups > 0);
#ifdef __x86_64__
    auto first = filterGroup(0);
    if (groups == 1)
    {
        saturate(first, 0);
        return;
    }
    auto second = filterGroup(1);
    for (int g = 0; g + 2 < groups; ++g)
    {
        const auto next = filterGroup(g + 2);
        saturate(first, g);
        first = second;
        second = next;
    }
    saturate(first, groups - 2);
    saturate(second, groups - 1);
#else
    // A group is at least four samples.
    constexpr int kMostGroups = engine_layout::kMaxFactor * engine_layout::kWideChunk / 4;
    assert(groups <= kMostGroups);
    decltype(filterGroup(0)) filtered[kMostGroups];
    for (int g = 0; g < groups; ++g)
        filtered[g] = filterGroup(g);
    for (int g = 0; g < groups; ++g)
        saturate(filtered[g], g);
#endif
}

// The saturation weight of what atanLanes gives, which leaves out the factor c0.
constexpr double kArctangentWeight = chain::kSaturationWeight * fast_atan::kNumeratorConstant;

#ifdef __AVX512F__
constexpr int kClipLanes = 8;

inline __m512d atanLanes(__m512d w)
{
    using namespace fast_atan;
    const __m512d one = _mm512_set1_pd(1.0);
    const __m512d tanPiOver6 = _mm512_set1_pd(kTanPiOver6);
    const __m512d magnitude = _mm512_abs_pd(w);
    const __m512d a = _mm512_min_pd(magnitude, one);
    const __m512d b = _mm512_max_pd(magnitude, one);
    const __mmask8 complement = _mm512_cmp_pd_mask(magnitude, one, _CMP_GT_OQ);
    const __mmask8 shift =
        _mm512_cmp_pd_mask(a, _mm512_mul_pd(b, _mm512_set1_pd(kTanPiOver12)), _CMP_GT_OQ);
    const __m512d p = _mm512_mask3_fnmadd_pd(b, tanPiOver6, a, shift);
    const __m512d q = _mm512_mask3_fmadd_pd(a, tanPiOver6, b, shift);
    const __m512d p2 = _mm512_mul_pd(p, p);
    const __m512d q2 = _mm512_mul_pd(q, q);
    const __m512d numerator = _mm512_mul_pd(
        p, _mm512_fmadd_pd(_mm512_set1_pd(kNumeratorSlope / kNumeratorConstant), p2, q2));
    const __m512d denominator =
        _mm512_mul_pd(q, _mm512_fmadd_pd(_mm512_set1_pd(kDenominatorSlope), p2, q2));
    __m512d r = _mm512_div_pd(numerator, denominator);
    r = _mm512_mask_add_pd(r, shift, r, _mm512_set1_pd(kPiOver6 / kNumeratorConstant));
    r = _mm512_mask_sub_pd(r, complement, _mm512_set1_pd(kPiOver2 / kNumeratorConstant), r);
    return _mm512_xor_pd(r, _mm512_and_pd(w, _mm512_set1_pd(-0.0)));
}

class Clipper
{
public:
    Clipper(const OnePoleFilter& highPass, double driveGain)
        : gain(_mm512_set1_pd(highPass.gain)), pole(_mm512_set1_pd(highPass.pole)),
          pole2(_mm512_set1_pd(highPass.pole * highPass.pole)),
          pole4(_mm512_set1_pd(highPass.pole * highPass.pole * highPass.pole * highPass.pole)),
          drive(_mm512_set1_pd(driveGain)), lastInput(_mm512_set1_pd(highPass.previousInput)),
          lastOutput(_mm512_set1_pd(highPass.previousOutput))
    {
        double power = 1.0;
        double table[kClipLanes];
        for (double& entry : table)
            entry = power *= highPass.pole;
        powers = _mm512_loadu_pd(table);
    }

    // n samples from samples to clipped; a last group of fewer than eight reads and writes a
    // whole group.
    void run(const double* samples, double* clipped, int n)
    {
        // A local copy: stores through clipped may alias the members, which would keep the
        // histories in memory, on the recursion.
        Clipper local = *this;
        const int groups = (n + kClipLanes - 1) / kClipLanes;
        auto filterGroup = [&](int g)
        {
            const int lanes = n - g * kClipLanes < kClipLanes ? n - g * kClipLanes : kClipLanes;
            // The permutation reads the low three bits of each 64-bit index: a broadcast of the
            // 32-bit index does, which 32-bit code makes without going through memory.
            return local.filter(samples + g * kClipLanes, _mm512_set1_epi32(lanes - 1));
        };
        pipelined(groups, filterGroup,
                  [clipped](const Filtered& group, int g)
                  { saturate(group, clipped + g * kClipLanes); });
        *this = local;
    }

    void store(OnePoleFilter& highPass) const
    {
        highPass.previousInput = _mm512_cvtsd_f64(lastInput);
        highPass.previousOutput = _mm512_cvtsd_f64(lastOutput);
    }

private:
    // The limited samples of a group and the arguments of their arctangent.
    struct Filtered
    {
        __m512d held;
        __m512d argument;
    };

    // The limit and the high-pass of a group. last: the index of the group's last lane in every
    // lane, which carries the histories on.
    Filtered filter(const double* samples, __m512i last)
    {
        // The smaller magnitude of the sample and the limit, with the sample's sign.
        const __m512d held =
            _mm512_range_pd(_mm512_loadu_pd(samples), _mm512_set1_pd(chain::kLimit), 0x2);
        const __m512d previous = _mm512_castsi512_pd(
            _mm512_alignr_epi64(_mm512_castpd_si512(held), _mm512_castpd_si512(lastInput), 7));
        const __m512d feed =
            _mm512_fmadd_pd(gain, _mm512_sub_pd(held, previous), _mm512_set1_pd(DENORMAL_OFFSET));
        __m512d prefix = _mm512_fmadd_pd(pole, shifted<1>(feed), feed);
        prefix = _mm512_fmadd_pd(pole2, shifted<2>(prefix), prefix);
        prefix = _mm512_fmadd_pd(pole4, shifted<4>(prefix), prefix);
        const __m512d out = _mm512_fmadd_pd(powers, lastOutput, prefix);
        lastInput = _mm512_permutexvar_pd(last, held);
        lastOutput = _mm512_permutexvar_pd(last, out);
        return {held, _mm512_mul_pd(drive, out)};
    }

    static void saturate(const Filtered& group, double* clipped)
    {
        const __m512d r = atanLanes(group.argument);
        _mm512_storeu_pd(clipped,
                         _mm512_fmadd_pd(_mm512_set1_pd(kArctangentWeight), r, group.held));
    }

    // The lanes moved up by Shift, zeros below: a rotation with the wrapped lanes cleared, which
    // needs no register of zeros.
    template <int Shift> static __m512d shifted(__m512d v)
    {
        const __m512i lanes = _mm512_castpd_si512(v);
        return _mm512_castsi512_pd(_mm512_maskz_alignr_epi64(static_cast<__mmask8>(0xFF << Shift),
                                                             lanes, lanes, 8 - Shift));
    }

    __m512d gain;
    __m512d pole;
    __m512d pole2;
    __m512d pole4;
    __m512d powers;
    __m512d drive;
    __m512d lastInput;
    __m512d lastOutput;
};
#else
constexpr int kClipLanes = 4;

inline __m256d atanLanes(__m256d w)
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
    // Unshifted lanes subtract and add zeros, which leaves a and b as they are.
    const __m256d p = _mm256_fnmadd_pd(_mm256_and_pd(shift, b), tanPiOver6, a);
    const __m256d q = _mm256_fmadd_pd(_mm256_and_pd(shift, a), tanPiOver6, b);
    const __m256d p2 = _mm256_mul_pd(p, p);
    const __m256d q2 = _mm256_mul_pd(q, q);
    const __m256d numerator = _mm256_mul_pd(
        p, _mm256_fmadd_pd(_mm256_set1_pd(kNumeratorSlope / kNumeratorConstant), p2, q2));
    const __m256d denominator =
        _mm256_mul_pd(q, _mm256_fmadd_pd(_mm256_set1_pd(kDenominatorSlope), p2, q2));
    __m256d r = _mm256_div_pd(numerator, denominator);
    r = _mm256_add_pd(r, _mm256_and_pd(shift, _mm256_set1_pd(kPiOver6 / kNumeratorConstant)));
    r = _mm256_blendv_pd(r, _mm256_sub_pd(_mm256_set1_pd(kPiOver2 / kNumeratorConstant), r),
                         complement);
    return _mm256_xor_pd(r, _mm256_and_pd(w, signBit));
}

class Clipper
{
public:
    Clipper(const OnePoleFilter& highPass, double driveGain)
        : gain(_mm256_set1_pd(highPass.gain)), pole(_mm256_set1_pd(highPass.pole)),
          pole2(_mm256_set1_pd(highPass.pole * highPass.pole)),
          powers(_mm256_setr_pd(highPass.pole, highPass.pole * highPass.pole,
                                highPass.pole * highPass.pole * highPass.pole,
                                highPass.pole * highPass.pole * highPass.pole * highPass.pole)),
          drive(_mm256_set1_pd(driveGain)), lastInput(_mm256_set1_pd(highPass.previousInput)),
          lastOutput(_mm256_set1_pd(highPass.previousOutput))
    {
    }

    // n samples (an even count) from samples to clipped; past an odd pair, the last group runs
    // two lanes short.
    void run(const double* samples, double* clipped, int n)
    {
        // A local copy: stores through clipped may alias the members, which would keep the
        // histories in memory, on the recursion.
        Clipper local = *this;
        const int groups = (n + kClipLanes - 1) / kClipLanes;
        auto filterGroup = [&](int g)
        {
            return n - g * kClipLanes < kClipLanes ? local.filter<0x55>(samples + g * kClipLanes)
                                                   : local.filter<0xFF>(samples + g * kClipLanes);
        };
        pipelined(groups, filterGroup,
                  [clipped](const Filtered& group, int g)
                  { saturate(group, clipped + g * kClipLanes); });
        *this = local;
    }

    void store(OnePoleFilter& highPass) const
    {
        highPass.previousInput = _mm256_cvtsd_f64(lastInput);
        highPass.previousOutput = _mm256_cvtsd_f64(lastOutput);
    }

private:
    // The limited samples of a group and the arguments of their arctangent.
    struct Filtered
    {
        __m256d held;
        __m256d argument;
    };

    // The limit and the high-pass of a group. Last picks the lane that carries the histories on,
    // in every lane: 0xFF lane 3, 0x55 lane 1.
    template <int Last> Filtered filter(const double* samples)
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
            pole2, _mm256_blend_pd(_mm256_permute4x64_pd(once, 0x40), zero, 0x3), once);
        const __m256d out = _mm256_fmadd_pd(powers, lastOutput, prefix);
        lastInput = _mm256_permute4x64_pd(held, Last);
        lastOutput = _mm256_permute4x64_pd(out, Last);
        return {held, _mm256_mul_pd(drive, out)};
    }

    static void saturate(const Filtered& group, double* clipped)
    {
        const __m256d r = atanLanes(group.argument);
        _mm256_storeu_pd(clipped,
                         _mm256_fmadd_pd(_mm256_set1_pd(kArctangentWeight), r, group.held));
    }

    __m256d gain;
    __m256d pole;
    __m256d pole2;
    __m256d powers;
    __m256d drive;
    __m256d lastInput;
    __m256d lastOutput;
};
#endif
} // namespace
