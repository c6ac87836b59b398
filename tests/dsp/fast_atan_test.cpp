#include "dsp/fast_atan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
double pairLow(double a, double b)
{
    return _mm_cvtsd_f64(fastAtanPair(_mm_set_pd(b, a)));
}

double pairHigh(double a, double b)
{
    const __m128d r = fastAtanPair(_mm_set_pd(b, a));
    return _mm_cvtsd_f64(_mm_unpackhi_pd(r, r));
}

// Arguments from -1e6 to 1e6, dense near the range-reduction thresholds and at 1.
std::vector<double> sweep()
{
    std::vector<double> arguments;
    for (double magnitude = 1e-9; magnitude < 1e6; magnitude *= 1.0005)
    {
        arguments.push_back(magnitude);
        arguments.push_back(-magnitude);
    }
    for (const double edge : {1.0, fast_atan::kTanPiOver12, 1.0 / fast_atan::kTanPiOver12})
    {
        double below = edge;
        double above = edge;
        for (int i = 0; i < 64; ++i)
        {
            arguments.push_back(below);
            arguments.push_back(above);
            below = std::nextafter(below, 0.0);
            above = std::nextafter(above, 2.0 * edge);
        }
    }
    arguments.push_back(0.0);
    arguments.push_back(1e6);
    arguments.push_back(-1e6);
    return arguments;
}

TEST(FastAtan, ListedValues)
{
    EXPECT_NEAR(0.785398163397449, fastAtan(1.0), 1e-15);
    EXPECT_NEAR(0.0996686342, fastAtan(0.1), 1e-10);
    EXPECT_NEAR(1.5707953268, fastAtan(1e6), 1e-10);
    EXPECT_EQ(-fastAtan(3.0), fastAtan(-3.0));
    EXPECT_EQ(0.0, fastAtan(0.0));
}

TEST(FastAtan, StrictThresholds)
{
    // Exactly 1 takes the direct route: no complement, so no 1/z rounding.
    const double s = fast_atan::kTanPiOver6;
    const double shifted = (1.0 - s) * (1.0 / (1.0 * s + 1.0));
    const double q = shifted * shifted;
    const double direct = shifted *
                          (fast_atan::kNumeratorConstant + fast_atan::kNumeratorSlope * q) *
                          (1.0 / (1.0 + fast_atan::kDenominatorSlope * q));
    EXPECT_EQ(direct + fast_atan::kPiOver6, fastAtan(1.0));
    // A reduced argument of exactly tan(pi/12) is not shifted.
    const double t = fast_atan::kTanPiOver12;
    const double u = t * t;
    EXPECT_EQ(t * (fast_atan::kNumeratorConstant + fast_atan::kNumeratorSlope * u) *
                  (1.0 / (1.0 + fast_atan::kDenominatorSlope * u)),
              fastAtan(t));
}

TEST(FastAtan, AccurateAndOddOverTheWholeRange)
{
    double worst = 0.0;
    for (const double w : sweep())
    {
        worst = std::max(worst, std::fabs(fastAtan(w) - std::atan(w)));
        ASSERT_EQ(-fastAtan(w), fastAtan(-w)) << w;
    }
    EXPECT_LT(worst, 4e-8);
}

TEST(FastAtan, PairedFormGivesTheSameNumbers)
{
    const std::vector<double> arguments = sweep();
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i)
    {
        const double a = arguments[i];
        const double b = arguments[i + 1];
        ASSERT_EQ(fastAtan(a), pairLow(a, b)) << a;
        ASSERT_EQ(fastAtan(b), pairHigh(a, b)) << b;
    }
    EXPECT_EQ(fastAtan(-0.0), pairLow(-0.0, 0.0));
    EXPECT_TRUE(std::isnan(pairLow(std::nan(""), 1.0)));
}
} // namespace
