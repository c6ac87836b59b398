// Text placement and the mouse operations of the draw context, driven through the software
// platform's recorded text, pointer, buttons and clock.
#include "gui/draw_context.h"
#include "gui/software/test_control.h"

#include <gtest/gtest.h>

using namespace VSTGUI;

namespace
{

class SoftwareInput : public ::testing::Test
{
protected:
    void SetUp() override { software::reset(); }
    void TearDown() override
    {
        software::reset();
        CDrawContext::setMouseButtonsSwapped(false);
    }
    COffscreenContext context{nullptr, 40, 40, kBlackCColor};
};

TEST_F(SoftwareInput, StringsAreAlignedInTheirRectangleWithTheCurrentFont)
{
    context.offset = CPoint(3, 4);
    context.setFont(kNormalFontBig, 0, kItalicFace);
    context.setFontColor(kRedCColor);
    context.setFillColor(kBlueCColor);
    context.drawString("left & right", CRect(0, 0, 30, 10), false, kLeftText);
    context.drawString("centre", CRect(0, 0, 30, 10), true, kCenterText);
    context.drawString(nullptr, CRect(0, 0, 30, 10));

    const auto& texts = software::drawnTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "left & right");
    EXPECT_EQ(texts[0].rect, CRect(4, 4, 33, 14)); // left edge one pixel in
    EXPECT_EQ(texts[0].align, platform::TextAlign::left);
    EXPECT_FALSE(texts[0].opaque);
    EXPECT_EQ(texts[0].color, kRedCColor);
    EXPECT_EQ(texts[0].face, "Arial");
    EXPECT_EQ(texts[0].height, -14);
    EXPECT_EQ(texts[0].weight, 400);
    EXPECT_EQ(texts[1].rect, CRect(3, 4, 33, 14));
    EXPECT_EQ(texts[1].align, platform::TextAlign::center);
    EXPECT_TRUE(texts[1].opaque);
    EXPECT_EQ(texts[1].background, kBlueCColor);

    context.setFont(kSystemFont);
    context.drawString("system", CRect(0, 0, 30, 10), false, kRightText);
    EXPECT_EQ(software::drawnTexts().back().weight, 700);
    EXPECT_EQ(software::drawnTexts().back().align, platform::TextAlign::right);
}

TEST_F(SoftwareInput, ButtonsFollowTheSwapSettingAndKeepModifiers)
{
    software::setPhysicalMouseButtons(kRButton | kShift);
    EXPECT_EQ(context.getMouseButtons(), kRButton | kShift);
    CDrawContext::setMouseButtonsSwapped(true);
    EXPECT_EQ(context.getMouseButtons(), kLButton | kShift);
    software::setPhysicalMouseButtons(kLButton | kMButton | kControl);
    EXPECT_EQ(context.getMouseButtons(), kRButton | kMButton | kControl);
}

TEST_F(SoftwareInput, MouseLocationIsRelativeToTheScreenOffset)
{
    software::setPointerScreenPosition(CPoint(100, 50));
    context.offsetScreen = CPoint(90, 20);
    context.offset = CPoint(7, 7); // the drawing offset plays no part
    CPoint where;
    context.getMouseLocation(where);
    EXPECT_EQ(where, CPoint(10, 30));
}

TEST_F(SoftwareInput, DoubleClickNeedsASecondPressNearbyBeforeTheDeadline)
{
    software::setMessageTime(1000);
    software::setTickCount(1000);
    software::setDoubleClickTime(500);
    software::setPointerScreenPosition(CPoint(10, 10));

    software::postLeftButtonDown();
    EXPECT_TRUE(context.waitDoubleClick());

    // No second press: the wait ends at the deadline.
    EXPECT_FALSE(context.waitDoubleClick());

    // The pointer leaves the box [8, 12) before the press arrives.
    software::setTickCount(1000);
    int polls = 0;
    software::setPollHook(
        [&polls]
        {
            if (++polls == 5)
                software::setPointerScreenPosition(CPoint(12, 10));
            if (polls == 8)
                software::postLeftButtonDown();
        });
    EXPECT_FALSE(context.waitDoubleClick());

    // A deadline already past on entry.
    software::setPollHook(nullptr);
    software::setPointerScreenPosition(CPoint(10, 10));
    software::setTickCount(1600);
    software::postLeftButtonDown();
    EXPECT_FALSE(context.waitDoubleClick());
}

TEST_F(SoftwareInput, DoubleClickSurvivesTheClockWrappingAround)
{
    software::setMessageTime(0xFFFFFF00u);
    software::setTickCount(0xFFFFFF00u);
    software::setDoubleClickTime(0x200);
    int polls = 0;
    software::setPollHook(
        [&polls]
        {
            if (++polls == 1000)
                software::postLeftButtonDown();
        });
    EXPECT_TRUE(context.waitDoubleClick()); // the press comes after the tick count wrapped
}

} // namespace
