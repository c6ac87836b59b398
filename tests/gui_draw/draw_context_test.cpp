// Pixel rules of the draw contexts, shared by the GDI and the software platforms.
#include "gui/draw_context.h"

#include <gtest/gtest.h>

using namespace VSTGUI;

namespace
{

constexpr CColor kDarkBlue{10, 20, 30, 255};

// Reads pixels in device coordinates whatever the context's drawing offset.
CColor pixel(CDrawContext& context, int32_t x, int32_t y)
{
    const CPoint saved = context.offset;
    context.offset = CPoint();
    const CColor color = context.getPoint(CPoint(x, y));
    context.offset = saved;
    return color;
}

class Surface : public ::testing::Test
{
protected:
    COffscreenContext* context = new COffscreenContext(nullptr, 40, 40, kBlackCColor);
    ~Surface() override { context->release(); }

    // The columns of row y painted in color, as a string of '#' and '.'.
    std::string row(int32_t y, const CColor& color, int32_t from = 8, int32_t to = 22)
    {
        std::string marks;
        for (int32_t x = from; x < to; ++x)
            marks += pixel(*context, x, y) == color ? '#' : '.';
        return marks;
    }
};

TEST_F(Surface, OutlineLiesInsideTheRectangleAndFillLeavesOutTopAndLeft)
{
    context->setFrameColor(kRedCColor);
    context->drawRect(CRect(10, 10, 20, 20), kDrawStroked);
    //                                   8   12  16  20
    EXPECT_EQ(row(10, kRedCColor), "..##########..");
    EXPECT_EQ(row(15, kRedCColor), "..#........#..");
    EXPECT_EQ(row(19, kRedCColor), "..##########..");
    EXPECT_EQ(row(20, kRedCColor), "..............");

    context->setFillColor(kGreenCColor);
    context->fillRect(CRect(10, 10, 20, 20));
    EXPECT_EQ(row(10, kGreenCColor), "..............");
    EXPECT_EQ(row(11, kGreenCColor), "...#########..");
    EXPECT_EQ(row(19, kGreenCColor), "...#########..");
    EXPECT_EQ(row(20, kGreenCColor), "..............");

    context->drawRect(CRect(10, 25, 20, 30), kDrawFilled);
    EXPECT_EQ(row(25, kGreenCColor), "..##########..");
    EXPECT_EQ(row(30, kGreenCColor), "..............");
}

TEST_F(Surface, LinesLeaveOutTheirEndPoint)
{
    context->setFrameColor(kWhiteCColor);
    context->moveTo(CPoint(10, 5));
    context->lineTo(CPoint(20, 5));
    EXPECT_EQ(row(5, kWhiteCColor), "..##########..");
    context->lineTo(CPoint(20, 8)); // continues from the previous end point
    EXPECT_EQ(pixel(*context, 20, 5), kWhiteCColor);
    EXPECT_EQ(pixel(*context, 20, 7), kWhiteCColor);
    EXPECT_EQ(pixel(*context, 20, 8), kBlackCColor);
}

TEST_F(Surface, FilledShapesKeepInsideTheirOutlines)
{
    context->setFillColor(kGreenCColor);
    const CPoint square[] = {CPoint(10, 2), CPoint(20, 2), CPoint(20, 8), CPoint(10, 8)};
    context->fillPolygon(square, 4);
    EXPECT_EQ(row(1, kGreenCColor), "..............");
    EXPECT_EQ(row(2, kGreenCColor), "..##########..");
    EXPECT_EQ(row(7, kGreenCColor), "..##########..");
    EXPECT_EQ(row(8, kGreenCColor), "..............");

    // Like a filled rectangle, a filled ellipse leaves out the top and left of its rectangle.
    context->fillEllipse(CRect(10, 10, 21, 21));
    EXPECT_EQ(pixel(*context, 16, 16), kGreenCColor);
    EXPECT_EQ(pixel(*context, 11, 16), kGreenCColor);
    EXPECT_EQ(pixel(*context, 16, 11), kGreenCColor);
    EXPECT_EQ(pixel(*context, 20, 16), kGreenCColor);
    for (const CPoint corner : {CPoint(11, 11), CPoint(20, 11), CPoint(11, 20), CPoint(20, 20)})
        EXPECT_EQ(pixel(*context, corner.h, corner.v), kBlackCColor);
    EXPECT_EQ(row(10, kGreenCColor), "..............");
    EXPECT_EQ(row(22, kGreenCColor), "..............");
    for (int32_t y = 10; y < 23; ++y)
    {
        EXPECT_EQ(pixel(*context, 10, y), kBlackCColor) << "row " << y;
        EXPECT_EQ(pixel(*context, 22, y), kBlackCColor) << "row " << y;
    }
}

TEST_F(Surface, DrawingOffsetMovesEveryPrimitive)
{
    context->offset = CPoint(5, 7);
    context->setFrameColor(kRedCColor);
    context->setFillColor(kGreenCColor);
    context->moveTo(CPoint(0, 0));
    context->lineTo(CPoint(3, 0));
    context->drawRect(CRect(0, 10, 4, 14), kDrawStroked);
    context->fillRect(CRect(10, 10, 14, 14));
    context->drawPoint(CPoint(20, 0), kBlueCColor);
    const CPoint triangle[] = {CPoint(20, 20), CPoint(26, 20), CPoint(20, 26)};
    context->polyLine(triangle, 2);

    EXPECT_EQ(row(7, kRedCColor, 4, 10), ".###..");
    EXPECT_EQ(row(17, kRedCColor, 4, 10), ".####.");
    EXPECT_EQ(row(20, kRedCColor, 4, 10), ".####.");
    EXPECT_EQ(row(18, kGreenCColor, 14, 20), "..###.");
    EXPECT_EQ(pixel(*context, 25, 7), kBlueCColor);
    EXPECT_EQ(pixel(*context, 25, 27), kRedCColor);
    EXPECT_EQ(pixel(*context, 30, 27), kRedCColor);
    EXPECT_EQ(context->getPoint(CPoint(20, 0)), kBlueCColor); // reads through the offset too
}

TEST_F(Surface, ClipRectIsReadBackAsSetAndLimitsDrawing)
{
    context->offset = CPoint(5, 7);
    context->setClipRect(CRect(1, 2, 11, 12));
    CRect clip;
    EXPECT_EQ(context->getClipRect(clip), CRect(1, 2, 11, 12));

    context->offset = CPoint();
    context->setFillColor(kGreenCColor);
    context->drawRect(CRect(0, 0, 40, 40), kDrawFilled);
    EXPECT_EQ(pixel(*context, 6, 9), kGreenCColor);
    EXPECT_EQ(pixel(*context, 15, 18), kGreenCColor);
    EXPECT_EQ(pixel(*context, 16, 18), kBlackCColor);
    EXPECT_EQ(pixel(*context, 6, 8), kBlackCColor);
}

TEST_F(Surface, RasterMixes)
{
    context->setFillColor(kGreenCColor);
    context->drawRect(CRect(0, 0, 40, 40), kDrawFilled);
    context->setFrameColor(kRedCColor);

    context->setDrawMode(kOrMode);
    context->moveTo(CPoint(0, 1));
    context->lineTo(CPoint(2, 1));
    EXPECT_EQ(pixel(*context, 0, 1), kYellowCColor);

    // NOT (pen XOR screen): red over green gives blue; drawing twice restores the screen.
    context->setDrawMode(kXorMode);
    context->moveTo(CPoint(0, 3));
    context->lineTo(CPoint(2, 3));
    EXPECT_EQ(pixel(*context, 0, 3), kBlueCColor);
    context->moveTo(CPoint(0, 3));
    context->lineTo(CPoint(2, 3));
    EXPECT_EQ(pixel(*context, 0, 3), kGreenCColor);

    // Fills are not mixed.
    context->setFillColor(kRedCColor);
    context->drawRect(CRect(0, 5, 4, 9), kDrawFilled);
    EXPECT_EQ(pixel(*context, 1, 6), kRedCColor);
}

TEST_F(Surface, SettersCreateObjectsOnlyOnRealChange)
{
    const platform::CreatedObjects before = platform::createdObjects();
    context->setFrameColor(context->getFrameColor());
    context->setFillColor(context->getFillColor());
    context->setLineWidth(1);
    context->setLineStyle(kLineSolid);
    context->setFont(kSystemFont);
    context->setFont(9); // acts as the system font: nothing changes
    EXPECT_EQ(context->getFont(), kSystemFont);
    EXPECT_EQ(context->getFontSize(), 12);
    platform::CreatedObjects after = platform::createdObjects();
    EXPECT_EQ(after.pens, before.pens);
    EXPECT_EQ(after.brushes, before.brushes);
    EXPECT_EQ(after.fonts, before.fonts);

    context->setFrameColor(CColor{255, 255, 255, 0}); // differs in alpha only
    context->setFrameColor(CColor{255, 255, 255, 0});
    context->setLineWidth(2);
    context->setFillColor(kRedCColor);
    context->setFillColor(kRedCColor);
    context->setFont(kNormalFont);
    context->setFont(kNormalFont, 12); // 12 is its standard size
    context->setFont(kNormalFont, 0, kBoldFace);
    after = platform::createdObjects();
    EXPECT_EQ(after.pens - before.pens, 2u);
    EXPECT_EQ(after.brushes - before.brushes, 1u);
    EXPECT_EQ(after.fonts - before.fonts, 2u);
}

TEST(OffscreenContext, StartsFilledWithItsBackground)
{
    for (const CColor& background : {kDarkBlue, kWhiteCColor, kBlackCColor})
    {
        COffscreenContext context(nullptr, 9, 7, background);
        for (int32_t y = 0; y < 7; ++y)
            for (int32_t x = 0; x < 9; ++x)
                ASSERT_EQ(context.getPoint(CPoint(x, y)), background) << x << "," << y;
        EXPECT_EQ(context.getWidth(), 9);
        EXPECT_EQ(context.getHeight(), 7);
        CRect clip;
        EXPECT_EQ(context.getClipRect(clip), CRect(0, 0, 9, 7));
    }
}

TEST(OffscreenContext, CopyOutAndCopyInMoveTheRightPixels)
{
    COffscreenContext source(nullptr, 8, 8, kRedCColor);
    source.drawPoint(CPoint(2, 3), kGreenCColor);
    COffscreenContext target(nullptr, 32, 32, kBlackCColor);
    target.offset = CPoint(5, 5);
    source.copyOut(&target, CRect(10, 10, 14, 14), CPoint(1, 2));
    target.offset = CPoint();
    EXPECT_EQ(target.getPoint(CPoint(15, 15)), kRedCColor);   // source (1, 2)
    EXPECT_EQ(target.getPoint(CPoint(16, 16)), kGreenCColor); // source (2, 3)
    EXPECT_EQ(target.getPoint(CPoint(18, 18)), kRedCColor);
    EXPECT_EQ(target.getPoint(CPoint(19, 19)), kBlackCColor);
    EXPECT_EQ(target.getPoint(CPoint(14, 14)), kBlackCColor);

    COffscreenContext back(nullptr, 6, 6, kBlackCColor);
    target.offset = CPoint(1, 1);
    back.copyIn(&target, CRect(15, 15, 17, 17), CPoint(3, 3)); // device (16, 16) to (18, 18)
    EXPECT_EQ(back.getPoint(CPoint(3, 3)), kGreenCColor);
    EXPECT_EQ(back.getPoint(CPoint(4, 4)), kRedCColor);
    EXPECT_EQ(back.getPoint(CPoint(5, 5)), kBlackCColor);
    EXPECT_EQ(back.getPoint(CPoint(2, 2)), kBlackCColor);
}

TEST(DrawContext, StartsWithTheDocumentedState)
{
    COffscreenContext context(nullptr, 4, 4, kBlackCColor);
    EXPECT_EQ(context.getFrameColor(), kBlackCColor); // the background replaced white
    EXPECT_EQ(context.getFontColor(), kWhiteCColor);
    EXPECT_EQ(context.getLineWidth(), 1);
    EXPECT_EQ(context.getLineStyle(), kLineSolid);
    EXPECT_EQ(context.getDrawMode(), kCopyMode);
    EXPECT_EQ(context.getFont(), kSystemFont);
    EXPECT_EQ(context.getFrame(), nullptr);
    EXPECT_FALSE(context.waitDrag()); // no frame to idle
}

TEST(DrawContext, WithoutDeviceOnlyRecordsState)
{
    CDrawContext context(nullptr, nullptr, nullptr);
    context.setFillColor(kRedCColor);
    context.drawRect(CRect(0, 0, 10, 10), kDrawFilled);
    context.drawString("text", CRect(0, 0, 10, 10));
    EXPECT_EQ(context.getFillColor(), kRedCColor);
    EXPECT_EQ(context.getStringWidth("text"), 0);
    CRect clip;
    EXPECT_EQ(context.getClipRect(clip), CRect(0, 0, 1000, 1000));
}

TEST(DrawContext, LongPointListsAreDrawnWhole)
{
    COffscreenContext context(nullptr, 64, 8, kBlackCColor);
    context.setFrameColor(kWhiteCColor);
    CPoint points[40];
    for (int32_t i = 0; i < 40; ++i)
        points[i] = CPoint(i, 2);
    context.polyLine(points, 40);
    EXPECT_EQ(context.getPoint(CPoint(0, 2)), kWhiteCColor);
    EXPECT_EQ(context.getPoint(CPoint(38, 2)), kWhiteCColor);
    EXPECT_EQ(context.getPoint(CPoint(39, 2)), kBlackCColor);
}

} // namespace
