// The window opens, idles and closes in a loop on one thread while another processes audio and
// automates every parameter and the program, as a host's UI and audio threads do; at 2x the
// window also changes its scale while open, and two instances' windows at two scales take
// turns. Under ThreadSanitizer the run reports no data race, and afterwards the controls show
// the last values.
#include "editor/cklv_editor.h"
#include "effect/cklv.h"
#include "gui/frame.h"
#include "gui/knob.h"
#include "gui/on_off_button.h"
#include "gui/scale.h"
#include "gui/software/test_control.h"
#include "gui/software/window_control.h"
#include "gui/text_edit.h"
#include "host/plugin/plugin_effect.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace VSTGUI;

namespace
{

VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    if (opcode == audioMasterVersion)
        return kVstVersion;
    if (opcode == audioMasterGetSampleRate)
        return 44100;
    return 0;
}

// Processes audio for the instances and automates every parameter and the program of each, as
// a host's audio thread does, until stopped; keeps the values it set last on the first one.
class AudioThread
{
public:
    explicit AudioThread(std::vector<AEffect*> records)
        : records_(std::move(records)), thread_([this] { run(); })
    {
    }
    ~AudioThread() { stop(); }
    AudioThread(const AudioThread&) = delete;
    AudioThread& operator=(const AudioThread&) = delete;

    void stop()
    {
        running_ = false;
        if (thread_.joinable())
            thread_.join();
    }
    long blocks() const { return blocks_.load(); }
    // Read after stop.
    const float* last() const { return last_; }

private:
    void run()
    {
        std::mt19937 random(7);
        std::uniform_real_distribution<float> value(0.0f, 1.0f);
        std::vector<float> in(128, 0.25f), out(128);
        float* inputs[1] = {in.data()};
        float* outputs[1] = {out.data()};
        while (running_.load(std::memory_order_relaxed))
            for (AEffect* record : records_)
            {
                if (blocks_ % 8 == 0)
                    record->dispatcher(record, effSetProgram, 0,
                                       static_cast<VstIntPtr>(random() % 16), nullptr, 0.0f);
                for (VstInt32 index = 0; index < 4; ++index)
                {
                    const float v = value(random);
                    if (record == records_.front())
                        last_[index] = v;
                    record->setParameter(record, index, v);
                }
                record->processReplacing(record, inputs, outputs, 128);
                blocks_.fetch_add(1, std::memory_order_relaxed);
            }
    }

    std::vector<AEffect*> records_;
    std::atomic<bool> running_{true};
    std::atomic<long> blocks_{0};
    float last_[4] = {};
    std::thread thread_;
};

class EditorAutomation : public ::testing::TestWithParam<float>
{
};

TEST_P(EditorAutomation, WindowOpensAndClosesWhileTheAudioThreadAutomates)
{
    software::reset();
    std::unique_ptr<CKLV> effect(static_cast<CKLV*>(createPluginEffect(host)));
    AEffect* record = effect->getAeffect();
    const auto dispatch = [record](VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr)
    { return record->dispatcher(record, opcode, 0, value, ptr, 0.0f); };
    const auto sendScale = [record](float factor)
    {
        record->dispatcher(record, effVendorSpecific, kContentScaleIndex, kContentScaleValue,
                           nullptr, factor);
    };
    const float scale = GetParam();
    sendScale(scale);
    dispatch(effMainsChanged, 1);

    AudioThread audio({record});
    int hostWindow = 0;
    for (int opening = 0; opening < 16; ++opening)
    {
        ASSERT_EQ(dispatch(effEditOpen, 0, &hostWindow), 1);
        // Each window stays open until the audio thread has automated a few blocks against it,
        // however the two threads are scheduled.
        const long start = audio.blocks();
        CFrame* frame = static_cast<CKLVEditor*>(effect->getEditor())->getFrame();
        software::paintWindow(frame->getWindow(), toDevice(CRect(0, 0, 630, 140), scale));
        for (int idle = 0; idle < 5; ++idle)
        {
            // A new scale while open brings the images of another set.
            if (scale != 1.0f && idle == 2)
                sendScale(scale - 0.5f);
            dispatch(effEditIdle);
        }
        while (audio.blocks() < start + 8)
            std::this_thread::yield();
        dispatch(effEditClose);
        sendScale(scale);
    }
    audio.stop();
    const float* last = audio.last();

    // What the audio thread set last is what the window shows after one idle.
    ASSERT_EQ(dispatch(effEditOpen, 0, &hostWindow), 1);
    dispatch(effEditIdle);
    CFrame* frame = static_cast<CKLVEditor*>(effect->getEditor())->getFrame();
    for (int32_t knob = 0; knob < 3; ++knob)
    {
        EXPECT_EQ(static_cast<CAnimKnob*>(frame->getView(knob))->getValue(), last[knob]);
        char expected[32], shown[256];
        std::snprintf(expected, sizeof expected, "%2.2f", static_cast<double>(last[knob] * 10.0f));
        static_cast<CTextEdit*>(frame->getView(3 + knob))->getText(shown);
        EXPECT_STREQ(shown, expected);
    }
    EXPECT_EQ(static_cast<COnOffButton*>(frame->getView(6))->getValue(), last[3]);
    dispatch(effEditClose);
    dispatch(effMainsChanged, 0);
}

INSTANTIATE_TEST_SUITE_P(Scales, EditorAutomation, ::testing::Values(1.0f, 2.0f));

// Two plug-in instances whose windows show the skin at different scales, both drawn for their
// scale from the process's shared pictures, open, draw new knob frames and close in turn while
// one audio thread automates both.
TEST(EditorAutomationTwoWindows, WindowsAtDifferentScalesShareTheSkinWhileTheAudioThreadAutomates)
{
    software::reset();
    const float scales[2] = {1.5f, 2.5f};
    std::unique_ptr<CKLV> effects[2] = {
        std::unique_ptr<CKLV>(static_cast<CKLV*>(createPluginEffect(host))),
        std::unique_ptr<CKLV>(static_cast<CKLV*>(createPluginEffect(host)))};
    AEffect* records[2] = {effects[0]->getAeffect(), effects[1]->getAeffect()};
    for (int i = 0; i < 2; ++i)
    {
        records[i]->dispatcher(records[i], effVendorSpecific, kContentScaleIndex,
                               kContentScaleValue, nullptr, scales[i]);
        records[i]->dispatcher(records[i], effMainsChanged, 0, 1, nullptr, 0.0f);
    }

    AudioThread audio({records[0], records[1]});
    int hostWindow = 0;
    for (int opening = 0; opening < 8; ++opening)
    {
        for (AEffect* record : records)
            ASSERT_EQ(record->dispatcher(record, effEditOpen, 0, 0, &hostWindow, 0.0f), 1);
        // Both windows stay open until the audio thread has automated a few blocks of each.
        const long start = audio.blocks();
        for (int idle = 0; idle < 5; ++idle)
            for (int i = 0; i < 2; ++i)
            {
                // Each idle pass shows the knobs' new values: frames not drawn before are drawn.
                records[i]->dispatcher(records[i], effEditIdle, 0, 0, nullptr, 0.0f);
                CFrame* frame = static_cast<CKLVEditor*>(effects[i]->getEditor())->getFrame();
                software::paintWindow(frame->getWindow(),
                                      toDevice(CRect(0, 0, 630, 140), scales[i]));
            }
        while (audio.blocks() < start + 16)
            std::this_thread::yield();
        for (AEffect* record : records)
            record->dispatcher(record, effEditClose, 0, 0, nullptr, 0.0f);
    }
    audio.stop();
    for (AEffect* record : records)
        record->dispatcher(record, effMainsChanged, 0, 0, nullptr, 0.0f);
}

} // namespace
