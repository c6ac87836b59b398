// The built plug-in binary as a host meets it: loaded by path, started through VSTPluginMain,
// driven only through the record.
#include "dranvelor_version.h"
#include "dsp/overdrive_processor.h"
#include "tests/host/recording_host.h"
#include "tests/plugin/plugin_library.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

namespace
{

constexpr float kSentinel = 12345.0f;

std::vector<float> testSignal(std::size_t length)
{
    std::vector<float> signal(length);
    std::uint32_t noise = 1;
    for (std::size_t i = 0; i < length; ++i)
    {
        noise = noise * 1664525u + 1013904223u;
        const double n = static_cast<double>(noise >> 8) / 16777216.0 - 0.5;
        signal[i] = static_cast<float>(0.7 * std::sin(0.03 * static_cast<double>(i)) + 0.2 * n);
    }
    return signal;
}

// What a fresh engine with the first program's values makes of the input at a whole rate.
std::vector<float> reference(std::int32_t rate, std::vector<float> input)
{
    OverdriveProcessor engine;
    engine.setSampleRate(rate);
    const float values[] = {0.5f, 0.5f, 0.5f, 0.0f};
    for (std::int32_t i = 0; i < 4; ++i)
        engine.setParameter(i, values[i]);
    std::vector<float> output(input.size());
    engine.processFloat(input.data(), output.data(), static_cast<std::int32_t>(input.size()));
    return output;
}

class Plugin : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(PluginLibrary::shared().loaded()) << DRANVELOR_PLUGIN_PATH;
    }
};

using Startup = Plugin;
using Processing = Plugin;
using SampleRate = Plugin;

TEST_F(Startup, BothExportsAreTheSameEntry)
{
    const PluginEntry entry = PluginLibrary::shared().entry("VSTPluginMain");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(PluginLibrary::shared().entry("main"), entry);
}

TEST_F(Startup, RecordDescribesTheEffect)
{
    PluginInstance plugin;
    const AEffect* r = plugin.record;
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->magic, 0x56737450); // "VstP"
    EXPECT_EQ(r->numPrograms, 16);
    EXPECT_EQ(r->numParams, 4);
    EXPECT_EQ(r->numInputs, 1);
    EXPECT_EQ(r->numOutputs, 1);
    EXPECT_EQ(r->flags, effFlagsHasEditor | effFlagsCanReplacing | effFlagsCanDoubleReplacing);
    EXPECT_EQ(r->ioRatio, 1.0f);
    EXPECT_EQ(r->version, 1);
    EXPECT_EQ(r->uniqueID, 0x4B4C5663); // "KLVc"
    EXPECT_EQ(r->initialDelay, 0);
    EXPECT_EQ(plugin.dispatch(effGetVendorVersion), DRANVELOR_VENDOR_VERSION);
    // The record is embedded in the effect object it points to.
    const auto* object = static_cast<const char*>(r->object);
    const auto* self = reinterpret_cast<const char*>(r);
    EXPECT_TRUE(object != nullptr && self > object && self < object + 4096);
}

TEST_F(Startup, TooOldAHostGetsNoInstance)
{
    RecordingHost host;
    EXPECT_EQ(PluginLibrary::shared().entry("VSTPluginMain")(RecordingHost::callback), nullptr);
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0].opcode, audioMasterVersion);
}

TEST_F(Startup, TalksToTheHostTwiceInOrder)
{
    RecordingHost host;
    host.answers = {{audioMasterVersion, 2400}, {audioMasterGetSampleRate, 48000}};
    PluginInstance plugin(RecordingHost::callback);
    ASSERT_NE(plugin.record, nullptr);
    ASSERT_EQ(host.calls.size(), 2u);
    const HostCall& version = host.calls[0];
    EXPECT_EQ(version.opcode, audioMasterVersion);
    EXPECT_EQ(version.effect, nullptr);
    const HostCall& rate = host.calls[1];
    EXPECT_EQ(rate.opcode, audioMasterGetSampleRate);
    EXPECT_EQ(rate.effect, plugin.record);
    for (const HostCall& call : host.calls)
    {
        EXPECT_EQ(call.index, 0);
        EXPECT_EQ(call.value, 0);
        EXPECT_EQ(call.ptr, nullptr);
        EXPECT_EQ(call.opt, 0.0f);
    }
    const std::vector<float> input = testSignal(2048);
    EXPECT_EQ(plugin.process(input), reference(48000, input));
}

TEST_F(Processing, SingleAndDoublePrecisionAgreeWithinFloatRounding)
{
    const std::vector<float> input = testSignal(4096);
    const std::vector<double> inputD(input.begin(), input.end());
    PluginInstance single;
    PluginInstance twice;
    const std::vector<float> out = single.process(input);
    const std::vector<double> outD = twice.process(inputD);
    double largest = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i)
    {
        EXPECT_NEAR(out[i], outD[i], 1e-6 * std::max(1.0, std::fabs(outD[i]))) << i;
        largest = std::max(largest, std::fabs(outD[i]));
    }
    EXPECT_GT(largest, 0.1) << "the signal must come through";
}

// A host with two channels passes two buffers of each; the effect is mono.
template <typename Sample> void expectOnlyTheFirstOutputWritten()
{
    PluginInstance plugin;
    const std::vector<Sample> untouched(64, Sample(kSentinel));
    std::vector<Sample> in(64, Sample(0.5));
    std::vector<Sample> spareIn(64, Sample(-0.5));
    std::vector<Sample> out = untouched;
    std::vector<Sample> spareOut = untouched;
    Sample* inputs[] = {in.data(), spareIn.data()};
    Sample* outputs[] = {out.data(), spareOut.data()};
    plugin.run(inputs, outputs, 64);
    EXPECT_NE(out, untouched);
    EXPECT_EQ(spareOut, untouched);
}

template <typename Sample> void expectNoFramesWriteNothing()
{
    PluginInstance plugin;
    Sample in = Sample(0.5);
    Sample out = Sample(kSentinel);
    Sample* inputs[] = {&in};
    Sample* outputs[] = {&out};
    plugin.run(inputs, outputs, 0);
    EXPECT_EQ(out, Sample(kSentinel));
}

TEST_F(Processing, OnlyTheFirstOutputIsWritten)
{
    expectOnlyTheFirstOutputWritten<float>();
    expectOnlyTheFirstOutputWritten<double>();
}

TEST_F(Processing, NoFramesWriteNothing)
{
    expectNoFramesWriteNothing<float>();
    expectNoFramesWriteNothing<double>();
}

TEST_F(Processing, TheOldAccumulatingCallLeavesTheOutputAlone)
{
    PluginInstance plugin;
    float in = 0.5f;
    float out = kSentinel;
    float* inputs[] = {&in};
    float* outputs[] = {&out};
    plugin.record->process(plugin.record, inputs, outputs, 1);
    EXPECT_EQ(out, kSentinel);
}

TEST_F(Processing, SuspendStartsAgainFromSilence)
{
    PluginInstance plugin;
    std::vector<float> silenceThenSignal(512, 0.0f);
    const std::vector<float> signal = testSignal(1024);
    silenceThenSignal.insert(silenceThenSignal.end(), signal.begin(), signal.end());
    plugin.process(testSignal(2048));
    plugin.dispatch(effMainsChanged, 0, 0);
    plugin.dispatch(effMainsChanged, 0, 1);
    EXPECT_EQ(plugin.process(silenceThenSignal), reference(44100, silenceThenSignal));
}

TEST_F(SampleRate, TheEngineRunsAtTheRateTruncatedToAWholeNumber)
{
    struct Case
    {
        float rate;
        std::int32_t engineRate;
    };
    const std::vector<float> input = testSignal(2048);
    for (const Case& c : {Case{48000.0f, 48000}, Case{88200.0f, 88200}, Case{192000.0f, 192000},
                          Case{44100.5f, 44100}})
    {
        PluginInstance plugin;
        plugin.dispatch(effSetSampleRate, 0, 0, nullptr, c.rate);
        EXPECT_EQ(plugin.process(input), reference(c.engineRate, input)) << c.rate;
    }
}

TEST_F(SampleRate, OtherRatesPassTheAudioThrough)
{
    const std::vector<float> input = testSignal(1024);
    PluginInstance plugin;
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 22050.0f);
    EXPECT_EQ(plugin.process(input), input);
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    EXPECT_NE(plugin.process(input), input);
}

TEST_F(SampleRate, RateWithBlockSizeDoesNotReachTheEngine)
{
    const std::vector<float> input = testSignal(2048);
    PluginInstance plugin;
    EXPECT_EQ(plugin.dispatch(effSetBlockSizeAndSampleRate, 0, 512, nullptr, 96000.0f), 1);
    EXPECT_EQ(plugin.process(input), reference(44100, input));
}

TEST_F(Plugin, TwoInstancesAreIndependent)
{
    PluginInstance first;
    PluginInstance second;
    ASSERT_NE(first.record, second.record);
    char name[] = "Scream";
    first.dispatch(effSetProgram, 0, 3);
    first.dispatch(effSetProgramName, 0, 0, name);
    first.record->setParameter(first.record, 0, 0.9f);
    first.dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    first.process(testSignal(4096));

    EXPECT_EQ(second.dispatch(effGetProgram), 0);
    char text[kVstMaxProgNameLen] = {};
    second.dispatch(effGetProgramNameIndexed, 3, 0, text);
    EXPECT_STREQ(text, "Default");
    second.dispatch(effSetProgram, 0, 3);
    EXPECT_EQ(second.record->getParameter(second.record, 0), 0.5f);
    const std::vector<float> input = testSignal(1024);
    EXPECT_EQ(second.process(input), reference(44100, input));
    EXPECT_EQ(first.record->getParameter(first.record, 0), 0.9f);
}

// The window size comes from the background image the editor loads from the binary's own
// resources, through the module handle the load hook stored.
TEST_F(Plugin, EditorFindsTheSkinInsideTheBinary)
{
    PluginInstance plugin;
    ERect* rect = nullptr;
    ASSERT_EQ(plugin.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 140);
    EXPECT_EQ(rect->right, 630);
}

#if defined(_WIN32)
std::uint32_t bigEndian(const unsigned char* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
           static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
}

// The DLL carries the six skin images as "PNG" resources, byte for byte the committed files.
TEST_F(Plugin, StoresTheSixSkinImages)
{
    struct Image
    {
        int id;
        const char* file;
        std::uint32_t width, height;
        unsigned char colourType; // 2 RGB, 6 RGBA
    };
    const Image images[] = {
        {128, "background.png", 630, 140, 2}, {129, "knob_drive.png", 70, 9450, 6},
        {130, "knob_tone.png", 70, 9450, 6},  {131, "knob_level.png", 70, 9450, 6},
        {132, "bypass.png", 74, 60, 2},       {133, "about.png", 330, 125, 2}};
    const HMODULE module = PluginLibrary::shared().module();
    ASSERT_NE(module, nullptr);
    for (const Image& image : images)
    {
        HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(image.id), "PNG");
        ASSERT_NE(info, nullptr) << image.id;
        const auto* bytes =
            static_cast<const unsigned char*>(LockResource(LoadResource(module, info)));
        const DWORD size = SizeofResource(module, info);
        ASSERT_GT(size, 33u) << image.id;
        EXPECT_EQ(bigEndian(bytes + 16), image.width) << image.id;
        EXPECT_EQ(bigEndian(bytes + 20), image.height) << image.id;
        EXPECT_EQ(bytes[25], image.colourType) << image.id;

        std::ifstream file(std::string(DRANVELOR_RESOURCES_DIR) + "/" + image.file,
                           std::ios::binary);
        const std::vector<unsigned char> committed((std::istreambuf_iterator<char>(file)),
                                                   std::istreambuf_iterator<char>());
        EXPECT_EQ(committed, std::vector<unsigned char>(bytes, bytes + size)) << image.file;
    }
}
#endif

} // namespace
