// The skin's pictures at scales above 1, drawn by the skin library for exactly that scale: a
// knob frame by frame as frames are shown, shared by the bitmaps of one scale and freed with
// the last of them, and laid out on whole pixels where the scale's are not.
#include "gui/bitmap.h"
#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/shared_images.h"
#include "resources/resource_ids.h"
#include "skin/skin.h"

#include <gtest/gtest.h>

using namespace VSTGUI;

namespace
{

CColor devicePixel(CDrawContext& context, CCoord x, CCoord y)
{
    return platform::getPixel(context.getDevice(), CPoint(x, y));
}

TEST(DrawnSkin, AKnobIsDrawnFrameByFrameAsFramesAreShownAndSharedByTheBitmapsOfItsScale)
{
    auto* first = new CBitmap(IDB_KNOB_DRIVE, 2.0);
    EXPECT_DOUBLE_EQ(first->getScale(), 2.0);
    EXPECT_EQ(first->getWidth(), 70);
    EXPECT_EQ(first->getHeight(), 9450);
    EXPECT_EQ(first->getPixelWidth(), 140);
    EXPECT_EQ(sharedImages::usage().drawnFrames, 0u); // nothing is drawn before it is shown

    CFrame frame(CRect(0, 0, 70, 70), nullptr, nullptr, 2.0);
    COffscreenContext target(&frame, 70, 70, kBlackCColor);
    first->draw(&target, CRect(0, 0, 70, 70), CPoint(0, 67 * 70));
    EXPECT_EQ(sharedImages::usage().drawnFrames, 1u);
    // The frame the library draws for 2x, over black.
    skin::Image expected(140, 140);
    skin::makePainter(skin::Picture::KnobDrive, 2.0)->drawFrame(67, expected.pixels());
    int mismatches = 0;
    for (int y = 0; y < 140; ++y)
        for (int x = 0; x < 140; ++x)
        {
            const uint32_t word = expected.at(x, y);
            const CColor shown = devicePixel(target, x, y);
            mismatches += shown.red != (word >> 16 & 0xFF) || shown.green != (word >> 8 & 0xFF) ||
                          shown.blue != (word & 0xFF);
        }
    EXPECT_EQ(mismatches, 0);

    // A second bitmap of the scale shows the frames drawn for the first.
    auto* second = new CBitmap(IDB_KNOB_DRIVE, 2.0);
    second->draw(&target, CRect(0, 0, 70, 70), CPoint(0, 67 * 70));
    EXPECT_EQ(sharedImages::usage().drawnFrames, 1u);
    EXPECT_EQ(sharedImages::usage().images, 1);
    second->draw(&target, CRect(0, 0, 70, 70), CPoint(0, 3 * 70));
    EXPECT_EQ(sharedImages::usage().drawnFrames, 2u);
    first->release();
    EXPECT_EQ(sharedImages::usage().images, 1);
    second->release();
    EXPECT_EQ(sharedImages::usage().images, 0);
    EXPECT_EQ(sharedImages::usage().drawnFrames, 0u);
}

TEST(DrawnSkin, AnotherScaleGetsPicturesOfItsOwnAndTheOldOnesGoWhenNothingHoldsThem)
{
    auto* held = new CBitmap(IDB_BACKGROUND, 1.5);
    auto* other = new CBitmap(IDB_BACKGROUND, 3.0);
    EXPECT_EQ(sharedImages::usage().images, 2);
    EXPECT_EQ(other->getPixelWidth(), 1890);
    other->release();
    // Kept while another picture is held, as decoded images are, until a new one comes.
    EXPECT_EQ(sharedImages::usage().images, 2);
    auto* knob = new CBitmap(IDB_KNOB_TONE, 1.5);
    EXPECT_EQ(sharedImages::usage().images, 2);
    knob->release();
    held->release();
    EXPECT_EQ(sharedImages::usage().images, 0);
}

// At 125 % a knob's 70 units are 87.5 pixels: its frames are 88 pixels, whichever whole pixels
// the knob's rectangle rounds to. The switch is drawn over the panel as the window places it:
// where its corners leave the panel alone, the panel's pixels show unchanged.
TEST(DrawnSkin, AtAScaleBetweenWholePixelsTheFramesHoldThePictureAndTheSwitchSitsInThePanel)
{
    auto* knob = new CBitmap(IDB_KNOB_LEVEL, 1.25);
    EXPECT_EQ(knob->getPixelWidth(), 88);
    EXPECT_EQ(knob->getPixelHeight(), 88 * 135);
    knob->release();

    CFrame frame(CRect(0, 0, 630, 140), nullptr, nullptr, 1.25);
    COffscreenContext target(&frame, 630, 140, kBlackCColor);
    auto* background = new CBitmap(IDB_BACKGROUND, 1.25);
    auto* bypass = new CBitmap(IDB_BYPASS, 1.25);
    background->draw(&target, CRect(0, 0, 630, 140));
    const CRect button = target.toDeviceRect(CRect(524, 82, 598, 112)); // [655, 748) x [103, 140)
    const CPoint corners[] = {button.topLeft(), CPoint(button.right - 1, button.top),
                              CPoint(button.left, button.bottom - 1),
                              CPoint(button.right - 1, button.bottom - 1)};
    CColor panel[4];
    for (int i = 0; i < 4; ++i)
        panel[i] = devicePixel(target, corners[i].h, corners[i].v);
    bypass->draw(&target, CRect(524, 82, 598, 112));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(devicePixel(target, corners[i].h, corners[i].v), panel[i]) << i;
    // Inside, the switch.
    EXPECT_NE(devicePixel(target, button.left + 20, button.top + 18), panel[0]);
    background->release();
    bypass->release();
}

} // namespace
