#include "dsp/one_pole_filter.h"
#include "dsp/overdrive_processor.h"
#include "dsp/tone_shelf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace
{
// Designs are compared to within a few units in the last place, which leaves room for the sine,
// cosine, tangent and power of different C libraries.
void expectNear(double expected, double actual)
{
    EXPECT_NEAR(expected, actual, 8 * std::fabs(expected) * 2.220446049250313e-16);
}

struct RateDesign
{
    std::int32_t rate;
    double inputPole;
    double inputGain;
    double outputPole;
    double outputGain;
    double clipPole;
    double clipGain;
};

TEST(FilterDesign, FixedSectionsFollowTheHostRate)
{
    const RateDesign designs[] = {
        {44100, 0.9992878743351422, 0.9996439371675712, 0.9018973944925677, 0.049051302753716164,
         0.9872501752660758, 0.9936250876330379},
        {48000, 0.9993457156212082, (1 + 0.9993457156212082) / 2, 0.9095195184728292,
         (1 - 0.9095195184728292) / 2, 0.988280052952521, (1 + 0.988280052952521) / 2},
    };
    for (const RateDesign& design : designs)
    {
        SCOPED_TRACE(design.rate);
        OverdriveProcessor engine;
        engine.setSampleRate(design.rate);
        expectNear(design.inputPole, engine.getInputHighPass().pole);
        expectNear(design.inputGain, engine.getInputHighPass().gain);
        expectNear(design.outputPole, engine.getOutputLowPass().pole);
        expectNear(design.outputGain, engine.getOutputLowPass().gain);
        expectNear(design.clipPole, engine.getClipHighPass().pole);
        expectNear(design.clipGain, engine.getClipHighPass().gain);
    }
}

TEST(FilterDesign, ClipHighPassRunsAtTheOversampledRate)
{
    // 88200 and 176400 Hz hosts oversample to the same 352800 Hz as 44100 Hz.
    for (const std::int32_t rate : {88200, 176400})
    {
        OverdriveProcessor engine;
        engine.setSampleRate(rate);
        expectNear(0.9872501752660758, engine.getClipHighPass().pole);
    }
    OnePoleFilter filter;
    filter.designHighPass(720.4841244540305, 384000);
    expectNear(0.988280052952521, filter.pole);
}

TEST(FilterDesign, SilenceSettlesOnTheDenormalOffset)
{
    OnePoleFilter highPass;
    highPass.designHighPass(720.0, 44100);
    OnePoleFilter lowPass;
    lowPass.designLowPass(720.0, 44100);
    for (int i = 0; i < 20000; ++i)
    {
        highPass.highPass(0.0);
        lowPass.lowPass(0.0);
    }
    const double settled = 1e-16 / (1 - highPass.pole);
    expectNear(settled, highPass.previousOutput);
    expectNear(settled, lowPass.previousOutput);
}

TEST(ToneShelfDesign, FlatCutAndBoostEnds)
{
    ToneShelf shelf;
    shelf.design(0.0, 44100);
    ToneShelf::Coefficients c = shelf.coefficients();
    EXPECT_EQ(1.0, c.g);
    EXPECT_NEAR(0.97617417, c.q, 1e-8);
    EXPECT_NEAR(0.98808709, c.h, 1e-8);
    for (const double v : {0.5, -0.25, 1e-3})
        EXPECT_EQ(v, shelf.step(v)) << "a flat shelf passes its input";

    shelf.design(1.0, 44100);
    c = shelf.coefficients();
    EXPECT_NEAR(6.3095734, c.g, 1e-7);
    EXPECT_NEAR(0.60503448, c.q, 1e-8);

    shelf.design(-1.0, 44100);
    c = shelf.coefficients();
    EXPECT_NEAR(0.56234133, c.g, 1e-8);
    EXPECT_NEAR(0.94281097, c.q, 1e-8);
}

TEST(ToneShelfDesign, BoostCornerStopsAt1879Hz)
{
    // Past Tone 0.9284 only the gain grows: the pole follows the fixed corner and the gain.
    ToneShelf limited;
    limited.design(0.9, 44100);
    ToneShelf reference;
    reference.design(1.0, 44100);
    const double g = limited.coefficients().g;
    const double t = std::tan(1879.0 * (1.0 / 44100.0) * 3.141592653589793);
    const double k = t * (g + 1.0) * 0.25;
    EXPECT_DOUBLE_EQ((1.0 - k) / (1.0 + k), limited.coefficients().q);
    EXPECT_LT(reference.coefficients().q, limited.coefficients().q);
}

TEST(ControlMapping, DriveAndLevelGains)
{
    OverdriveProcessor engine;
    EXPECT_DOUBLE_EQ(14.779255319148936, engine.getDriveGain()) << "before any control";
    EXPECT_DOUBLE_EQ(0.05, engine.getLevelGain());
    const double driveGains[] = {2.9627659574468086, 16.26063829787234, 29.55851063829787};
    // Level carries the offset too, so that Level 0 is not exact silence.
    const double levelGains[] = {1e-16, 0.05 + 1e-16, 0.1 + 1e-16};
    const float values[] = {0.0f, 0.5f, 1.0f};
    for (int i = 0; i < 3; ++i)
    {
        engine.setParameter(OverdriveProcessor::kDrive, values[i]);
        engine.setParameter(OverdriveProcessor::kLevel, values[i]);
        EXPECT_DOUBLE_EQ(driveGains[i], engine.getDriveGain());
        EXPECT_EQ(levelGains[i], engine.getLevelGain());
    }
    // Values outside 0..1 are mapped by the same formulas.
    engine.setParameter(OverdriveProcessor::kLevel, 2.0f);
    EXPECT_DOUBLE_EQ(0.2 + 1e-16, engine.getLevelGain());
}
} // namespace
