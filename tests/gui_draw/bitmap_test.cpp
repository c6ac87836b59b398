// Bitmap drawing and loading on either platform, with and without the native blend services.
#include "gui/bitmap.h"
#include "gui/draw_context.h"
#include "gui/pixel_blend.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <vector>

using namespace VSTGUI;

namespace
{

// A 4 x 4 picture without alpha: white (the transparent colour's red, green and blue) except a
// red pixel at (1, 1) and a blue one at (2, 3).
CBitmap* makeOpaqueBitmap()
{
    auto* bitmap = new CBitmap(nullptr, 4, 4);
    COffscreenContext screen(nullptr, 1, 1);
    COffscreenContext painter(&screen, bitmap, true);
    painter.setFillColor(kWhiteCColor);
    painter.drawRect(CRect(0, 0, 4, 4), kDrawFilled);
    painter.drawPoint(CPoint(1, 1), kRedCColor);
    painter.drawPoint(CPoint(2, 3), kBlueCColor);
    return bitmap;
}

class WithBlendLibrary : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        if (GetParam())
            platform::openBlendLibrary();
    }
    void TearDown() override
    {
        if (GetParam())
            platform::closeBlendLibrary();
    }
};

INSTANTIATE_TEST_SUITE_P(Bitmap, WithBlendLibrary, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& param)
                         { return param.param ? std::string("native") : std::string("fallback"); });

TEST_P(WithBlendLibrary, TransparentDrawingLeavesOutTheTransparentColour)
{
    CBitmap* bitmap = makeOpaqueBitmap();
    ASSERT_TRUE(bitmap->isLoaded());
    EXPECT_FALSE(bitmap->hasAlpha());
    COffscreenContext target(nullptr, 16, 16, kGreenCColor);
    target.offset = CPoint(2, 2);
    bitmap->drawTransparent(&target, CRect(4, 4, 7, 7), CPoint(1, 1));
    target.offset = CPoint();
    EXPECT_EQ(target.getPoint(CPoint(6, 6)), kRedCColor);   // source (1, 1)
    EXPECT_EQ(target.getPoint(CPoint(7, 8)), kBlueCColor);  // source (2, 3)
    EXPECT_EQ(target.getPoint(CPoint(7, 7)), kGreenCColor); // white: left out
    EXPECT_EQ(target.getPoint(CPoint(9, 9)), kGreenCColor); // outside the rectangle

    // A stored mask takes precedence over the colour key: here it keeps the destination wherever
    // the device showed green when the mask was made.
    bitmap->setTransparentColor(kGreenCColor);
    bitmap->setTransparencyMask(&target, CPoint(5, 5));
    bitmap->setTransparentColor(kRedCColor);
    COffscreenContext masked(nullptr, 8, 8, kBlackCColor);
    bitmap->drawTransparent(&masked, CRect(0, 0, 4, 4));
    EXPECT_EQ(masked.getPoint(CPoint(1, 1)), kRedCColor);   // device (6, 6) was red
    EXPECT_EQ(masked.getPoint(CPoint(2, 3)), kBlueCColor);  // device (7, 8) was blue
    EXPECT_EQ(masked.getPoint(CPoint(0, 0)), kBlackCColor); // device (5, 5) was green
    bitmap->release();
}

TEST_P(WithBlendLibrary, PlainDrawingCopiesTheImage)
{
    CBitmap* bitmap = makeOpaqueBitmap();
    COffscreenContext target(nullptr, 8, 8, kGreenCColor);
    bitmap->draw(&target, CRect(0, 0, 3, 3), CPoint(1, 1));
    EXPECT_EQ(target.getPoint(CPoint(0, 0)), kRedCColor);
    EXPECT_EQ(target.getPoint(CPoint(1, 1)), kWhiteCColor);
    EXPECT_EQ(target.getPoint(CPoint(3, 3)), kGreenCColor);
    bitmap->release();
}

// The blend of the platform against the reference arithmetic, per-pixel and constant alpha.
TEST_P(WithBlendLibrary, AlphaBlendMatchesTheReferenceArithmetic)
{
    const uint32_t source[4] = {0x80402010, 0xFF0000FE, 0x00000000, 0x40404040}; // premultiplied
    uint8_t* bytes = nullptr;
    platform::Image image = platform::createImage32(4, 1, &bytes);
    ASSERT_NE(image, nullptr);
    for (int i = 0; i < 4; ++i)
        for (int c = 0; c < 4; ++c)
            bytes[4 * i + c] = static_cast<uint8_t>(source[i] >> (8 * c));

    const CColor background{200, 100, 50, 255};
    for (const uint8_t alpha : {uint8_t{255}, uint8_t{128}})
    {
        for (const bool perPixel : {true, false})
        {
            COffscreenContext target(nullptr, 6, 2, background);
            platform::alphaBlend(target.getDevice(), CRect(1, 1, 5, 2), image, CPoint(), alpha,
                                 perPixel);
            for (int i = 0; i < 4; ++i)
            {
                const uint32_t expected = blendPixel(0x00C86432, source[i], alpha, perPixel);
                const CColor got = target.getPoint(CPoint(1 + i, 1));
                EXPECT_LE(std::abs(got.red - static_cast<int>((expected >> 16) & 0xFF)), 1) << i;
                EXPECT_LE(std::abs(got.green - static_cast<int>((expected >> 8) & 0xFF)), 1) << i;
                EXPECT_LE(std::abs(got.blue - static_cast<int>(expected & 0xFF)), 1) << i;
            }
            EXPECT_EQ(target.getPoint(CPoint(5, 1)), background);
        }
    }
    platform::deleteImage(image);
}

TEST(Bitmap, MissingResourceLeavesAnEmptyBitmapThatDrawsNothing)
{
    CBitmap* bitmap = new CBitmap(4711);
    EXPECT_FALSE(bitmap->isLoaded());
    EXPECT_EQ(bitmap->getWidth(), 0);
    EXPECT_EQ(bitmap->getHeight(), 0);
    EXPECT_EQ(bitmap->getResourceId(), 4711);
    EXPECT_EQ(bitmap->getTransparentColor(), kTransparentCColor);
    COffscreenContext target(nullptr, 4, 4, kGreenCColor);
    bitmap->draw(&target, CRect(0, 0, 4, 4));
    bitmap->drawTransparent(&target, CRect(0, 0, 4, 4));
    bitmap->drawAlphaBlend(&target, CRect(0, 0, 4, 4), CPoint(), 255);
    EXPECT_EQ(target.getPoint(CPoint(1, 1)), kGreenCColor);
    EXPECT_EQ(bitmap->release(), 0);
}

TEST(Bitmap, LoadingFromAPathIsRefusedAndEmptiesTheBitmap)
{
    CBitmap* bitmap = makeOpaqueBitmap();
    EXPECT_FALSE(bitmap->loadFromPath("skin.png"));
    EXPECT_FALSE(bitmap->isLoaded());
    EXPECT_EQ(bitmap->getWidth(), 0);
    bitmap->release();
}

#ifdef DRANVELOR_SKIN_RESOURCES
TEST(Bitmap, TheSkinImagesLoadWithTheirSizes)
{
    struct Expected
    {
        int32_t id, width, height;
    };
    for (const Expected& e :
         {Expected{128, 630, 140}, Expected{129, 70, 9450}, Expected{130, 70, 9450},
          Expected{131, 70, 9450}, Expected{132, 74, 60}, Expected{133, 330, 125}})
    {
        CBitmap* bitmap = new CBitmap(e.id);
        EXPECT_TRUE(bitmap->isLoaded()) << e.id;
        EXPECT_TRUE(bitmap->hasAlpha()) << e.id;
        EXPECT_EQ(bitmap->getWidth(), e.width) << e.id;
        EXPECT_EQ(bitmap->getHeight(), e.height) << e.id;
        bitmap->release();
    }
}
#endif

} // namespace
