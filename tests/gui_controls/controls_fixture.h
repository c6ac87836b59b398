// Ground for the control tests: an effect whose host records what it hears, an editor whose idle
// pass plays a scripted mouse gesture, a frame with a software window, and a listener that
// records every report.
#pragma once

#include "editor/aeffguieditor.h"
#include "gui/control.h"
#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/software/edit_control.h"
#include "gui/software/test_control.h"
#include "gui/software/window_control.h"
#include "host/audio_effect_x.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace controls_test
{

struct HostCall
{
    VstInt32 opcode;
    VstInt32 index;
    bool operator==(const HostCall& other) const
    {
        return opcode == other.opcode && index == other.index;
    }
};

// What the host heard, process-wide because the host callback carries no context.
struct HostLog
{
    std::vector<HostCall> calls;
    std::function<void()> onIdle;

    std::vector<HostCall> editCalls() const
    {
        std::vector<HostCall> edits;
        for (const HostCall& call : calls)
            if (call.opcode == audioMasterBeginEdit || call.opcode == audioMasterEndEdit)
                edits.push_back(call);
        return edits;
    }
};

HostLog& hostLog();

inline HostCall begin(VstInt32 index)
{
    return {audioMasterBeginEdit, index};
}
inline HostCall end(VstInt32 index)
{
    return {audioMasterEndEdit, index};
}

class TestEffect : public AudioEffectX
{
public:
    TestEffect();
    void processReplacing(float**, float**, VstInt32) override {}
};

// One sample of a gesture: the pointer position (frame coordinates) and the buttons that the
// control's mouse loop sees together.
struct Sample
{
    VSTGUI::CPoint where;
    int32_t buttons;
};

// Replaces the throttled idle pass: each pass advances the scripted gesture so that loop pass k
// sees sample k, and the left button goes up after the last sample.
class ScriptedEditor : public AEffGUIEditor
{
public:
    using AEffGUIEditor::AEffGUIEditor;

    void doIdleStuff() override;

    void attach(VSTGUI::CFrame* newFrame) { frame = newFrame; }
    // Presses at start with buttons, then plays samples.
    void script(const Sample& start, std::vector<Sample> samples);

    int32_t idlePasses = 0;
    std::function<void()> onIdle;

private:
    Sample initial{};
    std::vector<Sample> steps;
};

struct Report
{
    VSTGUI::CControl* control;
    float value;
};

class RecordingListener : public VSTGUI::CControlListener
{
public:
    void valueChanged(VSTGUI::CDrawContext* context, VSTGUI::CControl* control) override;
    int32_t modifierClicked(VSTGUI::CDrawContext* context, VSTGUI::CControl* control,
                            int32_t buttons) override;

    std::vector<Report> reports;
    std::vector<int32_t> modifierClicks;
    int32_t modifierAnswer = 0;
    std::function<void(VSTGUI::CControl*)> onValueChanged;
};

// A 300 x 200 frame in a software window, its editor and a context on the window.
class ControlsTest : public ::testing::Test
{
protected:
    ControlsTest();
    ~ControlsTest() override;

    // Adds the control to the frame, which takes over the creator's reference.
    template <typename T> T* add(T* control)
    {
        frame->addView(control);
        return control;
    }
    // Paints the window once, so that the frame's idle pass draws from then on.
    void paintOnce();
    void click(VSTGUI::CView* view, const VSTGUI::CPoint& where, int32_t buttons);
    // A left-button gesture over a control: press at start with extra modifier buttons, then
    // move through the offsets from start, then release.
    void drag(VSTGUI::CView* view, const VSTGUI::CPoint& start,
              const std::vector<std::pair<VSTGUI::CPoint, int32_t>>& moves,
              int32_t startButtons = VSTGUI::kLButton);

    TestEffect* effect;
    ScriptedEditor* editor;
    VSTGUI::CFrame* frame;
    VSTGUI::CDrawContext* context;
    RecordingListener listener;
    int hostWindow = 0;
};

} // namespace controls_test
