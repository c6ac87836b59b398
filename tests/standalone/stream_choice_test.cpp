// Which stream the program opens: the user's choice strictly, the remembered one leniently (what
// is gone falls back to the default with a note), JACK first when its server runs.
#include "standalone/stream_choice.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace standalone;
using ::testing::HasSubstr;

namespace
{

constexpr int kAlsa = 0;
constexpr int kJack = 1;
constexpr int kHda = 0;
constexpr int kUsb = 1;
constexpr int kSystem = 2;

DeviceCatalog machine(bool withJack)
{
    DeviceCatalog catalog;
    catalog.apis.push_back({"ALSA", kHda, kHda});
    catalog.devices.push_back({"HDA Intel PCH: ALC892 Analog (hw:0,0)", kAlsa, 2, 2, 44100.0});
    catalog.devices.push_back({"USB Interface (hw:1,0)", kAlsa, 4, 4, 48000.0});
    catalog.defaultApi = kAlsa;
    if (withJack)
    {
        catalog.apis.push_back({"JACK Audio Connection Kit", kSystem, kSystem});
        catalog.devices.push_back({"system", kJack, 2, 2, 48000.0});
        catalog.defaultApi = kJack;
    }
    return catalog;
}

// JACK runs at its server's rate only; ALSA devices at 44.1 to 96 kHz.
bool rates(const StreamChoice& choice, double rate)
{
    return choice.hostApi == kJack || choice.input == kSystem ? rate == 48000.0 : rate <= 96000.0;
}

std::string errorOf(const DeviceCatalog& catalog, const StreamRequest& user)
{
    try
    {
        chooseStream(catalog, user, {}, rates);
    }
    catch (const UsageError& error)
    {
        return error.what();
    }
    return "no error";
}

} // namespace

TEST(StreamChoice, DefaultsToJackWhenItsServerRunsElseToTheSystemDefault)
{
    const ChoiceResult jack = chooseStream(machine(true), {}, {}, rates);
    EXPECT_EQ(jack.choice.hostApi, kJack);
    EXPECT_EQ(jack.choice.input, kSystem);
    EXPECT_EQ(jack.choice.inputChannel, 1);
    EXPECT_EQ(jack.choice.outputChannels, (std::vector<int>{1, 2}));
    EXPECT_EQ(jack.choice.rate, 48000.0);
    EXPECT_EQ(jack.choice.buffer, kDefaultBuffer);
    EXPECT_TRUE(jack.notes.empty());

    const ChoiceResult alsa = chooseStream(machine(false), {}, {}, rates);
    EXPECT_EQ(alsa.choice.hostApi, kAlsa);
    EXPECT_EQ(alsa.choice.output, kHda);
    EXPECT_EQ(alsa.choice.rate, 44100.0); // the device's own
}

TEST(StreamChoice, TheUsersDevicesChannelsAndRateAreTakenByNameAcrossHostApis)
{
    StreamRequest user;
    user.input = "usb interface:3";
    user.output = "USB Interface (hw:1,0):3,4";
    user.rate = 96000.0;
    user.buffer = 64;
    const ChoiceResult result = chooseStream(machine(true), user, {}, rates);
    EXPECT_EQ(result.choice.hostApi, kAlsa);
    EXPECT_EQ(result.choice.input, kUsb);
    EXPECT_EQ(result.choice.inputChannel, 3);
    EXPECT_EQ(result.choice.outputChannels, (std::vector<int>{3, 4}));
    EXPECT_EQ(result.choice.rate, 96000.0);
    EXPECT_EQ(result.choice.buffer, 64);
}

TEST(StreamChoice, WhatTheUserAsksAndCannotBeHadIsAnErrorNamingWhatIs)
{
    const DeviceCatalog catalog = machine(true);
    StreamRequest unknown;
    unknown.input = "Focusrite";
    EXPECT_THAT(errorOf(catalog, unknown), HasSubstr("no input device 'Focusrite'"));
    EXPECT_THAT(errorOf(catalog, unknown), HasSubstr("'system', 'HDA Intel PCH"));

    StreamRequest channel;
    channel.input = "system:3";
    EXPECT_THAT(errorOf(catalog, channel), HasSubstr("'system' has 2 input channel(s)"));

    StreamRequest twoInputs;
    twoInputs.input = "USB:1,2";
    EXPECT_THAT(errorOf(catalog, twoInputs), HasSubstr("one channel"));

    StreamRequest rate;
    rate.rate = 96000.0;
    EXPECT_THAT(errorOf(catalog, rate), HasSubstr("do not run at 96000 Hz (they do at 48000 Hz)"));

    StreamRequest mixed;
    mixed.input = "system";
    mixed.output = "USB";
    EXPECT_THAT(errorOf(catalog, mixed),
                HasSubstr("no output device 'USB' in JACK Audio Connection Kit (output devices: "
                          "'system')"));

    StreamRequest api;
    api.hostApi = "ASIO";
    EXPECT_THAT(errorOf(catalog, api), HasSubstr("no host API 'ASIO' (host APIs: 'ALSA', 'JACK"));

    StreamRequest ambiguous;
    ambiguous.output = "hw:";
    EXPECT_THAT(errorOf(machine(false), ambiguous), HasSubstr("no output device 'hw:'"));
}

TEST(StreamChoice, WhatTheSettingsRememberAndIsGoneFallsBackWithANote)
{
    StreamRequest saved;
    saved.hostApi = "ALSA";
    saved.input = "Old Interface:2";
    saved.output = "USB Interface (hw:1,0):7,8";
    saved.rate = 192000.0;
    saved.buffer = 4096;
    const ChoiceResult result = chooseStream(machine(false), {}, saved, rates);
    EXPECT_EQ(result.choice.input, kHda);
    EXPECT_EQ(result.choice.output, kUsb);
    EXPECT_EQ(result.choice.outputChannels, (std::vector<int>{1, 2}));
    EXPECT_EQ(result.choice.rate, 48000.0); // the output device's own
    EXPECT_EQ(result.choice.buffer, kDefaultBuffer);
    ASSERT_EQ(result.notes.size(), 3u);
    EXPECT_THAT(result.notes[0], HasSubstr("'Old Interface:2' is gone"));
    EXPECT_THAT(result.notes[1], HasSubstr("channels are not on 'USB Interface"));
    EXPECT_THAT(result.notes[2], HasSubstr("192000 Hz"));

    // The remembered choice, read back as it was written, comes back whole.
    StreamChoice usb;
    usb.hostApi = kAlsa;
    usb.input = kUsb;
    usb.inputChannel = 2;
    usb.output = kUsb;
    usb.outputChannels = {3, 4};
    usb.rate = 88200.0;
    usb.buffer = 128;
    const ChoiceResult back =
        chooseStream(machine(true), {}, requestFor(machine(true), usb), rates);
    EXPECT_TRUE(back.notes.empty());
    EXPECT_EQ(back.choice.input, kUsb);
    EXPECT_EQ(back.choice.inputChannel, 2);
    EXPECT_EQ(back.choice.outputChannels, (std::vector<int>{3, 4}));
    EXPECT_EQ(back.choice.rate, 88200.0);
    EXPECT_EQ(back.choice.buffer, 128);
}

TEST(StreamChoice, NothingToPlayThroughIsAChoiceError)
{
    DeviceCatalog empty;
    EXPECT_THROW(chooseStream(empty, {}, {}, rates), ChoiceError);
    const auto none = [](const StreamChoice&, double) { return false; };
    EXPECT_THROW(chooseStream(machine(false), {}, {}, none), ChoiceError);
}
