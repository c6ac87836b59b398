// The canvas the skin is drawn with: exact coverage where edges lie on sixteenths of a pixel,
// the non-zero winding rule for overlapping shapes and stroke pieces, strokes as wide as asked,
// compositing with 8-bit rounding, the embedded outlines, and the random numbers' jumps.
#include "skin/canvas.h"
#include "skin/font.h"
#include "skin/raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>

namespace
{

using namespace skin;

// Coverage by pixel of polygons on a 12 x 12 grid.
std::map<std::pair<int, int>, int> coverageOf(const Polygons& polygons)
{
    std::map<std::pair<int, int>, int> covered;
    rasterize(polygons, 12, 12,
              [&](int y, int x0, int x1, const uint8_t* coverage)
              {
                  for (int x = x0; x < x1; ++x)
                      if (coverage[x - x0] != 0)
                          covered[{x, y}] = coverage[x - x0];
              });
    return covered;
}

using Coverage = std::map<std::pair<int, int>, int>;

int at(const Coverage& covered, int x, int y)
{
    const auto found = covered.find({x, y});
    return found == covered.end() ? 0 : found->second;
}

Polygon box(double left, double top, double right, double bottom)
{
    return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

TEST(Raster, EdgesOnSixteenthsOfAPixelCoverExactlyTheirShare)
{
    auto covered = coverageOf({box(1.25, 2.5, 5.75, 4.5)});
    EXPECT_EQ(at(covered, 3, 3), 255);
    EXPECT_EQ(at(covered, 1, 3), 191); // three quarters
    EXPECT_EQ(at(covered, 5, 3), 191);
    EXPECT_EQ(at(covered, 3, 2), 128); // half
    EXPECT_EQ(at(covered, 1, 2), 96);  // three eighths
    EXPECT_EQ(at(covered, 0, 3), 0);
    EXPECT_EQ(at(covered, 3, 4), 128);
    EXPECT_EQ(at(covered, 3, 5), 0);
    EXPECT_EQ(at(covered, 6, 3), 0);
}

TEST(Raster, OverlapsTurningTheSameWayAreOneShapeAndOppositeOnesLeaveAHole)
{
    const Polygon a = box(1, 1, 6, 6);
    const Polygon b = box(3, 3, 9, 9);
    Polygon reversed = box(2, 2, 5, 5);
    std::reverse(reversed.begin(), reversed.end());
    auto same = coverageOf({a, b});
    EXPECT_EQ(at(same, 4, 4), 255);
    EXPECT_EQ(at(same, 7, 7), 255);
    EXPECT_EQ(same.size(), 25u + 36u - 9u);
    auto hole = coverageOf({box(1, 1, 6, 6), reversed});
    EXPECT_EQ(at(hole, 3, 3), 0);
    EXPECT_EQ(at(hole, 1, 1), 255);
    EXPECT_EQ(hole.size(), 25u - 9u);
}

// The red channel of a pixel of an image.
int red(const Image& image, int x, int y)
{
    return static_cast<int>(image.at(x, y) >> 16 & 0xFF);
}

// A white stroke of the path that path() adds, on black, in an image of side pixels.
template <typename Path> Image stroked(int side, double scale, double width, LineCap cap, Path path)
{
    Image image(side, side);
    Canvas canvas(image.pixels(), scale);
    canvas.setSource(Rgb{1, 1, 1});
    canvas.setLineWidth(width);
    canvas.setLineCap(cap);
    path(canvas);
    canvas.stroke();
    return image;
}

TEST(Canvas, AStrokeIsAsWideAsItsLineAndRoundCapsReachHalfAWidthBeyondItsEnds)
{
    const auto line = [](Canvas& canvas)
    {
        canvas.moveTo(3, 5);
        canvas.lineTo(8, 5);
    };
    const Image image = stroked(12, 1.0, 2.0, LineCap::Butt, line);
    EXPECT_EQ(red(image, 5, 4), 255);
    EXPECT_EQ(red(image, 5, 5), 255);
    EXPECT_EQ(red(image, 5, 3), 0);
    EXPECT_EQ(red(image, 5, 6), 0);
    EXPECT_EQ(red(image, 2, 4), 0); // butt caps end at the ends

    const Image capped = stroked(12, 1.0, 2.0, LineCap::Round, line);
    EXPECT_GT(red(capped, 2, 4), 100);
    EXPECT_GT(red(capped, 8, 5), 100);
    EXPECT_EQ(red(capped, 1, 4), 0);
}

// A circle stroked thin: the band between its outlines, the inside left alone.
TEST(Canvas, AStrokedCircleIsARing)
{
    const Image image = stroked(40, 2.0, 1.0, LineCap::Butt,
                                [](Canvas& canvas) { canvas.arc(10, 10, 8, 0, 2 * kPi); });
    EXPECT_EQ(red(image, 20, 20), 0);  // the centre, in pixels at 2x
    EXPECT_EQ(red(image, 20, 4), 255); // on the ring: radius 16 pixels, 2 pixels wide
    EXPECT_EQ(red(image, 35, 20), 255);
    EXPECT_EQ(red(image, 20, 1), 0);
}

TEST(Canvas, CompositingRoundsAsEightBitSourceOverDoes)
{
    Image image(4, 4);
    Canvas canvas(image.pixels(), 1.0);
    canvas.setSource(Rgb{0, 0, 0});
    canvas.paint();
    canvas.setSource(Rgb{1, 1, 1}, 0.5);
    canvas.rectangle(0, 0, 2, 4);
    canvas.fill();
    EXPECT_EQ(image.at(0, 0), 0xFF808080u);
    EXPECT_EQ(image.at(3, 0), 0xFF000000u);
    // Half a pixel covered by half-transparent white: a quarter.
    canvas.rectangle(2, 0, 0.5, 4);
    canvas.fill();
    EXPECT_EQ(image.at(2, 0), 0xFF404040u);
}

TEST(Canvas, ALinearGradientIsPaddedBeyondItsEnds)
{
    Image image(64, 1);
    Canvas canvas(image.pixels(), 1.0);
    Gradient ramp = Gradient::linear(16, 0, 48, 0);
    ramp.add(0.0, {0, 0, 0});
    ramp.add(1.0, {1, 1, 1});
    canvas.setSource(ramp);
    canvas.paint();
    EXPECT_EQ(red(image, 0, 0), 0);
    EXPECT_EQ(red(image, 63, 0), 255);
    EXPECT_NEAR(red(image, 32, 0), 131, 1); // (32.5 - 16) / 32 of the way
}

// The brushed texture of a part of a picture jumps to its first row and column.
TEST(Random, SkippingIsDrawingThatManyNumbers)
{
    for (const std::uint64_t count : {0ull, 1ull, 2ull, 31ull, 32ull, 4097ull, 1234567ull})
    {
        Random stepped(0x5eed1234u);
        for (std::uint64_t i = 0; i < count; ++i)
            stepped.next();
        Random jumped(0x5eed1234u);
        jumped.skip(count);
        EXPECT_EQ(jumped.next(), stepped.next()) << count;
    }
}

TEST(Faces, TheEmbeddedOutlinesHaveTheSkinsLettersAndABrokenTextIsRefused)
{
    for (const Font font : {Font::Regular, Font::Bold, Font::BoldItalic})
    {
        const Face& face = faceOf(font);
        EXPECT_EQ(face.unitsPerEm, 2048);
        for (const char c : std::string("DRIVETONELBYPASOKMrvandlsci1.0"))
        {
            EXPECT_FALSE(face.glyphs[static_cast<int>(c)].contours.empty()) << c;
            EXPECT_GT(face.glyphs[static_cast<int>(c)].advance, 0) << c;
        }
        EXPECT_GT(face.glyphs[' '].advance, 0);
    }
    Face faces[3];
    EXPECT_FALSE(parseFaces("face 0 2048 1\nglyph 65 1366 1\n3 0 0 1 10", faces));
    EXPECT_FALSE(parseFaces("face 0 2048 1\nglyph 200 1366 0\n", faces));
    EXPECT_FALSE(parseFaces("", faces));
}

} // namespace
