#include "dsp/fast_atan.h"

namespace
{
constexpr __m128d pair(double value)
{
    return __m128d{value, value};
}
} // namespace

const AtanPairConstants kAtanPair = {
    pair(1.0),
    pair(-0.0),
    pair(fast_atan::kTanPiOver12),
    pair(fast_atan::kTanPiOver6),
    pair(fast_atan::kPiOver6),
    pair(fast_atan::kPiOver2),
    pair(fast_atan::kNumeratorConstant),
    pair(fast_atan::kNumeratorSlope),
    pair(fast_atan::kDenominatorSlope),
};
