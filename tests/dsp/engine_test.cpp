#include "dsp/overdrive_processor.h"
#include "test_signals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

namespace
{
using test_signals::as;

void configure(OverdriveProcessor& engine, std::int32_t rate, float drive = 0.5f, float tone = 0.5f,
               float level = 0.5f)
{
    engine.setSampleRate(rate);
    engine.setParameter(OverdriveProcessor::kDrive, drive);
    engine.setParameter(OverdriveProcessor::kTone, tone);
    engine.setParameter(OverdriveProcessor::kLevel, level);
    engine.setParameter(OverdriveProcessor::kBypass, 0.0f);
}

std::vector<double> run(OverdriveProcessor& engine, std::vector<double> signal)
{
    engine.processDouble(signal.data(), signal.data(), static_cast<std::int32_t>(signal.size()));
    return signal;
}

bool identical(const std::vector<double>& a, const std::vector<double>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

void* refuse(std::size_t)
{
    return nullptr;
}

int releases = 0;
void countRelease(void*)
{
    ++releases;
}

TEST(EngineRates, FactorTable)
{
    const struct
    {
        std::int32_t rate;
        std::int32_t factor;
        std::int32_t oversampled;
    } table[] = {{44100, 8, 352800}, {48000, 8, 384000},  {88200, 4, 352800},
                 {96000, 4, 384000}, {176400, 2, 352800}, {192000, 2, 384000}};
    for (const auto& row : table)
    {
        OverdriveProcessor engine;
        engine.setSampleRate(row.rate);
        EXPECT_EQ(row.factor, engine.getFactor()) << row.rate;
        EXPECT_EQ(row.oversampled, engine.getOversampledRate()) << row.rate;
        EXPECT_EQ(row.rate, engine.getSampleRate());
    }
}

// Every path that must not touch the audio: output equals input bit for bit, also in place, in
// both precisions, and the engine's state is left as it was.
void expectPassThrough(OverdriveProcessor& engine)
{
    const std::vector<double> input = test_signals::noise(1000, 7);
    std::vector<double> output(input.size(), 99.0);
    engine.processDouble(input.data(), output.data(), 1000);
    EXPECT_TRUE(identical(input, output));
    std::vector<double> inPlace = input;
    engine.processDouble(inPlace.data(), inPlace.data(), 1000);
    EXPECT_TRUE(identical(input, inPlace));

    const std::vector<float> floats = as<float>(input);
    std::vector<float> floatOutput(floats.size(), 99.0f);
    engine.processFloat(floats.data(), floatOutput.data(), 1000);
    EXPECT_EQ(0, std::memcmp(floats.data(), floatOutput.data(), floats.size() * sizeof(float)));
    engine.processFloatPlain(floats.data(), floatOutput.data(), 1000);
    EXPECT_EQ(0, std::memcmp(floats.data(), floatOutput.data(), floats.size() * sizeof(float)));
}

TEST(EnginePassThrough, BeforeAnySampleRate)
{
    OverdriveProcessor engine;
    expectPassThrough(engine);
}

TEST(EnginePassThrough, UnsupportedRatesUntilASupportedOneArrives)
{
    for (const std::int32_t rate : {22050, 44101, 0, -48000})
    {
        SCOPED_TRACE(rate);
        OverdriveProcessor engine;
        configure(engine, 44100);
        run(engine, test_signals::noise(500, 1));
        engine.setSampleRate(rate);
        EXPECT_EQ(rate, engine.getSampleRate());
        EXPECT_EQ(8, engine.getFactor()) << "the factor stays";
        expectPassThrough(engine);
    }
    // Back at a listed rate the cascade starts from silence; the one-pole histories carry on,
    // so compare with an engine whose one-pole filters saw the same audio.
    OverdriveProcessor resumed;
    configure(resumed, 44100);
    run(resumed, test_signals::noise(500, 1));
    resumed.setSampleRate(22050);
    resumed.setSampleRate(48000);
    EXPECT_EQ(8, resumed.getFactor());
    EXPECT_EQ(384000, resumed.getOversampledRate());
    OverdriveProcessor direct;
    configure(direct, 44100);
    run(direct, test_signals::noise(500, 1));
    direct.setSampleRate(48000);
    const std::vector<double> probe = test_signals::sine(0.3, 440.0, 48000, 2000);
    EXPECT_TRUE(identical(run(direct, probe), run(resumed, probe)));
}

TEST(EnginePassThrough, FailedScratchAllocation)
{
    releases = 0;
    {
        OverdriveProcessor engine(OverdriveProcessor::HeapHooks{refuse, countRelease});
        configure(engine, 44100);
        expectPassThrough(engine);
    }
    EXPECT_EQ(0, releases) << "nothing to give back";
}

TEST(EnginePassThrough, BypassedAndNothingTouchedForEmptyBlocks)
{
    OverdriveProcessor engine;
    configure(engine, 48000);
    engine.setParameter(OverdriveProcessor::kBypass, 0.25f);
    expectPassThrough(engine);

    OverdriveProcessor active;
    configure(active, 48000);
    OverdriveProcessor fresh;
    configure(fresh, 48000);
    double sentinel[2] = {5.0, 6.0};
    const double input[2] = {0.5, -0.5};
    active.processDouble(input, sentinel, 0);
    active.processDouble(input, sentinel, -3);
    float floatSentinel = 7.0f;
    const float floatInput = 0.5f;
    active.processFloat(&floatInput, &floatSentinel, 0);
    active.processFloatPlain(&floatInput, &floatSentinel, -1);
    EXPECT_EQ(5.0, sentinel[0]);
    EXPECT_EQ(6.0, sentinel[1]);
    EXPECT_EQ(7.0f, floatSentinel);
    const std::vector<double> probe = test_signals::noise(300, 3);
    EXPECT_TRUE(identical(run(fresh, probe), run(active, probe)));
}

TEST(EngineHistories, EnteringBypassClearsEverything)
{
    const std::vector<double> probe = test_signals::musical(44100, 4000);
    OverdriveProcessor fresh;
    configure(fresh, 44100, 0.8f, 0.3f, 0.9f);
    const std::vector<double> expected = run(fresh, probe);

    OverdriveProcessor engine;
    configure(engine, 44100, 0.8f, 0.3f, 0.9f);
    run(engine, test_signals::noise(3000, 5));
    engine.setParameter(OverdriveProcessor::kBypass, 0.25f);
    EXPECT_EQ(0.25f, engine.getParameter(OverdriveProcessor::kBypass));
    run(engine, test_signals::noise(100, 6));
    engine.setParameter(OverdriveProcessor::kBypass, 0.0f);
    EXPECT_TRUE(identical(expected, run(engine, probe)));

    // Entered again while already bypassed: cleared again.
    engine.setParameter(OverdriveProcessor::kBypass, 0.25f);
    engine.setParameter(OverdriveProcessor::kBypass, 0.0f);
    run(engine, test_signals::noise(100, 8));
    engine.setParameter(OverdriveProcessor::kBypass, 0.25f);
    engine.setParameter(OverdriveProcessor::kBypass, 0.25f);
    engine.setParameter(OverdriveProcessor::kBypass, 0.0f);
    EXPECT_TRUE(identical(expected, run(engine, probe)));
}

TEST(EngineHistories, ResetStartsFromSilenceAndKeepsTheSettings)
{
    const std::vector<double> probe = test_signals::noise(3000, 11);
    OverdriveProcessor fresh;
    configure(fresh, 96000, 0.1f, 0.9f, 0.7f);
    const std::vector<double> expected = run(fresh, probe);

    OverdriveProcessor engine;
    configure(engine, 96000, 0.1f, 0.9f, 0.7f);
    run(engine, test_signals::musical(96000, 5000));
    engine.reset();
    EXPECT_EQ(4, engine.getFactor());
    EXPECT_EQ(0.9f, engine.getParameter(OverdriveProcessor::kTone));
    EXPECT_TRUE(identical(expected, run(engine, probe)));
}

TEST(EngineHistories, ARateChangeRedesignsEveryFilterForTheNewRate)
{
    // Tone away from 0.5, so that a shelf left at the old rate would show.
    const std::vector<double> probe = test_signals::musical(96000, 6000);
    OverdriveProcessor fresh;
    configure(fresh, 96000, 0.6f, 0.85f, 0.7f);
    const std::vector<double> expected = run(fresh, probe);

    OverdriveProcessor engine;
    configure(engine, 44100, 0.6f, 0.85f, 0.7f);
    run(engine, test_signals::noise(3000, 21));
    engine.reset();
    engine.setSampleRate(96000);
    EXPECT_TRUE(identical(expected, run(engine, probe)));
}

TEST(EngineHistories, ARateChangeClearsTheCascadeAndKeepsTheOnePoleHistories)
{
    OverdriveProcessor engine;
    configure(engine, 44100, 0.6f, 0.85f, 0.7f);
    run(engine, test_signals::musical(44100, 3001));
    const OnePoleFilter input = engine.getInputHighPass();
    const OnePoleFilter clip = engine.getClipHighPass();
    const OnePoleFilter output = engine.getOutputLowPass();
    const ToneShelf::History shelf = engine.getTone().history;
    engine.setSampleRate(96000);
    for (const auto& [kept, before] : {std::pair{&engine.getInputHighPass(), &input},
                                       {&engine.getClipHighPass(), &clip},
                                       {&engine.getOutputLowPass(), &output}})
    {
        EXPECT_NE(before->previousOutput, 0.0);
        EXPECT_EQ(kept->previousInput, before->previousInput);
        EXPECT_EQ(kept->previousOutput, before->previousOutput);
    }
    EXPECT_EQ(engine.getTone().history.previousOutput, shelf.previousOutput);

    // An engine at the new rate with the same one-pole histories and an empty cascade.
    OverdriveProcessor empty;
    configure(empty, 96000, 0.6f, 0.85f, 0.7f);
    // The engine offers its filters read-only; the test alone writes the histories in.
    const auto copyHistory = [](const OnePoleFilter& from, const OnePoleFilter& to)
    {
        auto& target = const_cast<OnePoleFilter&>(to);
        target.previousInput = from.previousInput;
        target.previousOutput = from.previousOutput;
    };
    copyHistory(input, empty.getInputHighPass());
    copyHistory(clip, empty.getClipHighPass());
    copyHistory(output, empty.getOutputLowPass());
    const_cast<ToneShelf&>(empty.getTone()).history = shelf;
    const std::vector<double> probe = test_signals::noise(2000, 22);
    EXPECT_TRUE(identical(run(empty, probe), run(engine, probe)));
}

TEST(EngineOutput, SilenceSettlesOnTheAccumulatedOffsets)
{
    OverdriveProcessor engine;
    configure(engine, 44100);
    const std::vector<double> output = run(engine, std::vector<double>(44100, 0.0));
    EXPECT_GT(output.front(), 0.0);
    EXPECT_LT(output[100], output[2000]) << "rises with the 5 Hz high-pass";
    EXPECT_NEAR(7.85e-14, output.back(), 0.01e-14);
    EXPECT_TRUE(std::all_of(output.begin(), output.end(), [](double v) { return v > 0.0; }));
}

TEST(EngineOutput, LevelZeroIsSilentButNotZero)
{
    OverdriveProcessor engine;
    configure(engine, 44100, 0.5f, 0.5f, 0.0f);
    const std::vector<double> output = run(engine, test_signals::sine(1.0, 1000.0, 44100, 4410));
    for (const double v : output)
    {
        ASSERT_LT(std::fabs(v), 1e-14);
        ASSERT_NE(0.0, v);
    }
}

TEST(EngineOutput, DirectCurrentLeavesNoOffset)
{
    OverdriveProcessor engine;
    configure(engine, 48000);
    const std::vector<double> output = run(engine, std::vector<double>(96000, 0.8));
    EXPECT_LT(std::fabs(output.back()), 1e-9);
}

TEST(EngineOutput, FloatAndDoubleDifferOnlyByTheFinalRounding)
{
    const std::vector<float> input = as<float>(test_signals::musical(44100, 20000));
    const std::vector<double> widened(input.begin(), input.end());
    OverdriveProcessor single;
    configure(single, 44100, 0.7f, 0.6f, 0.8f);
    OverdriveProcessor twice;
    configure(twice, 44100, 0.7f, 0.6f, 0.8f);
    std::vector<float> floats(input.size());
    single.processFloat(input.data(), floats.data(), static_cast<std::int32_t>(input.size()));
    const std::vector<double> doubles = run(twice, widened);
    for (std::size_t i = 0; i < floats.size(); ++i)
        ASSERT_EQ(static_cast<float>(doubles[i]), floats[i]) << i;
}

struct ReferenceLevel
{
    double amplitude;
    double rms;
    double peak;
};

TEST(EngineOutput, ReferenceLevelsOfASteadySine)
{
    const ReferenceLevel levels[] = {
        {0.01, 0.0279, 0.0396}, {0.1, 0.0671, 0.100}, {1.0, 0.229, 0.337}};
    for (const std::int32_t rate : {44100, 96000})
    {
        for (const ReferenceLevel& level : levels)
        {
            SCOPED_TRACE(testing::Message() << rate << " Hz, amplitude " << level.amplitude);
            OverdriveProcessor engine;
            configure(engine, rate);
            const std::vector<double> output =
                run(engine, test_signals::sine(level.amplitude, 1000.0, rate, rate + rate / 10));
            // The tenth of a second after the first second: a whole number of periods.
            double sum = 0.0;
            double peak = 0.0;
            for (std::size_t i = static_cast<std::size_t>(rate); i < output.size(); ++i)
            {
                sum += output[i] * output[i];
                peak = std::max(peak, std::fabs(output[i]));
            }
            const double rms = std::sqrt(
                sum / static_cast<double>(output.size() - static_cast<std::size_t>(rate)));
            EXPECT_NEAR(level.rms, rms, 0.01 * level.rms);
            EXPECT_NEAR(level.peak, peak, 0.01 * level.peak);
        }
    }
}

TEST(EngineControls, StoredValuesAndIgnoredIndexes)
{
    OverdriveProcessor engine;
    configure(engine, 44100);
    EXPECT_EQ(0.5f, engine.getParameter(OverdriveProcessor::kDrive));
    engine.setParameter(OverdriveProcessor::kTone, 0.123456789f);
    EXPECT_EQ(0.123456789f, engine.getParameter(OverdriveProcessor::kTone));
    const double drive = engine.getDriveGain();
    engine.setParameter(7, 0.9f);
    engine.setParameter(-1, 0.9f);
    EXPECT_EQ(0.0f, engine.getParameter(7));
    EXPECT_EQ(0.0f, engine.getParameter(-1));
    EXPECT_EQ(drive, engine.getDriveGain());
}

TEST(EngineRobustness, NonFiniteControlValuesAreIgnored)
{
    OverdriveProcessor engine;
    configure(engine, 44100, 0.3f, 0.7f, 0.9f);
    const double drive = engine.getDriveGain();
    const double level = engine.getLevelGain();
    const ToneShelf::Coefficients shelf = engine.getTone().coefficients();
    for (const float bad :
         {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
          -std::numeric_limits<float>::infinity()})
    {
        for (std::int32_t index = 0; index < 4; ++index)
            engine.setParameter(index, bad);
    }
    EXPECT_EQ(0.3f, engine.getParameter(OverdriveProcessor::kDrive));
    EXPECT_EQ(0.7f, engine.getParameter(OverdriveProcessor::kTone));
    EXPECT_EQ(0.9f, engine.getParameter(OverdriveProcessor::kLevel));
    EXPECT_EQ(0.0f, engine.getParameter(OverdriveProcessor::kBypass));
    EXPECT_EQ(drive, engine.getDriveGain());
    EXPECT_EQ(level, engine.getLevelGain());
    EXPECT_EQ(shelf.q, engine.getTone().coefficients().q);
    EXPECT_EQ(shelf.h, engine.getTone().coefficients().h);
    EXPECT_EQ(shelf.g, engine.getTone().coefficients().g);
}

TEST(EngineRobustness, NonFiniteInputCountsAsSilence)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> signal = test_signals::musical(44100, 20000);
    std::vector<double> poisoned = signal;
    std::vector<double> silenced = signal;
    for (int i = 5000; i < 5300; ++i)
    {
        poisoned[i] = i % 3 == 0 ? nan : i % 3 == 1 ? inf : -inf;
        silenced[i] = 0.0;
    }
    poisoned[5400] = 1e300;
    silenced[5400] = 0.0;
    for (const bool plain : {false, true})
    {
        OverdriveProcessor engine;
        configure(engine, 44100);
        OverdriveProcessor reference;
        configure(reference, 44100);
        std::vector<double> output(signal.size());
        std::vector<double> expected(signal.size());
        const auto count = static_cast<std::int32_t>(signal.size());
        if (plain)
        {
            engine.processDoublePlain(poisoned.data(), output.data(), count);
            reference.processDoublePlain(silenced.data(), expected.data(), count);
        }
        else
        {
            engine.processDouble(poisoned.data(), output.data(), count);
            reference.processDouble(silenced.data(), expected.data(), count);
        }
        EXPECT_TRUE(
            std::all_of(output.begin(), output.end(), [](double v) { return std::isfinite(v); }));
        EXPECT_TRUE(identical(expected, output));
    }
    // Float input reaches the same rule.
    std::vector<float> floats = as<float>(poisoned);
    OverdriveProcessor engine;
    configure(engine, 44100);
    engine.processFloat(floats.data(), floats.data(), static_cast<std::int32_t>(floats.size()));
    EXPECT_TRUE(
        std::all_of(floats.begin(), floats.end(), [](float v) { return std::isfinite(v); }));
}
} // namespace
