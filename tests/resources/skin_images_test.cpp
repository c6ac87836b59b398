// The skin images as the plug-in carries them: the 1x set from the resources linked into this
// program on Windows, from the embedded library elsewhere; every other scale as the skin
// library draws it.
#include "resources/resource_ids.h"
#include "skin/skin.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include "resources/embedded_png.h"
#endif

namespace
{

struct Bytes
{
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

Bytes pngBytes(int id)
{
#ifdef _WIN32
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(id), "PNG");
    HGLOBAL handle = resource ? LoadResource(nullptr, resource) : nullptr;
    if (!handle)
        return {};
    return {static_cast<const unsigned char*>(LockResource(handle)),
            SizeofResource(nullptr, resource)};
#else
    const EmbeddedPng* image = findEmbeddedPng(id);
    if (!image)
        return {};
    return {image->data, image->size()};
#endif
}

struct Header
{
    std::uint32_t width, height;
    int bitDepth, colourType, interlace;
};

std::uint32_t bigEndian(const unsigned char* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// The header chunk always comes first: 8 signature bytes, length and "IHDR", then the fields.
Header readHeader(const Bytes& png)
{
    const unsigned char* ihdr = png.data + 16;
    return {bigEndian(ihdr), bigEndian(ihdr + 4), ihdr[8], ihdr[9], ihdr[12]};
}

struct Rgba
{
    std::uint32_t width = 0, height = 0;
    std::vector<unsigned char> pixels;
    const unsigned char* at(std::uint32_t x, std::uint32_t y) const
    {
        return &pixels[(y * width + x) * 4];
    }
};

Rgba decode(const Bytes& png)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Rgba result;
    if (!png_image_begin_read_from_memory(&image, png.data, png.size))
        return result;
    image.format = PNG_FORMAT_RGBA;
    result.pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, result.pixels.data(), 0, nullptr))
    {
        png_image_free(&image);
        result.pixels.clear();
        return result;
    }
    result.width = image.width;
    result.height = image.height;
    return result;
}

constexpr int kFrame = 70; // layout units
constexpr int kFrames = 135;
constexpr double kPi = 3.14159265358979323846;

// The scales the skin is checked at: the resources' and some the windows draw.
const double kScales[] = {1.0, 1.25, 2.0, 3.0};

// The library's premultiplied words as straight RGBA bytes, as the PNG writer stores them.
Rgba straight(const skin::Image& image)
{
    Rgba result;
    result.width = static_cast<std::uint32_t>(image.width());
    result.height = static_cast<std::uint32_t>(image.height());
    for (const std::uint32_t word : image.words())
    {
        const std::uint32_t alpha = word >> 24;
        for (const int shift : {16, 8, 0})
        {
            const std::uint32_t c = word >> shift & 255;
            result.pixels.push_back(
                static_cast<unsigned char>(alpha == 0 ? 0 : (c * 255 + alpha / 2) / alpha));
        }
        result.pixels.push_back(static_cast<unsigned char>(alpha));
    }
    return result;
}

skin::Picture pictureOf(int id)
{
    skin::Picture picture = skin::Picture::Background;
    EXPECT_TRUE(skin::pictureOfResource(id, picture)) << id;
    return picture;
}

// The picture of the resource at a scale, as the windows show it; drawn once per test program.
const Rgba& pictureAt(int id, double scale)
{
    static std::map<std::pair<int, double>, Rgba> made;
    const auto key = std::make_pair(id, scale);
    const auto found = made.find(key);
    if (found != made.end())
        return found->second;
    return made[key] = scale == 1.0 ? decode(pngBytes(id))
                                    : straight(skin::drawPicture(pictureOf(id), scale));
}

std::uint32_t scaled(std::uint32_t units, double scale)
{
    return static_cast<std::uint32_t>(std::ceil(units * scale - 1e-9));
}

// Where the knob's pointer has to point for the value of a frame: counter-clockwise from the
// positive x axis, y up, from 225 degrees at the minimum through 270 degrees clockwise.
double expectedDegrees(int frame)
{
    return 225.0 - 270.0 * frame / (kFrames - 1);
}

// The direction of the light on the cap, away from the value ring outside it: the pointer is
// the only bright part, and a steep weight of brightness finds it at any resolution.
double pointerDegrees(const Rgba& strip, int frame, double scale)
{
    const std::uint32_t size = scaled(kFrame, scale);
    const double centre = size / 2.0;
    double sumX = 0.0, sumY = 0.0;
    for (std::uint32_t y = 0; y < size; ++y)
        for (std::uint32_t x = 0; x < size; ++x)
        {
            const double dx = x + 0.5 - centre, dy = centre - (y + 0.5);
            const double r = std::hypot(dx, dy);
            if (r < 8.0 * scale || r > 20.0 * scale)
                continue;
            const unsigned char* p = strip.at(x, frame * size + y);
            const double light = (p[0] + p[1] + p[2]) * p[3] / (3.0 * 255.0 * 255.0);
            const double weight = std::pow(light, 16.0);
            sumX += weight * dx / r;
            sumY += weight * dy / r;
        }
    return std::atan2(sumY, sumX) * 180.0 / kPi;
}

double angleBetween(double a, double b)
{
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180.0 ? 360.0 - d : d;
}

struct Expected
{
    int id;
    std::uint32_t width, height; // at 1x
    int colourType;
};

const Expected kImages[] = {
    {IDB_BACKGROUND, 630, 140, PNG_COLOR_TYPE_RGB},
    {IDB_KNOB_DRIVE, 70, 9450, PNG_COLOR_TYPE_RGB_ALPHA},
    {IDB_KNOB_TONE, 70, 9450, PNG_COLOR_TYPE_RGB_ALPHA},
    {IDB_KNOB_LEVEL, 70, 9450, PNG_COLOR_TYPE_RGB_ALPHA},
    {IDB_BYPASS, 74, 60, PNG_COLOR_TYPE_RGB},
    {IDB_ABOUT, 330, 125, PNG_COLOR_TYPE_RGB},
};

const int kKnobIds[] = {IDB_KNOB_DRIVE, IDB_KNOB_TONE, IDB_KNOB_LEVEL};

// The 1x set has the layout and the pixel format the editor draws with.
TEST(SkinImages, TheResourcesHaveTheLayoutAndThePixelFormatTheEditorDrawsWith)
{
    for (const Expected& expected : kImages)
    {
        SCOPED_TRACE(expected.id);
        const Bytes png = pngBytes(expected.id);
        ASSERT_NE(png.data, nullptr);
        ASSERT_GT(png.size, 33u);
        const Header header = readHeader(png);
        EXPECT_EQ(header.width, expected.width);
        EXPECT_EQ(header.height, expected.height);
        EXPECT_EQ(header.bitDepth, 8);
        EXPECT_EQ(header.colourType, expected.colourType);
        EXPECT_EQ(header.interlace, PNG_INTERLACE_NONE);
        EXPECT_EQ(decode(png).height, header.height) << "the image does not decode";
    }
    EXPECT_EQ(pngBytes(127).data, nullptr);
    EXPECT_EQ(pngBytes(134).data, nullptr);
}

// What the library draws at 1x is what the resources hold, pixel for pixel, on every platform:
// the windows' other scales are drawn by the same code as the 1x set.
TEST(SkinImages, TheLibraryDrawsTheResourcesExactlyAt1x)
{
    for (const Expected& expected : kImages)
    {
        SCOPED_TRACE(expected.id);
        const Rgba png = decode(pngBytes(expected.id));
        const Rgba drawn = straight(skin::drawPicture(pictureOf(expected.id), 1.0));
        ASSERT_EQ(drawn.width, png.width);
        ASSERT_EQ(drawn.height, png.height);
        std::size_t differing = 0;
        for (std::size_t i = 0; i < png.pixels.size(); ++i)
            differing += png.pixels[i] != drawn.pixels[i];
        EXPECT_EQ(differing, 0u);
    }
}

// Every scale has the 1x layout times the scale, sides rounded up, frame by frame.
TEST(SkinImages, EveryScaleHasTheLayoutTimesItsScale)
{
    for (const double scale : {1.25, 1.5, 1.75, 2.5, 3.0, 4.0})
        for (const Expected& expected : kImages)
        {
            const skin::Shape shape = skin::shapeOf(pictureOf(expected.id));
            EXPECT_EQ(static_cast<std::uint32_t>(shape.width), expected.width);
            EXPECT_EQ(static_cast<std::uint32_t>(shape.height * shape.frames), expected.height);
            EXPECT_EQ(skin::pixelsOf(shape.width, scale),
                      static_cast<int>(scaled(expected.width, scale)));
        }
}

// A frame drawn in parts, as two threads draw a large one, is the frame drawn whole.
TEST(SkinImages, AFrameDrawnInPartsIsTheFrameDrawnWhole)
{
    for (const double scale : {1.25, 2.5})
        for (const skin::Picture picture : skin::kPictures)
        {
            SCOPED_TRACE(testing::Message() << static_cast<int>(picture) << " x" << scale);
            const skin::Shape shape = skin::shapeOf(picture);
            const int width = skin::pixelsOf(shape.width, scale);
            const int height = skin::pixelsOf(shape.height, scale);
            const auto painter = skin::makePainter(picture, scale);
            const int frame = shape.frames - 1;
            skin::Image whole(width, height);
            painter->drawFrame(frame, whole.pixels());
            skin::Image parts(width, height);
            const int cuts[] = {0, height / 3, height / 3 + 1, height};
            for (int i = 0; i + 1 < 4; ++i)
            {
                skin::Pixels rows = parts.pixels();
                rows.top = rows.row(cuts[i]);
                rows.height = cuts[i + 1] - cuts[i];
                painter->drawRows(frame, rows, cuts[i]);
            }
            EXPECT_TRUE(parts.words() == whole.words());
        }
}

// The knob at every scale, at its own resolution.
TEST(KnobStrips, EveryFrameAtEveryScalePointsAtTheAngleOfItsValue)
{
    for (const double scale : kScales)
        for (int knob : kKnobIds)
        {
            const Rgba& strip = pictureAt(knob, scale);
            ASSERT_EQ(strip.height, scaled(kFrame, scale) * kFrames);
            for (int frame : {0, 1, 33, 67, 100, 133, 134})
            {
                SCOPED_TRACE(testing::Message()
                             << "knob " << knob << " x" << scale << " frame " << frame);
                EXPECT_LT(angleBetween(pointerDegrees(strip, frame, scale), expectedDegrees(frame)),
                          4.0);
            }
        }
}

// The editor blends each frame over the panel: the corners must leave the panel visible and
// the knob itself must hide it.
TEST(KnobStrips, FramesAtEveryScaleAreSeeThroughAroundAnOpaqueKnob)
{
    for (const double scale : kScales)
        for (int knob : kKnobIds)
        {
            const Rgba& strip = pictureAt(knob, scale);
            const std::uint32_t size = scaled(kFrame, scale);
            ASSERT_EQ(strip.height, size * kFrames);
            for (int frame = 0; frame < kFrames; ++frame)
            {
                const std::uint32_t top = frame * size;
                for (std::uint32_t corner : {0u, size - 1})
                {
                    EXPECT_EQ(strip.at(corner, top)[3], 0);
                    EXPECT_EQ(strip.at(corner, top + size - 1)[3], 0);
                }
                EXPECT_EQ(strip.at(scaled(35, scale), top + scaled(35, scale))[3], 255);
                EXPECT_EQ(strip.at(scaled(35, scale), top + scaled(14, scale))[3], 255);
            }
        }
}

} // namespace
