#include "controls_fixture.h"

#include "gui/platform/draw.h"

using namespace VSTGUI;

namespace controls_test
{

namespace
{
VstIntPtr VSTCALLBACK recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*,
                                    float)
{
    hostLog().calls.push_back({opcode, index});
    if (opcode == audioMasterIdle && hostLog().onIdle)
        hostLog().onIdle();
    return 0;
}
} // namespace

HostLog& hostLog()
{
    static HostLog log;
    return log;
}

TestEffect::TestEffect() : AudioEffectX(recordingHost, 1, 4) {}

void ScriptedEditor::script(const Sample& start, std::vector<Sample> samples)
{
    initial = start;
    steps = std::move(samples);
    idlePasses = 0;
    software::setPointerScreenPosition(start.where);
    software::setPhysicalMouseButtons(start.buttons);
}

void ScriptedEditor::doIdleStuff()
{
    // The loop reads the buttons before the idle pass and the position after it, so pass j
    // moves the pointer to sample j and shows the buttons of sample j - 1.
    ++idlePasses;
    const auto pass = static_cast<std::size_t>(idlePasses);
    const std::size_t count = steps.size();
    if (pass <= count)
        software::setPointerScreenPosition(steps[pass - 1].where);
    if (pass == 1)
        software::setPhysicalMouseButtons(initial.buttons);
    else if (pass - 1 <= count)
        software::setPhysicalMouseButtons(steps[pass - 2].buttons);
    else
        software::setPhysicalMouseButtons(0);
    if (onIdle)
        onIdle();
}

void RecordingListener::valueChanged(CDrawContext*, CControl* control)
{
    reports.push_back({control, control->getValue()});
    if (onValueChanged)
        onValueChanged(control);
}

int32_t RecordingListener::modifierClicked(CDrawContext*, CControl*, int32_t buttons)
{
    modifierClicks.push_back(buttons);
    return modifierAnswer;
}

ControlsTest::ControlsTest()
{
    software::reset();
    software::resetEditBoxes();
    hostLog() = HostLog();
    effect = new TestEffect;
    editor = new ScriptedEditor(effect);
    effect->setEditor(editor);
    editor->setKnobMode(0);
    frame = new CFrame(CRect(0, 0, 300, 200), &hostWindow, editor);
    editor->attach(frame);
    context = new CDrawContext(frame, nullptr, frame->getWindow());
}

ControlsTest::~ControlsTest()
{
    context->release();
    editor->attach(nullptr);
    delete frame;
    delete effect; // deletes the editor
}

void ControlsTest::paintOnce()
{
    software::paintWindow(frame->getWindow(), CRect(0, 0, 300, 200));
}

void ControlsTest::click(CView* view, const CPoint& where, int32_t buttons)
{
    editor->script({where, buttons}, {});
    CPoint at = where;
    view->onMouseDown(context, at, buttons);
}

void ControlsTest::drag(CView* view, const CPoint& start,
                        const std::vector<std::pair<CPoint, int32_t>>& moves, int32_t startButtons)
{
    std::vector<Sample> samples;
    for (const auto& [by, buttons] : moves)
        samples.push_back({CPoint(start.h + by.h, start.v + by.v), kLButton | buttons});
    editor->script({start, startButtons}, samples);
    CPoint at = start;
    view->onMouseDown(context, at, startButtons);
}

} // namespace controls_test
