// The vsthost program as a user meets it: every failure named on stderr with its own exit code,
// renders that match what the test plug-in computes, and output files that appear only whole.
#include "run_tool.h"
#include "wav_files.h"

#include <gtest/gtest.h>

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace
{

using ::testing::HasSubstr;

#if defined(_WIN32)
const std::string kLibrarySuffix = ".dll";
#else
const std::string kLibrarySuffix = ".so";
#endif

// The gain plug-in: out[n] = gain * in[n - 1] + bias, in the precision of the samples.
std::vector<float> expectedGain(const std::vector<float>& in, int channels, float gain, float bias)
{
    std::vector<float> out(in.size());
    for (std::size_t i = 0; i < in.size(); ++i)
    {
        const float previous = i < static_cast<std::size_t>(channels) ? 0.0f : in[i - channels];
        out[i] = gain * previous + bias;
    }
    return out;
}

// A mono or multi-channel test signal whose channels all differ.
std::vector<float> testSignal(std::size_t frames, int channels)
{
    std::vector<float> signal(frames * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < signal.size(); ++i)
    {
        const auto channel = static_cast<double>(i % static_cast<std::size_t>(channels));
        signal[i] = static_cast<float>(0.5 * std::sin(0.01 * static_cast<double>(i) + channel) -
                                       0.1 * channel);
    }
    return signal;
}

struct Failure
{
    const char* what;
    std::vector<std::string> arguments;
    int exitCode;
    std::string message;
};

void PrintTo(const Failure& failure, std::ostream* out)
{
    *out << failure.what;
}

class VsthostFailures : public ::testing::TestWithParam<Failure>
{
protected:
    static void SetUpTestSuite()
    {
        writeWav("fail-in.wav", testSignal(64, 1), 1, 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
        writeFile("fail-text" + kLibrarySuffix, "this is a text file, not a library\n");
        std::string corrupt = readFile("fail-in.wav");
        for (std::size_t i = 12; i < corrupt.size(); ++i)
        {
            corrupt[i] = static_cast<char>(i * 7);
        }
        writeFile("fail-corrupt.wav", corrupt);
        std::filesystem::create_directory("fail-folder.wav");
    }
};

TEST_P(VsthostFailures, NameTheProblemAndLeaveNoOutput)
{
    const Failure& failure = GetParam();
    writeFile("fail-out.wav", "previous contents");

    const ToolResult result = runTool(failure.arguments);

    EXPECT_EQ(result.exitCode, failure.exitCode) << result.err;
    EXPECT_THAT(result.err, HasSubstr(failure.message));
    EXPECT_TRUE(result.out.empty()) << result.out;
    EXPECT_EQ(readFile("fail-out.wav"), "previous contents");
    for (const std::string& name : filesStartingWith("fail-"))
    {
        EXPECT_EQ(name.find(".partial"), std::string::npos) << name;
    }
}

const std::string kGain = TEST_GAIN_PLUGIN;

INSTANTIATE_TEST_SUITE_P(
    EachBadInput, VsthostFailures,
    ::testing::Values(
        Failure{"MissingPlugin",
                {"render", "missing" + kLibrarySuffix, "fail-in.wav", "fail-out.wav"},
                3,
                "plug-in file not found: missing" + kLibrarySuffix},
        Failure{"TextFileAsPlugin",
                {"render", "fail-text" + kLibrarySuffix, "fail-in.wav", "fail-out.wav"},
                4,
                "not a plug-in (cannot be loaded as a library)"},
        Failure{"LibraryWithoutEntry",
                {"info", TEST_NO_ENTRY_LIBRARY},
                4,
                "exports neither VSTPluginMain nor main"},
        Failure{"EntryAnswersNull",
                {"render", TEST_NULL_PLUGIN, "fail-in.wav", "fail-out.wav"},
                5,
                "the plug-in answered no instance"},
        Failure{"MissingWav",
                {"render", kGain, "missing.wav", "fail-out.wav"},
                6,
                "cannot read audio file missing.wav"},
        Failure{"CorruptWav",
                {"render", kGain, "fail-corrupt.wav", "fail-out.wav"},
                6,
                "cannot read audio file fail-corrupt.wav"},
        Failure{"UnknownOption",
                {"render", kGain, "fail-in.wav", "fail-out.wav", "--loud"},
                2,
                "unknown option '--loud'"},
        Failure{"BlockSizeZero",
                {"render", kGain, "fail-in.wav", "fail-out.wav", "--block", "0"},
                2,
                "--block needs a whole number from 1 to 65536"},
        Failure{"ValueOutOfRange",
                {"render", kGain, "fail-in.wav", "fail-out.wav", "--set", "0=1.5"},
                2,
                "parameter values are normalized"},
        Failure{"UnknownParameter",
                {"render", kGain, "fail-in.wav", "fail-out.wav", "--set", "Drive=0.5"},
                2,
                "--set Drive: the plug-in has no such parameter"},
        Failure{"ParameterIndexTooHigh",
                {"render", kGain, "fail-in.wav", "fail-out.wav", "--set", "2=0.5"},
                2,
                "--set 2: the plug-in has 2 parameters"},
        Failure{"ProgramTooHigh",
                {"render", kGain, "fail-in.wav", "fail-out.wav", "--program", "2"},
                2,
                "--program 2: the plug-in has 2 programs"},
        Failure{"MissingArgument",
                {"render", kGain, "fail-in.wav"},
                2,
                "usage: vsthost render PLUGIN IN.wav OUT.wav"},
        Failure{"UnknownCommand", {"play", kGain}, 2, "unknown command 'play'"},
        Failure{"ScaleOutOfRange",
                {"edit", kGain, "--scale", "0"},
                2,
                "--scale needs a factor from 0.25 to 8"},
        Failure{"ScaleNotANumber", {"edit", kGain, "--rescale", "nan"}, 2, "--rescale needs"},
        Failure{"RescaleWithoutSeconds",
                {"edit", kGain, "--rescale", "2"},
                2,
                "--rescale needs --seconds"},
        Failure{"ScaleForRender",
                {"render", kGain, "fail-in.wav", "fail-out.wav", "--scale", "2"},
                2,
                "--scale does not apply to 'render'"},
        Failure{"OutputNameIsAFolder",
                {"render", kGain, "fail-in.wav", "fail-folder.wav"},
                8,
                "cannot write output file fail-folder.wav"},
        Failure{"OutputFolderMissing",
                {"render", kGain, "fail-in.wav", "no-such-folder/out.wav"},
                8,
                "cannot create output file no-such-folder/out.wav"}),
    [](const ::testing::TestParamInfo<Failure>& param) { return param.param.what; });

TEST(VsthostInfo, ReportsIdentityParametersAndPrograms)
{
    const ToolResult result = runTool({"info", kGain, "--set", "bias=0.25"});

    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const char* line :
         {"effect name:    TestGain\n", "vendor:         Ostravelk Tests\n",
          "product:        Gain Probe\n", "vendor version: 7\n", "category:       1 (effect)\n",
          "VST version:    2400\n", "unique ID:      tGan (0x7447616E)\n", "programs:       2\n",
          "parameters:     2\n", "inputs:         1\n", "outputs:        2\n",
          "initial delay:  1\n", "\"Unity\"\n", "\"Quiet\"\n", "audioMasterVersion x1\n"})
    {
        EXPECT_THAT(result.out, HasSubstr(line));
    }
#if defined(_WIN32)
    EXPECT_THAT(result.out, HasSubstr("flags:          0x00001011 (HasEditor CanReplacing "
                                      "CanDoubleReplacing)\n"));
#else
    EXPECT_THAT(result.out, HasSubstr("flags:          0x00001010 (CanReplacing "
                                      "CanDoubleReplacing)\n"));
#endif
    // Case-insensitive name matching reached Bias; Gain keeps program 0's value.
    EXPECT_THAT(result.out, HasSubstr("\"Gain\"           \"x\"        \"1.000\"      1.000000\n"));
    EXPECT_THAT(result.out, HasSubstr("\"Bias\"           \"\"         \"0.250\"      0.250000\n"));
}

class VsthostRender : public ::testing::Test
{
protected:
    Audio render(const std::string& name, const std::vector<float>& input, int channels, int format,
                 std::vector<std::string> options)
    {
        const std::string in = name + "-in.wav";
        const std::string out = name + "-out.wav";
        writeWav(in, input, channels, 48000, format);
        std::vector<std::string> arguments = {"render", kGain, in, out};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const ToolResult result = runTool(arguments);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(filesStartingWith(out + ".").size(), 0u);
        return readWav(out);
    }
};

TEST_F(VsthostRender, MonoMatchesThePluginAcrossBlocks)
{
    const std::vector<float> input = testSignal(1000, 1);
    const Audio out = render("mono", input, 1, SF_FORMAT_WAV | SF_FORMAT_FLOAT,
                             {"--block", "64", "--set", "Gain=0.5", "--set", "1=0.125"});

    EXPECT_EQ(out.info.samplerate, 48000);
    EXPECT_EQ(out.info.channels, 1);
    EXPECT_EQ(out.info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    EXPECT_EQ(out.frames, expectedGain(input, 1, 0.5f, 0.125f));
}

TEST_F(VsthostRender, EachChannelHasItsOwnInstance)
{
    const std::vector<float> input = testSignal(777, 3);
    const Audio out = render("multi", input, 3, SF_FORMAT_WAV | SF_FORMAT_FLOAT,
                             {"--block", "100", "--program", "1"});

    EXPECT_EQ(out.info.channels, 3);
    EXPECT_EQ(out.frames, expectedGain(input, 3, 0.25f, 0.0f));
}

TEST_F(VsthostRender, DoublePrecisionAgreesWithSingle)
{
    const std::vector<float> input = testSignal(500, 1);
    const Audio out = render("double", input, 1, SF_FORMAT_WAV | SF_FORMAT_FLOAT,
                             {"--double", "--set", "Gain=0.3", "--set", "Bias=0.01"});

    const std::vector<float> expected = expectedGain(input, 1, 0.3f, 0.01f);
    ASSERT_EQ(out.frames.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
    {
        EXPECT_NEAR(out.frames[i], expected[i], 1e-7f) << "frame " << i;
    }
}

TEST_F(VsthostRender, KeepsTheInputFormatWhenAsked)
{
    std::vector<float> input = testSignal(300, 1);
    for (float& sample : input)
    {
        sample = std::round(sample * 32768.0f) / 32768.0f;
    }
    const Audio out = render("pcm16", input, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16,
                             {"--format", "input", "--set", "Gain=0.5"});

    EXPECT_EQ(out.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const std::vector<float> expected = expectedGain(input, 1, 0.5f, 0.0f);
    ASSERT_EQ(out.frames.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
    {
        EXPECT_NEAR(out.frames[i], expected[i], 1.0f / 32768.0f) << "frame " << i;
    }
}

TEST_F(VsthostRender, LoudPcmOutputClipsInsteadOfWrapping)
{
    const std::vector<float> input(100, 0.9f);
    const Audio out = render("clip", input, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16,
                             {"--format", "input", "--set", "Bias=0.9"});

    for (std::size_t i = 1; i < out.frames.size(); ++i)
    {
        EXPECT_GT(out.frames[i], 0.99f) << "frame " << i;
    }
}

TEST_F(VsthostRender, ReplacesAnExistingOutputWhole)
{
    writeFile("replace-out.wav", "stale");
    const std::vector<float> input = testSignal(200, 1);
    const Audio out = render("replace", input, 1, SF_FORMAT_WAV | SF_FORMAT_FLOAT, {});

    EXPECT_EQ(out.frames, expectedGain(input, 1, 1.0f, 0.0f));
}

TEST(VsthostDemo, WritesTheSameShortRiffEveryTime)
{
    ASSERT_EQ(runTool({"demo", "demo-a.wav"}).exitCode, 0);
    ASSERT_EQ(runTool({"demo", "demo-b.wav"}).exitCode, 0);

    EXPECT_EQ(readFile("demo-a.wav"), readFile("demo-b.wav"));
    const Audio demo = readWav("demo-a.wav");
    EXPECT_EQ(demo.info.samplerate, 44100);
    EXPECT_EQ(demo.info.channels, 1);
    EXPECT_EQ(demo.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_GE(demo.info.frames, 4 * 44100);
    EXPECT_LE(demo.info.frames, 6 * 44100);
    // Sound all through: every quarter second carries signal, nothing clips.
    for (std::size_t start = 0; start + 11025 <= demo.frames.size(); start += 11025)
    {
        float peak = 0.0f;
        for (std::size_t i = start; i < start + 11025; ++i)
        {
            peak = std::max(peak, std::fabs(demo.frames[i]));
        }
        EXPECT_GT(peak, 0.05f) << "at frame " << start;
        EXPECT_LT(peak, 0.9f) << "at frame " << start;
    }
}

#if !defined(_WIN32)
// The test plug-in has an editor on Windows only.
TEST(VsthostEdit, RefusesAPluginWithoutAnEditor)
{
    const ToolResult result = runTool({"edit", kGain});

    EXPECT_EQ(result.exitCode, 7);
    EXPECT_THAT(result.err, HasSubstr("the plug-in has no editor"));
}
#endif

TEST(VsthostHelp, ExplainsCommandsAndMultiChannelHandling)
{
    const ToolResult result = runTool({"--help"});

    EXPECT_EQ(result.exitCode, 0);
    EXPECT_THAT(result.out, HasSubstr("its own plug-in instance"));
    EXPECT_THAT(result.out, HasSubstr("exit codes:"));
}

} // namespace
