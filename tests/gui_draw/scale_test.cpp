// Drawing at a scale: layout rectangles and outlines land on whole device pixels, and an image
// made for another scale is resampled into the scaled rectangle without taking in pixels from
// outside the part drawn.
#include "gui/bitmap.h"
#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/image_resample.h"

#include <gtest/gtest.h>

using namespace VSTGUI;

namespace
{

CColor devicePixel(CDrawContext& context, CCoord x, CCoord y)
{
    return platform::getPixel(context.getDevice(), CPoint(x, y));
}

// A 4 x 4 picture without alpha: the top half green, the bottom half red on the left and blue
// on the right.
CBitmap* makeQuarteredBitmap()
{
    auto* bitmap = new CBitmap(nullptr, 4, 4);
    COffscreenContext screen(nullptr, 1, 1);
    COffscreenContext painter(&screen, bitmap, true);
    const auto fill = [&](const CRect& rect, const CColor& color)
    {
        painter.setFillColor(color);
        painter.drawRect(rect, kDrawFilled);
    };
    fill(CRect(0, 0, 4, 2), kGreenCColor);
    fill(CRect(0, 2, 2, 4), kRedCColor);
    fill(CRect(2, 2, 4, 4), kBlueCColor);
    return bitmap;
}

TEST(ScaledDrawing, ShapesCoverTheScaledPixelsOfTheirLayoutRectangle)
{
    CFrame frame(CRect(0, 0, 8, 8), nullptr, nullptr, 1.5);
    COffscreenContext target(&frame, 8, 8, kBlackCColor);
    target.offset = CPoint(1, 0);
    target.setFillColor(kRedCColor);
    target.drawRect(CRect(0, 1, 2, 3), kDrawFilled); // (1, 1, 3, 3) -> device [2, 5) x [2, 5)
    EXPECT_EQ(devicePixel(target, 2, 2), kRedCColor);
    EXPECT_EQ(devicePixel(target, 4, 4), kRedCColor);
    EXPECT_EQ(devicePixel(target, 1, 2), kBlackCColor);
    EXPECT_EQ(devicePixel(target, 5, 4), kBlackCColor);
    // The same point read back through the context.
    EXPECT_EQ(target.getPoint(CPoint(0, 1)), kRedCColor);
    EXPECT_EQ(target.getPoint(CPoint(2, 1)), kBlackCColor);

    // An outline of width 1 is a band of the scaled width inside the scaled rectangle.
    target.offset = CPoint();
    target.setFrameColor(kWhiteCColor);
    target.drawRect(CRect(4, 4, 8, 8), kDrawStroked); // device [6, 12)
    EXPECT_EQ(devicePixel(target, 6, 6), kWhiteCColor);
    EXPECT_EQ(devicePixel(target, 7, 7), kWhiteCColor);  // band 2 pixels wide
    EXPECT_EQ(devicePixel(target, 8, 8), kBlackCColor);  // inside stays
    EXPECT_EQ(devicePixel(target, 10, 9), kWhiteCColor); // right band [10, 12)
    EXPECT_EQ(devicePixel(target, 11, 11), kWhiteCColor);
}

TEST(ScaledDrawing, AnImageOfAnotherScaleIsResampledIntoTheScaledRectangleOnly)
{
    CFrame frame(CRect(0, 0, 8, 8), nullptr, nullptr, 2.0);
    CBitmap* bitmap = makeQuarteredBitmap();
    COffscreenContext target(&frame, 8, 8, kWhiteCColor);

    // The bottom half only: no green from the rows above it bleeds into the first rows.
    bitmap->draw(&target, CRect(1, 1, 5, 3), CPoint(0, 2)); // device [2, 10) x [2, 6)
    for (CCoord y = 2; y < 6; ++y)
    {
        for (CCoord x = 2; x < 5; ++x)
            EXPECT_EQ(devicePixel(target, x, y), kRedCColor) << x << "," << y;
        for (CCoord x = 7; x < 10; ++x)
            EXPECT_EQ(devicePixel(target, x, y), kBlueCColor) << x << "," << y;
        // Where red meets blue the filter mixes them.
        const CColor mixed = devicePixel(target, 5, y);
        EXPECT_GT(mixed.red, 0);
        EXPECT_GT(mixed.blue, 0);
    }
    for (const CPoint outside : {CPoint(1, 3), CPoint(10, 3), CPoint(5, 1), CPoint(5, 6)})
        EXPECT_EQ(devicePixel(target, outside.h, outside.v), kWhiteCColor)
            << outside.h << "," << outside.v;
    bitmap->release();
}

// Resamples into a buffer of its own, top row first.
std::vector<uint32_t> resampled(const std::vector<uint32_t>& pixels, int32_t width, int32_t height,
                                int32_t targetWidth, int32_t targetHeight)
{
    std::vector<uint32_t> target(static_cast<std::size_t>(targetWidth) * targetHeight, 0xDEADu);
    resamplePixels(pixels.data(), width, height, target.data(), targetWidth, targetHeight,
                   targetWidth);
    return target;
}

TEST(ScaledDrawing, ResamplingKeepsFlatAreasAndAveragesWhenShrinking)
{
    const uint32_t grey = 0xFF808080u;
    for (const uint32_t pixel : resampled(std::vector<uint32_t>(6 * 3, grey), 6, 3, 9, 5))
        EXPECT_EQ(pixel, grey);

    // Alternate black and white columns shrink to greys, neither colour left whole, with the
    // picture's mean brightness and its alpha kept.
    const std::vector<uint32_t> stripes = {0xFF000000u, 0xFFFFFFFFu, 0xFF000000u, 0xFFFFFFFFu};
    int sum = 0;
    for (const uint32_t pixel : resampled(stripes, 4, 1, 2, 1))
    {
        EXPECT_EQ(pixel >> 24, 0xFFu);
        EXPECT_GT(pixel & 0xFF, 0u);
        EXPECT_LT(pixel & 0xFF, 0xFFu);
        sum += static_cast<int>(pixel & 0xFF);
    }
    EXPECT_NEAR(sum / 2.0, 127.5, 1.0);

    // Rows land where the stride says: bottom-up memory gets the top row last.
    const std::vector<uint32_t> rows = {0xFF0000FFu, 0xFFFF0000u}; // blue over red
    std::vector<uint32_t> bottomUp(2, 0);
    resamplePixels(rows.data(), 1, 2, bottomUp.data() + 1, 1, 2, -1);
    EXPECT_EQ(bottomUp[1], 0xFF0000FFu);
    EXPECT_EQ(bottomUp[0], 0xFFFF0000u);
}

} // namespace
