// The editor base: the throttled idle pass against a fake clock, the nested-idle guard, and
// what it forwards to the frame.
#include "controls_fixture.h"

#include "gui/knob.h"

using namespace VSTGUI;
using namespace controls_test;

namespace
{

class CountingFrame : public CFrame
{
public:
    using CFrame::CFrame;
    void idle() override { ++idles; }
    int32_t idles = 0;
};

class OpenEditor : public AEffGUIEditor
{
public:
    using AEffGUIEditor::AEffGUIEditor;
    void attach(CFrame* newFrame) { frame = newFrame; }
};

class EditorBase : public ::testing::Test
{
protected:
    EditorBase()
    {
        software::reset();
        software::resetEditBoxes();
        hostLog() = HostLog();
        software::setTickCount(kStart);
        effect = new TestEffect;
        editor = new OpenEditor(effect);
        effect->setEditor(editor);
        frame = new CountingFrame(CRect(0, 0, 200, 100), nullptr, editor);
        editor->attach(frame);
    }
    ~EditorBase() override
    {
        editor->attach(nullptr);
        delete frame;
        delete effect;
    }

    int32_t hostIdles() const
    {
        int32_t count = 0;
        for (const HostCall& call : hostLog().calls)
            count += call.opcode == audioMasterIdle;
        return count;
    }

    static constexpr uint32_t kStart = 10000;
    TestEffect* effect;
    OpenEditor* editor;
    CountingFrame* frame;
};

struct Throttle
{
    uint32_t sinceLastPass;
    bool runs;
    uint32_t slept;
};

class IdleThrottle : public EditorBase, public ::testing::WithParamInterface<Throttle>
{
};

TEST_P(IdleThrottle, RunsByTheTimeSinceThePreviousPass)
{
    const Throttle expected = GetParam();
    editor->doIdleStuff(); // due at once after construction
    ASSERT_EQ(frame->idles, 1);
    ASSERT_EQ(software::paintMessagesDispatched(), 1u);
    ASSERT_EQ(hostIdles(), 1);
    ASSERT_EQ(platform::getTickCount(), kStart) << "a due pass does not sleep";

    software::setTickCount(kStart + expected.sinceLastPass);
    editor->doIdleStuff();
    EXPECT_EQ(platform::getTickCount(), kStart + expected.sinceLastPass + expected.slept);
    const int32_t passes = expected.runs ? 2 : 1;
    EXPECT_EQ(frame->idles, passes);
    EXPECT_EQ(software::paintMessagesDispatched(), static_cast<uint32_t>(passes));
    EXPECT_EQ(hostIdles(), passes);
}

INSTANTIATE_TEST_SUITE_P(Windows, IdleThrottle,
                         ::testing::Values(Throttle{0, false, 4}, Throttle{45, false, 4},
                                           Throttle{46, true, 4}, Throttle{99, true, 4},
                                           Throttle{100, true, 0}, Throttle{250, true, 0}));

TEST_F(EditorBase, TheNextPassIsDue100MsAfterTheLastOneRan)
{
    editor->doIdleStuff();
    software::setTickCount(kStart + 60);
    editor->doIdleStuff(); // runs after sleeping, at 64
    ASSERT_EQ(frame->idles, 2);
    software::setTickCount(kStart + 64 + 45);
    editor->doIdleStuff();
    EXPECT_EQ(frame->idles, 2);
    software::setTickCount(kStart + 64 + 46);
    editor->doIdleStuff();
    EXPECT_EQ(frame->idles, 3);
}

TEST_F(EditorBase, APassDueBeforeTheTickCountWrappedStillRunsAfterIt)
{
    software::setTickCount(0xFFFFFF00u);
    TestEffect other;
    auto* late = new OpenEditor(&other);
    other.setEditor(late);
    late->attach(frame);
    late->doIdleStuff();
    ASSERT_EQ(frame->idles, 1);
    software::setTickCount(0x10u); // 272 ms later
    late->doIdleStuff();
    EXPECT_EQ(frame->idles, 2);
    software::setTickCount(0x20u); // 16 ms later
    late->doIdleStuff();
    EXPECT_EQ(frame->idles, 2);
    late->attach(nullptr);
}

TEST_F(EditorBase, AnIdleFromTheHostInsideTheIdlePassDoesNothing)
{
    int32_t idlesSeenInside = -1;
    hostLog().onIdle = [&]
    {
        const int32_t before = frame->idles;
        editor->idle();
        idlesSeenInside = frame->idles - before;
    };
    editor->doIdleStuff();
    EXPECT_EQ(idlesSeenInside, 0);
    EXPECT_EQ(frame->idles, 1);
    hostLog().onIdle = nullptr;
    editor->idle();
    EXPECT_EQ(frame->idles, 2) << "outside the pass the host's idle reaches the frame";
}

TEST_F(EditorBase, TheRectangleIsThereBeforeTheWindowOpens)
{
    ERect* rect = nullptr;
    EXPECT_TRUE(editor->getRect(&rect));
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 0);
}

TEST_F(EditorBase, KeysAndTheWheelReachTheFrameOnlyWhileItExists)
{
    auto* knob = new CKnob(CRect(10, 10, 80, 80), nullptr, 0, nullptr, nullptr, CPoint());
    frame->addView(knob);
    knob->setValue(0.5f);
    frame->setFocusView(knob);

    VstKeyCode up{0, 12, 0};
    EXPECT_TRUE(editor->onKeyDown(up));
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);
    VstKeyCode letter{'a', 0, 0};
    EXPECT_FALSE(editor->onKeyDown(letter));
    EXPECT_FALSE(editor->onKeyUp(up));

    software::setPointerScreenPosition(CPoint(40, 40));
    EXPECT_TRUE(editor->onWheel(1.f));
    EXPECT_NEAR(knob->getValue(), 0.7f, 1e-6);
    software::setPointerScreenPosition(CPoint(150, 40));
    EXPECT_FALSE(editor->onWheel(1.f)) << "no view under the pointer";

    editor->attach(nullptr);
    EXPECT_FALSE(editor->onKeyDown(up));
    EXPECT_FALSE(editor->onWheel(1.f));
    editor->attach(frame);
}

TEST_F(EditorBase, TheKnobModeIsSharedByEveryEditor)
{
    TestEffect other;
    auto* second = new OpenEditor(&other);
    other.setEditor(second);
    EXPECT_TRUE(second->setKnobMode(2));
    EXPECT_EQ(frame->getKnobMode(), 2);
    EXPECT_TRUE(editor->setKnobMode(0));
    EXPECT_EQ(second->knobMode(), 0);
}

TEST_F(EditorBase, EditGesturesReachTheHost)
{
    editor->beginEdit(7);
    editor->endEdit(7);
    EXPECT_EQ(hostLog().editCalls(), (std::vector<HostCall>{begin(7), end(7)}));
}

} // namespace
