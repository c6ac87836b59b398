// What the effect sends to its host for each service, and what each service answers when the
// effect has no host callback.
#include "tests/host/recording_host.h"
#include "tests/host/spy_effect.h"

#include <gtest/gtest.h>

namespace
{

class AutomatedEffect : public PlainEffect
{
public:
    using PlainEffect::PlainEffect;
    void setParameter(VstInt32 index, float value) override { stored[index] = value; }
    VstInt32 canDo(const char* text) override
    {
        return midi && std::string(text) == "receiveVstMidiEvent" ? 1 : 0;
    }
    float stored[4] = {};
    bool midi = false;
};

TEST(HostServices, EachWrapperSendsItsOpcodeAndArguments)
{
    RecordingHost host;
    host.answers = {
        {audioMasterBeginEdit, 1},  {audioMasterEndEdit, 1},         {audioMasterCanDo, 1},
        {audioMasterSizeWindow, 1}, {audioMasterOpenWindow, 0x1234}, {audioMasterCloseWindow, 1},
        {audioMasterVersion, 2400}, {audioMasterCurrentId, 77},      {audioMasterPinConnected, 0}};
    AutomatedEffect effect(RecordingHost::callback);
    AEffect* self = effect.getAeffect();
    VstWindow window{};
    char sizeWindowText[] = "sizeWindow";

    effect.setParameterAutomated(2, 0.25f);
    EXPECT_EQ(effect.stored[2], 0.25f);
    EXPECT_TRUE(effect.beginEdit(1));
    EXPECT_TRUE(effect.endEdit(1));
    effect.masterIdle();
    EXPECT_TRUE(effect.canHostDo(sizeWindowText));
    EXPECT_TRUE(effect.sizeWindow(630, 140));
    EXPECT_EQ(effect.openWindow(&window), 0x1234);
    EXPECT_TRUE(effect.closeWindow(&window));
    EXPECT_EQ(effect.getMasterVersion(), 2400);
    EXPECT_EQ(effect.getCurrentUniqueId(), 77);
    EXPECT_TRUE(effect.isInputConnected(0));
    EXPECT_TRUE(effect.isOutputConnected(0));

    struct Expected
    {
        VstInt32 opcode;
        VstInt32 index;
        VstIntPtr value;
        void* ptr;
        float opt;
    };
    const Expected expected[] = {
        {audioMasterAutomate, 2, 0, nullptr, 0.25f}, {audioMasterBeginEdit, 1, 0, nullptr, 0},
        {audioMasterEndEdit, 1, 0, nullptr, 0},      {audioMasterIdle, 0, 0, nullptr, 0},
        {audioMasterCanDo, 0, 0, sizeWindowText, 0}, {audioMasterSizeWindow, 630, 140, nullptr, 0},
        {audioMasterOpenWindow, 0, 0, &window, 0},   {audioMasterCloseWindow, 0, 0, &window, 0},
        {audioMasterVersion, 0, 0, nullptr, 0},      {audioMasterCurrentId, 0, 0, nullptr, 0},
        {audioMasterPinConnected, 0, 0, nullptr, 0}, {audioMasterPinConnected, 0, 1, nullptr, 0},
    };
    ASSERT_EQ(host.calls.size(), std::size(expected));
    for (std::size_t i = 0; i < host.calls.size(); ++i)
    {
        const HostCall& call = host.calls[i];
        EXPECT_EQ(call.effect, self) << i;
        EXPECT_EQ(call.opcode, expected[i].opcode) << i;
        EXPECT_EQ(call.index, expected[i].index) << i;
        EXPECT_EQ(call.value, expected[i].value) << i;
        EXPECT_EQ(call.ptr, expected[i].ptr) << i;
        EXPECT_EQ(call.opt, expected[i].opt) << i;
    }
    EXPECT_EQ(host.calls[4].text, "sizeWindow");
}

TEST(HostServices, HostAnswersReadAsTheirBooleans)
{
    RecordingHost host;
    host.answers = {{audioMasterPinConnected, 1}};
    AutomatedEffect effect(RecordingHost::callback);
    VstWindow window{};
    EXPECT_FALSE(effect.beginEdit(0));
    EXPECT_FALSE(effect.endEdit(0));
    EXPECT_FALSE(effect.canHostDo("sizeWindow"));
    EXPECT_FALSE(effect.sizeWindow(1, 1));
    EXPECT_EQ(effect.openWindow(&window), 0);
    EXPECT_FALSE(effect.closeWindow(&window));
    EXPECT_FALSE(effect.isInputConnected(0));
    EXPECT_FALSE(effect.isOutputConnected(0));
}

TEST(HostServices, WithoutAHostEveryWrapperAnswersItsDefault)
{
    AutomatedEffect effect(nullptr);
    VstWindow window{};
    effect.setParameterAutomated(1, 0.6f);
    EXPECT_EQ(effect.stored[1], 0.6f);
    EXPECT_FALSE(effect.beginEdit(0));
    EXPECT_FALSE(effect.endEdit(0));
    effect.masterIdle();
    EXPECT_FALSE(effect.canHostDo("sizeWindow"));
    EXPECT_FALSE(effect.sizeWindow(630, 140));
    EXPECT_EQ(effect.openWindow(&window), 0);
    EXPECT_FALSE(effect.closeWindow(&window));
    EXPECT_FALSE(effect.wantEvents());
    EXPECT_EQ(effect.getMasterVersion(), 0);
    EXPECT_EQ(effect.getCurrentUniqueId(), 0);
    EXPECT_FALSE(effect.isInputConnected(0));
    EXPECT_FALSE(effect.isOutputConnected(0));
    EXPECT_EQ(effect.updateSampleRate(), 44100.0);
    EXPECT_EQ(effect.getSampleRate(), 44100.0f);
}

TEST(HostServices, SampleRateIsTakenOnlyWhenTheHostGivesOne)
{
    RecordingHost host;
    AutomatedEffect effect(RecordingHost::callback);
    for (VstIntPtr answer : {VstIntPtr{0}, VstIntPtr{-48000}})
    {
        host.answers[audioMasterGetSampleRate] = answer;
        EXPECT_EQ(effect.updateSampleRate(), 44100.0) << answer;
        EXPECT_EQ(effect.getSampleRate(), 44100.0f) << answer;
    }
    host.answers[audioMasterGetSampleRate] = 96000;
    EXPECT_EQ(effect.updateSampleRate(), 96000.0);
    EXPECT_EQ(effect.getSampleRate(), 96000.0f);
    ASSERT_EQ(host.calls.size(), 3u);
    EXPECT_EQ(host.calls[2].opcode, audioMasterGetSampleRate);
}

TEST(HostServices, ResumeAsksForMidiOnlyForSynthsAndMidiReceivers)
{
    RecordingHost host;
    AutomatedEffect effect(RecordingHost::callback);
    effect.resume();
    EXPECT_TRUE(host.calls.empty());

    effect.midi = true;
    effect.resume();
    effect.midi = false;
    effect.isSynth();
    effect.resume();
    ASSERT_EQ(host.calls.size(), 2u);
    for (const HostCall& call : host.calls)
    {
        EXPECT_EQ(call.opcode, audioMasterWantMidi);
        EXPECT_EQ(call.value, 1);
    }
}

} // namespace
