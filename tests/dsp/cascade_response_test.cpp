#include "dsp/oversampling_cascade.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

namespace
{
constexpr double kPi = 3.141592653589793;
constexpr int kImpulseLength = 4096;

// Impulse response of a stage at its higher rate F: the upsampler interleaves the responses of
// branches A and B, which is 2 H(z) with H(z) = (A(z^2) + z^-1 B(z^2)) / 2.
template <int N> std::vector<double> impulseResponse(HalfBandStage<N>& stage)
{
    std::vector<double> response(2 * kImpulseLength);
    for (int i = 0; i < kImpulseLength; ++i)
        stage.upsample(i == 0 ? 1.0 : 0.0, &response[2 * i]);
    return response;
}

// |H| in dB at frequency f given as a fraction of F.
double magnitudeDb(const std::vector<double>& response, double f)
{
    std::complex<double> sum = 0.0;
    for (std::size_t n = 0; n < response.size(); ++n)
        sum += response[n] * std::polar(1.0, -2.0 * kPi * f * static_cast<double>(n));
    return 20.0 * std::log10(std::abs(sum) / 2.0);
}

struct StageFigures
{
    double stopbandFrom;
    double stopbandDb;
    double at030Db; // 0 when not a listed figure
};

void checkResponse(const std::vector<double>& response, const StageFigures& figures)
{
    EXPECT_NEAR(-3.0103, magnitudeDb(response, 0.25), 0.001) << "half-band point at F/4";
    double worstPassband = 0.0;
    for (double f = 0.0; f < 0.18; f += 0.0025)
        worstPassband = std::max(worstPassband, std::fabs(magnitudeDb(response, f)));
    EXPECT_LT(worstPassband, 0.001);
    double weakestStop = 1e9;
    for (double f = figures.stopbandFrom; f <= 0.5; f += 0.0025)
        weakestStop = std::min(weakestStop, -magnitudeDb(response, f));
    EXPECT_GE(weakestStop, figures.stopbandDb);
    if (figures.at030Db > 0.0)
    {
        EXPECT_NEAR(figures.at030Db, -magnitudeDb(response, 0.30), 0.1);
    }
}

TEST(CascadeResponse, EveryStageIsAHalfBandFilter)
{
    OversamplingCascade cascade;
    {
        SCOPED_TRACE("stage 1");
        checkResponse(impulseResponse(cascade.stage1()), {0.27, 148.0, 0.0});
    }
    {
        SCOPED_TRACE("stage 2");
        checkResponse(impulseResponse(cascade.stage2()), {0.35, 147.0, 49.6});
    }
    {
        SCOPED_TRACE("stage 3");
        checkResponse(impulseResponse(cascade.stage3()), {0.35, 57.0, 26.6});
    }
}

TEST(CascadeResponse, FactorTwoSplitsTheImpulseOntoTheBranches)
{
    // Stage 1 alone at factor 2: scratch[0] carries branch A's response, scratch[1] branch B's.
    OversamplingCascade reference;
    const std::vector<double> interleaved = impulseResponse(reference.stage1());
    OversamplingCascade cascade;
    cascade.reset(2);
    double scratch[8] = {};
    for (int i = 0; i < 64; ++i)
    {
        cascade.upsample(i == 0 ? 1.0 : 0.0, scratch);
        ASSERT_EQ(interleaved[2 * i], scratch[0]) << i;
        ASSERT_EQ(interleaved[2 * i + 1], scratch[1]) << i;
    }
    EXPECT_GT(std::fabs(interleaved[2]), 0.0);
    EXPECT_NE(interleaved[0], interleaved[1]);
}

TEST(CascadeResponse, ConstantInputSettlesOnEveryOversampledSample)
{
    for (const int factor : {2, 4, 8})
    {
        SCOPED_TRACE(factor);
        OversamplingCascade cascade;
        cascade.reset(factor);
        double scratch[8] = {};
        double result = 0.0;
        for (int i = 0; i < 3000; ++i)
        {
            cascade.upsample(0.75, scratch);
            result = cascade.downsample(scratch);
        }
        for (int k = 0; k < factor; ++k)
            EXPECT_NEAR(0.75, scratch[k], 1e-12);
        EXPECT_NEAR(0.75, result, 1e-12);
    }
}

TEST(CascadeResponse, NoFactorWritesNothing)
{
    OversamplingCascade cascade;
    double scratch[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    cascade.upsample(1.0, scratch);
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(k + 1, scratch[k]);
    EXPECT_EQ(0.0, cascade.downsample(scratch));
}

TEST(CascadeResponse, ResetClearsHistoriesAndKeepsTheFactor)
{
    OversamplingCascade cascade;
    cascade.reset(4);
    double first[8] = {};
    double scratch[8] = {};
    cascade.upsample(1.0, first);
    for (int i = 0; i < 10; ++i)
    {
        cascade.upsample(0.3, scratch);
        cascade.downsample(scratch);
    }
    cascade.reset();
    EXPECT_EQ(4, cascade.getFactor());
    cascade.upsample(1.0, scratch);
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(first[k], scratch[k]);
}
} // namespace
