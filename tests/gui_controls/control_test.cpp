// The protocol every control shares: dirty tracking, the default-value click, clamping and
// double-click counting.
#include "controls_fixture.h"

#include "gui/on_off_button.h"

#include <cmath>
#include <limits>

using namespace VSTGUI;
using namespace controls_test;

namespace
{

class ControlProtocol : public ControlsTest
{
protected:
    COnOffButton* control = add(new COnOffButton(CRect(10, 10, 50, 40), &listener, 3, nullptr));
};

TEST_F(ControlProtocol, ValueChangesMakeTheControlDirtyUntilItIsDrawn)
{
    EXPECT_TRUE(control->isDirty()) << "a new control has never been drawn";
    control->setDirty(false);
    EXPECT_FALSE(control->isDirty());

    control->setValue(control->getValue());
    EXPECT_FALSE(control->isDirty()) << "the same value needs no redraw";
    control->setValue(0.25f);
    EXPECT_TRUE(control->isDirty());
    control->draw(context);
    EXPECT_FALSE(control->isDirty());
    EXPECT_FLOAT_EQ(control->getOldValue(), 0.25f);
    EXPECT_TRUE(listener.reports.empty()) << "setValue never reports";
}

TEST_F(ControlProtocol, FlaggingDirtyMovesTheOldValueAwayFromAnyValue)
{
    control->setValue(-1.f);
    control->setDirty(true);
    EXPECT_FLOAT_EQ(control->getOldValue(), 0.f);
    EXPECT_TRUE(control->isDirty());

    control->setValue(0.f);
    control->setDirty(true);
    EXPECT_FLOAT_EQ(control->getOldValue(), -1.f);
    control->CView::setDirty(false);
    EXPECT_TRUE(control->isDirty()) << "the value still differs from the old value";
}

TEST_F(ControlProtocol, OnlyControlWithTheLeftButtonAloneRestoresTheDefault)
{
    control->setValue(0.9f);
    control->setDirty(false);
    for (int32_t buttons : {int32_t{kLButton | kControl | kShift}, int32_t{kRButton | kControl},
                            int32_t{kLButton}, int32_t{kLButton | kControl | kAlt}})
    {
        EXPECT_FALSE(control->applyDefaultOnClick(context, buttons)) << buttons;
        EXPECT_FLOAT_EQ(control->getValue(), 0.9f);
    }
    EXPECT_TRUE(control->applyDefaultOnClick(context, kLButton | kControl));
    EXPECT_FLOAT_EQ(control->getValue(), 0.5f);
    ASSERT_EQ(listener.reports.size(), 1u);
    EXPECT_EQ(hostLog().editCalls(), (std::vector<HostCall>{begin(3), end(3)}));
    EXPECT_EQ(frame->getFocusView(), control);

    // Already at the default and drawn so: nothing to report, but still one gesture.
    control->setDirty(false);
    EXPECT_TRUE(control->applyDefaultOnClick(context, kLButton | kControl));
    EXPECT_EQ(listener.reports.size(), 1u);
    EXPECT_EQ(hostLog().editCalls().size(), 4u);
}

TEST_F(ControlProtocol, ClampValueKeepsTheRangeAndLeavesNaNAlone)
{
    control->setValue(1.5f);
    control->clampValue();
    EXPECT_FLOAT_EQ(control->getValue(), 1.f);
    control->setValue(-0.5f);
    control->clampValue();
    EXPECT_FLOAT_EQ(control->getValue(), 0.f);
    control->setValue(std::numeric_limits<float>::quiet_NaN());
    control->clampValue();
    EXPECT_TRUE(std::isnan(control->getValue()));
}

TEST_F(ControlProtocol, DoubleClicksPairUpWithinTheInterval)
{
    software::setDoubleClickTime(500);
    auto* counted = add(new COnOffButton(CRect(60, 10, 90, 40), &listener, 4, nullptr));
    software::setTickCount(1000);
    EXPECT_FALSE(counted->isDoubleClick());
    software::setTickCount(1100);
    EXPECT_TRUE(counted->isDoubleClick());
    software::setTickCount(1200);
    EXPECT_FALSE(counted->isDoubleClick()) << "a third click starts a new pair";
    software::setTickCount(1800);
    EXPECT_FALSE(counted->isDoubleClick()) << "600 ms is too slow for a 500 ms interval";
}

TEST_F(ControlProtocol, ASystemIntervalBelow250MsIsRaisedTo250)
{
    software::setDoubleClickTime(200);
    auto* counted = add(new COnOffButton(CRect(60, 10, 90, 40), &listener, 4, nullptr));
    software::setTickCount(1000);
    EXPECT_FALSE(counted->isDoubleClick());
    software::setTickCount(1240);
    EXPECT_TRUE(counted->isDoubleClick()) << "240 ms apart is a double click at 250 ms";
    software::setTickCount(2000);
    EXPECT_FALSE(counted->isDoubleClick());
    software::setTickCount(2250);
    EXPECT_FALSE(counted->isDoubleClick());
}

TEST_F(ControlProtocol, ModifiedClicksGoToTheListenerFirst)
{
    listener.modifierAnswer = 1;
    click(control, CPoint(20, 20), kLButton | kShift);
    EXPECT_EQ(listener.modifierClicks, std::vector<int32_t>{kLButton | kShift});
    EXPECT_FLOAT_EQ(control->getValue(), 0.f) << "the listener consumed the click";

    listener.modifierAnswer = 0;
    click(control, CPoint(20, 20), kLButton | kShift);
    EXPECT_FLOAT_EQ(control->getValue(), 1.f);

    control->setMouseEnabled(false);
    click(control, CPoint(20, 20), kLButton);
    EXPECT_FLOAT_EQ(control->getValue(), 1.f);
}

} // namespace
