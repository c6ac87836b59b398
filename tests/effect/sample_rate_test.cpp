// How the effect follows the host's sample rate and on/off switch into its engine.
#include "tests/effect/effect_fixture.h"

#include <cmath>
#include <limits>
#include <vector>

namespace
{

using SampleRate = EffectTest;
using Suspend = EffectTest;

std::vector<float> testSignal(std::size_t length)
{
    std::vector<float> signal(length);
    for (std::size_t i = 0; i < length; ++i)
        signal[i] = 0.8f * static_cast<float>(std::sin(0.05 * static_cast<double>(i)));
    return signal;
}

std::vector<float> process(AEffect* record, std::vector<float> input)
{
    std::vector<float> output(input.size(), 0.0f);
    float* inputs[] = {input.data()};
    float* outputs[] = {output.data()};
    record->processReplacing(record, inputs, outputs, static_cast<VstInt32>(input.size()));
    return output;
}

TEST(StartUp, TakesTheHostsRateAsAWholeNumber)
{
    RecordingHost host;
    host.answers[audioMasterGetSampleRate] = 96000;
    ProbeKLV effect(RecordingHost::callback);
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0].opcode, audioMasterGetSampleRate);
    EXPECT_EQ(host.calls[0].effect, effect.getAeffect());
    EXPECT_EQ(effect.getSampleRate(), 96000.0f);
    EXPECT_EQ(effect.engine.getSampleRate(), 96000);
    EXPECT_EQ(effect.engine.getFactor(), 4);
}

TEST(StartUp, KeepsTheDefaultRateWhenTheHostHasNone)
{
    for (VstIntPtr answer : {VstIntPtr{0}, VstIntPtr{-1}})
    {
        RecordingHost host;
        host.answers[audioMasterGetSampleRate] = answer;
        ProbeKLV effect(RecordingHost::callback);
        EXPECT_EQ(effect.getSampleRate(), 44100.0f);
        EXPECT_EQ(effect.engine.getSampleRate(), 44100);
        EXPECT_EQ(effect.engine.getFactor(), 8);
    }
    ProbeKLV withoutHost(nullptr);
    EXPECT_EQ(withoutHost.engine.getSampleRate(), 44100);
}

TEST_F(SampleRate, EachRateReachesTheEngineTruncatedAndIsStoredExactly)
{
    struct Case
    {
        float rate;
        std::int32_t engineRate;
        std::int32_t factor;
    };
    for (const Case& c :
         {Case{48000.0f, 48000, 8}, Case{88200.0f, 88200, 4}, Case{192000.0f, 192000, 2},
          Case{44100.5f, 44100, 8}, Case{96000.0f, 96000, 4}, Case{176400.0f, 176400, 2}})
    {
        dispatch(effSetSampleRate, 0, 0, nullptr, c.rate);
        EXPECT_EQ(effect.getSampleRate(), c.rate);
        EXPECT_EQ(effect.engine.getSampleRate(), c.engineRate) << c.rate;
        EXPECT_EQ(effect.engine.getFactor(), c.factor) << c.rate;
    }
    dispatch(effSetSampleRate, 0, 0, nullptr, 44099.99f);
    EXPECT_EQ(effect.engine.getSampleRate(), 44099);
}

TEST_F(SampleRate, UnknownRatesPassTheAudioThrough)
{
    const std::vector<float> input = testSignal(512);
    for (float rate : {22050.0f, 44099.99f, 0.0f, -48000.0f})
    {
        dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        EXPECT_EQ(effect.getSampleRate(), rate);
        EXPECT_EQ(process(record, input), input) << rate;
    }
}

// The cast of such a rate to an integer would be undefined; the engine gets 0 instead.
TEST_F(SampleRate, RatesNoIntegerHoldsBecomeZero)
{
    for (float rate : {1e12f, -1e12f, std::numeric_limits<float>::infinity(),
                       std::numeric_limits<float>::quiet_NaN()})
    {
        dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        EXPECT_EQ(effect.engine.getSampleRate(), 0) << rate;
    }
}

TEST_F(Suspend, ClearsTheSignalHistoryButKeepsTheSettings)
{
    setParameter(kDrive, 0.9f);
    dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    const std::vector<float> silence(256, 0.0f);

    ProbeKLV fresh(nullptr);
    fresh.setSampleRate(48000.0f);
    fresh.setParameter(kDrive, 0.9f);
    const std::vector<float> clearedResponse = process(fresh.getAeffect(), silence);

    process(record, testSignal(1024));
    dispatch(effMainsChanged, 0, 1);
    EXPECT_NE(process(record, silence), clearedResponse) << "resume must not clear";

    dispatch(effMainsChanged, 0, 0);
    EXPECT_EQ(process(record, silence), clearedResponse);
    EXPECT_EQ(getParameter(kDrive), 0.9f);
    EXPECT_EQ(effect.engine.getSampleRate(), 48000);
}

} // namespace
