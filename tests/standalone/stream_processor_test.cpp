// The audio callback's work apart from the device: the effect's samples reach the chosen
// outputs untouched once the start's fade is over, muting and stopping ramp instead of clicking,
// the other outputs stay silent, and the meter and dropout counts see what happened.
#include "standalone/stream_processor.h"

#include "host/audio_effect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace standalone;

namespace
{

// Doubles its input, so that passing the effect by shows.
class DoublingEffect : public AudioEffect
{
public:
    DoublingEffect() : AudioEffect(nullptr, 1, 0) {}
    void processReplacing(float** inputs, float** outputs, VstInt32 frames) override
    {
        for (VstInt32 i = 0; i < frames; ++i)
            outputs[0][i] = 2.0f * inputs[0][i];
    }
};

constexpr double kRate = 48000.0;
constexpr unsigned long kFrames = 64;
constexpr int kRampFrames = static_cast<int>(kRate * StreamProcessor::kRampSeconds);

struct Buffers
{
    std::vector<std::vector<float>> inputs;
    std::vector<std::vector<float>> outputs;
    std::vector<const float*> in;
    std::vector<float*> out;

    Buffers(int inputCount, int outputCount)
        : inputs(inputCount, std::vector<float>(kFrames)),
          outputs(outputCount, std::vector<float>(kFrames, 9.0f))
    {
        for (auto& channel : inputs)
            in.push_back(channel.data());
        for (auto& channel : outputs)
            out.push_back(channel.data());
    }
};

class StreamProcessorTest : public ::testing::Test
{
protected:
    // Runs blocks of a constant input and answers the chosen output's samples.
    std::vector<float> run(int blocks, float value, bool dropout = false)
    {
        std::vector<float> heard;
        for (int b = 0; b < blocks; ++b)
        {
            for (auto& channel : buffers.inputs)
                std::fill(channel.begin(), channel.end(), 0.0f);
            std::fill(buffers.inputs[1].begin(), buffers.inputs[1].end(), value);
            processor.process(buffers.in.data(), buffers.out.data(), kFrames, dropout);
            heard.insert(heard.end(), buffers.outputs[1].begin(), buffers.outputs[1].end());
        }
        return heard;
    }

    DoublingEffect effect;
    StreamProcessor processor{effect};
    Buffers buffers{2, 4};
};

// The largest step between neighbouring samples: a click shows as a jump.
float largestStep(const std::vector<float>& samples)
{
    float step = 0.0f;
    for (std::size_t i = 1; i < samples.size(); ++i)
        step = std::max(step, std::fabs(samples[i] - samples[i - 1]));
    return step;
}

} // namespace

TEST_F(StreamProcessorTest, FadesInThenPassesTheEffectExactlyToTheChosenOutputs)
{
    processor.prepare(kRate, 1, {1, 3}, 4);
    const std::vector<float> heard = run(8, 0.25f);
    EXPECT_EQ(heard.front(), 2.0f * 0.25f / kRampFrames);
    EXPECT_LE(largestStep(heard), 0.5f / kRampFrames + 1e-6f);
    for (std::size_t i = kRampFrames; i < heard.size(); ++i)
        ASSERT_EQ(heard[i], 0.5f) << i;
    EXPECT_EQ(buffers.outputs[3], buffers.outputs[1]);
    EXPECT_EQ(buffers.outputs[0], std::vector<float>(kFrames, 0.0f));
    EXPECT_EQ(buffers.outputs[2], std::vector<float>(kFrames, 0.0f));
}

TEST_F(StreamProcessorTest, MutingAndStoppingRampToSilenceAndBack)
{
    processor.prepare(kRate, 1, {1}, 2);
    run(8, 0.25f);
    EXPECT_FALSE(processor.silent());
    processor.setMuted(true);
    std::vector<float> heard = run(8, 0.25f);
    EXPECT_LE(largestStep(heard), 0.5f / kRampFrames + 1e-6f);
    EXPECT_EQ(heard.back(), 0.0f);
    EXPECT_TRUE(processor.silent());
    processor.setMuted(false);
    heard = run(8, 0.25f);
    EXPECT_LE(largestStep(heard), 0.5f / kRampFrames + 1e-6f);
    EXPECT_EQ(heard.back(), 0.5f);

    processor.fadeOut();
    heard = run(8, 0.25f);
    EXPECT_TRUE(processor.silent());
    EXPECT_LE(largestStep(heard), 0.5f / kRampFrames + 1e-6f);
    // A new start begins silent again.
    processor.prepare(kRate, 1, {1}, 2);
    EXPECT_EQ(run(1, 0.25f).front(), 2.0f * 0.25f / kRampFrames);
}

TEST_F(StreamProcessorTest, MeterClipAndDropoutsSeeTheChosenInput)
{
    processor.prepare(kRate, 1, {1}, 2);
    run(2, -0.5f);
    EXPECT_EQ(processor.takePeak(), 0.5f);
    EXPECT_EQ(processor.takePeak(), 0.0f);
    EXPECT_FALSE(processor.takeClip());
    run(1, 1.0f, true);
    run(1, 0.1f, true);
    EXPECT_TRUE(processor.takeClip());
    EXPECT_FALSE(processor.takeClip());
    EXPECT_EQ(processor.takePeak(), 1.0f);
    EXPECT_EQ(processor.dropouts(), 2u);
    EXPECT_EQ(processor.blocks(), 4u);
}
