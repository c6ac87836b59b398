// The Dranvelor window on the software platform, driven through the effect and its dispatcher as
// a host drives it.
#include "editor/cklv_editor.h"
#include "effect/cklv.h"
#include "gui/frame.h"
#include "gui/knob.h"
#include "gui/on_off_button.h"
#include "gui/software/edit_control.h"
#include "gui/software/test_control.h"
#include "gui/software/window_control.h"
#include "gui/splash_screen.h"
#include "gui/text_edit.h"
#include "tests/editor/editor_fixture.h"
#include "tests/host/recording_host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace VSTGUI;

namespace
{

using namespace editor_test;

TEST_F(CKLVEditorTest, SizeComesFromTheBackgroundBeforeTheWindowOpens)
{
    ERect* rect = nullptr;
    ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 140);
    EXPECT_EQ(rect->right, 630);
    EXPECT_EQ(effect->getAeffect()->flags, 0x1011);
}

TEST_F(CKLVEditorTest, OpensWithTheLayoutAndTheCurrentValues)
{
    effect->setParameter(0, 0.25f);
    effect->setParameter(1, 0.5f);
    effect->setParameter(2, 1.0f);
    effect->setParameter(3, 0.0f);
    dispatch(effSetEditKnobMode, 0, 0);
    openWindow();

    struct Expected
    {
        const char* type;
        int32_t tag;
        CRect bounds;
    };
    const Expected layout[] = {
        {"CAnimKnob", 0, CRect(170, 35, 240, 105)},    {"CAnimKnob", 1, CRect(280, 35, 350, 105)},
        {"CAnimKnob", 2, CRect(390, 35, 460, 105)},    {"CTextEdit", 5, CRect(184, 117, 227, 130)},
        {"CTextEdit", 6, CRect(294, 117, 337, 130)},   {"CTextEdit", 7, CRect(404, 117, 447, 130)},
        {"COnOffButton", 3, CRect(524, 82, 598, 112)}, {"CSplashScreen", 8, CRect(46, 39, 126, 99)},
        {"CSplashScreen", 9, CRect(489, 46, 619, 66)},
    };
    ASSERT_EQ(frame()->getViewCount(), 9);
    for (int32_t i = 0; i < 9; ++i)
    {
        auto* control = view<CControl>(i);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(control->isTypeOf(layout[i].type)) << i;
        EXPECT_EQ(control->getTag(), layout[i].tag) << i;
        EXPECT_EQ(control->getViewSize(), layout[i].bounds) << i;
    }

    EXPECT_EQ(knob(0)->frameTop(), 33 * 70);
    EXPECT_EQ(knob(1)->frameTop(), 67 * 70);
    EXPECT_EQ(knob(2)->frameTop(), 134 * 70);
    EXPECT_EQ(text(0), "2.50");
    EXPECT_EQ(text(1), "5.00");
    EXPECT_EQ(text(2), "10.00");
    EXPECT_EQ(bypassButton()->getValue(), 0.0f);
    EXPECT_EQ(editor().knobMode(), 2); // linear until a splash area says otherwise
    EXPECT_TRUE(editTraffic().empty());
}

TEST_F(CKLVEditorTest, BypassButtonStartsFromTheParameterSoTheFirstClickTurnsItOff)
{
    effect->setParameter(3, 1.0f);
    openWindow();
    EXPECT_EQ(bypassButton()->getValue(), 1.0f);

    click(kBypassCentre);
    click(kBypassCentre);
    EXPECT_EQ(editTraffic(), (std::vector<std::string>{"begin 3", "automate 3 0", "end 3",
                                                       "begin 3", "automate 3 1", "end 3"}));
    EXPECT_EQ(effect->getParameter(3), 1.0f);
}

TEST_F(CKLVEditorTest, ControlsAutomateTheirParameterAndTheFieldFollowsTheKnob)
{
    openWindow();
    knob(2)->setValue(0.3f);
    editor().valueChanged(nullptr, knob(2));
    bypassButton()->setValue(1.0f);
    editor().valueChanged(nullptr, bypassButton());

    EXPECT_EQ(editTraffic(), (std::vector<std::string>{"automate 2 0.3", "automate 3 1"}));
    EXPECT_EQ(effect->getParameter(2), 0.3f);
    dispatch(effEditIdle);
    EXPECT_EQ(text(2), "3.00");
    EXPECT_EQ(effect->getParameter(3), 1.0f);
}

TEST_F(CKLVEditorTest, TypedTextsAreCheckedClampedAndShownInTheFieldsFormat)
{
    openWindow();
    struct Case
    {
        const char* typed;
        bool accepted;
        float parameter; // when accepted
        const char* shown;
    };
    const Case cases[] = {
        {"7.5", true, 0.75f, "7.50"}, {"12", true, 1.0f, "10.00"}, {"-3", true, 0.0f, "0.00"},
        {".5.", true, 0.05f, "0.50"}, {"+", true, 0.0f, "0.00"},   {"-0", true, 0.0f, "0.00"},
        {"1..5", false, 0, "2.50"},   {"5e1", false, 0, "2.50"},   {"abc", false, 0, "2.50"},
        {"", false, 0, "2.50"},       {"5-", false, 0, "2.50"},    {"3", true, 0.3f, "3.00"},
    };
    for (const Case& c : cases)
    {
        effect->setParameter(1, 0.25f);
        host.calls.clear();
        type(1, c.typed);
        if (c.accepted)
        {
            char expected[32];
            std::snprintf(expected, sizeof expected, "automate 1 %g",
                          static_cast<double>(c.parameter));
            EXPECT_EQ(editTraffic(), std::vector<std::string>{expected}) << c.typed;
            EXPECT_EQ(effect->getParameter(1), c.parameter) << c.typed;
        }
        else
        {
            EXPECT_TRUE(editTraffic().empty()) << c.typed;
            EXPECT_EQ(effect->getParameter(1), 0.25f) << c.typed;
        }
        EXPECT_TRUE(field(1)->isDirty()) << c.typed;
        dispatch(effEditIdle);
        EXPECT_EQ(text(1), c.shown) << c.typed;
    }
}

TEST_F(CKLVEditorTest, MirrorOnlyRecordsAndTheNextIdleShowsAndDraws)
{
    effect->setParameter(0, 0.1f);
    openWindow();
    dispatch(effEditIdle);
    const std::vector<uint32_t> before = pixels(kDriveKnobRect);

    // Host automation arrives on another thread while the window is open.
    std::thread automation([this] { effect->setParameter(0, 0.9f); });
    automation.join();
    EXPECT_EQ(knob(0)->getValue(), 0.1f);
    EXPECT_EQ(text(0), "1.00");
    EXPECT_EQ(pixels(kDriveKnobRect), before);

    dispatch(effEditIdle);
    EXPECT_EQ(knob(0)->getValue(), 0.9f);
    EXPECT_EQ(text(0), "9.00");
    EXPECT_NE(pixels(kDriveKnobRect), before);
}

TEST_F(CKLVEditorTest, ChangesWhileClosedAreShownAtTheNextOpen)
{
    openWindow();
    dispatch(effEditClose);
    effect->setParameter(1, 0.8f);
    effect->setParameter(2, 1.5f);
    effect->setParameter(3, 1.0f);
    openWindow();
    EXPECT_EQ(knob(1)->getValue(), 0.8f);
    EXPECT_EQ(text(1), "8.00");
    // Outside 0..1 the field shows the value and the knob its nearest end.
    EXPECT_EQ(knob(2)->getValue(), 1.0f);
    EXPECT_EQ(text(2), "15.00");
    EXPECT_EQ(bypassButton()->getValue(), 1.0f);
}

TEST_F(CKLVEditorTest, ClosingTheWindowWithAFieldOpenEndsItsEdit)
{
    constexpr CPoint kDriveFieldCentre(205, 123);
    openWindow();
    click(kDriveFieldCentre);
    ASSERT_NE(software::openEditBox(), nullptr);
    dispatch(effEditClose);
    EXPECT_EQ(software::openEditBox(), nullptr);
    EXPECT_EQ(editTraffic(), (std::vector<std::string>{"begin 5", "end 5"}));

    // Text typed before the close is taken, as when the field loses the focus.
    openWindow();
    click(kDriveFieldCentre);
    software::typeIntoEditBox("8");
    dispatch(effEditClose);
    EXPECT_EQ(editTraffic(), (std::vector<std::string>{"begin 5", "end 5", "automate 0 0.8"}));
    EXPECT_EQ(effect->getParameter(0), 0.8f);
    openWindow();
    EXPECT_EQ(text(0), "8.00");
}

TEST_F(CKLVEditorTest, SplashAreasChooseTheKnobModeForEveryLaterOpen)
{
    openWindow();
    auto* circular = view<CSplashScreen>(7);
    circular->setValue(1.0f);
    editor().valueChanged(nullptr, circular);
    EXPECT_EQ(editor().knobMode(), 0);
    dispatch(effEditClose);
    dispatch(effSetEditKnobMode, 0, 2);
    openWindow();
    EXPECT_EQ(editor().knobMode(), 0);

    // A click shows the picture and selects linear dragging; a click on the picture hides it.
    click(kLinearSplashCentre);
    EXPECT_NE(frame()->getModalView(), nullptr);
    EXPECT_EQ(editor().knobMode(), 2);
    click(kSplashPictureCentre);
    EXPECT_EQ(frame()->getModalView(), nullptr);
    EXPECT_TRUE(editTraffic().empty()); // the splash areas make no edit gestures

    dispatch(effEditClose);
    dispatch(effSetEditKnobMode, 0, 0);
    openWindow();
    EXPECT_EQ(editor().knobMode(), 2);
}

TEST_F(CKLVEditorTest, HostMistakesLeaveNoWindowBehindAndDoNoHarm)
{
    dispatch(effEditClose); // never opened
    openWindow();
    openWindow(); // again without closing: the first window goes
    dispatch(effEditClose);
    dispatch(effEditClose);
    EXPECT_FALSE(software::isWindowClassRegistered());

    // Calls after the window closed.
    effect->setParameter(0, 0.7f);
    dispatch(effEditIdle);
    EXPECT_EQ(dispatch(effEditKeyDown, 0, 12), 0);
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);

    // The host closes the effect with the window open.
    openWindow();
    EXPECT_TRUE(software::isWindowClassRegistered());
    dispatch(effClose);
    static_cast<void>(effect.release()); // deleted by effClose
    EXPECT_FALSE(software::isWindowClassRegistered());
}

} // namespace
