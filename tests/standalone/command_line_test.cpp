// The command line is read before any device is touched: every bad option ends the program with
// a message that names what was wrong and what would have been right.
#include "standalone/command_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace standalone;
using ::testing::HasSubstr;

namespace
{

std::string errorOf(const std::vector<std::string>& arguments)
{
    try
    {
        parseCommandLine(arguments);
    }
    catch (const UsageError& error)
    {
        return error.what();
    }
    return "no error";
}

} // namespace

TEST(CommandLine, ReadsEveryOption)
{
    const CommandLine line =
        parseCommandLine({"--no-window", "--input", "system:2", "--output", "system:1,2", "--rate",
                          "96000", "--buffer", "64", "--set", "drive=0.7", "--set", "bypass=1",
                          "--seconds", "2.5", "--connect", "--host-api", "JACK"});
    EXPECT_TRUE(line.noWindow);
    EXPECT_TRUE(line.connect);
    EXPECT_EQ(*line.input, "system:2");
    EXPECT_EQ(*line.output, "system:1,2");
    EXPECT_EQ(*line.rate, 96000.0);
    EXPECT_EQ(*line.buffer, 64);
    EXPECT_EQ(*line.seconds, 2.5);
    EXPECT_EQ(*line.hostApi, "JACK");
    ASSERT_EQ(line.parameters.size(), 2u);
    EXPECT_EQ(line.parameters[0], std::make_pair(0, 0.7f));
    EXPECT_EQ(line.parameters[1], std::make_pair(3, 1.0f));
}

TEST(CommandLine, BadOptionsNameWhatWasWrongAndWhatIsAvailable)
{
    EXPECT_THAT(errorOf({"--bogus"}), HasSubstr("unknown option '--bogus'"));
    EXPECT_THAT(errorOf({"--input"}), HasSubstr("--input needs a value"));
    EXPECT_THAT(errorOf({"--rate", "fast"}), HasSubstr("--rate takes a number, not 'fast'"));
    EXPECT_THAT(errorOf({"--rate", "22050"}), HasSubstr("does not process 22050 Hz"));
    EXPECT_THAT(errorOf({"--rate", "22050"}),
                HasSubstr("44100, 48000, 88200, 96000, 176400, 192000"));
    EXPECT_THAT(errorOf({"--buffer", "16"}), HasSubstr("32 to 2048 frames, not 16"));
    EXPECT_THAT(errorOf({"--buffer", "100.5"}), HasSubstr("not 100.5"));
    EXPECT_THAT(errorOf({"--seconds", "-1"}), HasSubstr("positive"));
    EXPECT_THAT(errorOf({"--set", "gain=0.5"}), HasSubstr("unknown parameter 'gain'"));
    EXPECT_THAT(errorOf({"--set", "gain=0.5"}), HasSubstr("drive, tone, level, bypass"));
    EXPECT_THAT(errorOf({"--set", "drive=loud"}), HasSubstr("not a number: 'loud'"));
    EXPECT_THAT(errorOf({"--set", "drive=0.5x"}), HasSubstr("not a number"));
    EXPECT_THAT(errorOf({"--set", "drive=nan"}), HasSubstr("not a number"));
    EXPECT_THAT(errorOf({"--set", "drive"}), HasSubstr("SYMBOL=VALUE"));
    EXPECT_THAT(errorOf({"--set", "tone=1.5"}), HasSubstr("from 0 to 1, not 1.5"));
}

TEST(CommandLine, DeviceTextsSplitOnlyAtATrailingChannelList)
{
    const DeviceRequest plain = splitDeviceText("USB Audio");
    EXPECT_EQ(plain.name, "USB Audio");
    EXPECT_TRUE(plain.channels.empty());
    const DeviceRequest one = splitDeviceText("USB Audio:2");
    EXPECT_EQ(one.name, "USB Audio");
    EXPECT_EQ(one.channels, std::vector<int>{2});
    // ALSA names hold colons of their own.
    const DeviceRequest alsa = splitDeviceText("HDA Intel PCH: ALC892 Analog (hw:0,0):1,2");
    EXPECT_EQ(alsa.name, "HDA Intel PCH: ALC892 Analog (hw:0,0)");
    EXPECT_EQ(alsa.channels, (std::vector<int>{1, 2}));
    EXPECT_TRUE(splitDeviceText("hw:0,0)").channels.empty());
    EXPECT_TRUE(parseChannelList("0").empty());
    EXPECT_TRUE(parseChannelList("1,1").empty());
    EXPECT_TRUE(parseChannelList("1,").empty());
    EXPECT_TRUE(parseChannelList("").empty());
}
