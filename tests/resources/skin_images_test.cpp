// The skin images as the plug-in carries them: from the resources linked into this program on
// Windows, from the embedded library elsewhere.
#include "resources/resource_ids.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdint>
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
    return {image->data, image->size};
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

constexpr int kFrame = 70;
constexpr int kFrames = 135;
constexpr double kPi = 3.14159265358979323846;

// Where the knob's pointer has to point for the value of a frame: counter-clockwise from the
// positive x axis, y up, from 225 degrees at the minimum through 270 degrees clockwise.
double expectedDegrees(int frame)
{
    return 225.0 - 270.0 * frame / (kFrames - 1);
}

// The angle of the brightest pixel on the cap, away from the value ring outside it.
double pointerDegrees(const Rgba& strip, int frame)
{
    const double centre = kFrame / 2.0;
    double best = -1.0, degrees = 0.0;
    for (int y = 0; y < kFrame; ++y)
        for (int x = 0; x < kFrame; ++x)
        {
            const double dx = x + 0.5 - centre, dy = centre - (y + 0.5);
            const double r = std::hypot(dx, dy);
            if (r < 8.0 || r > 20.0)
                continue;
            const unsigned char* p = strip.at(x, std::uint32_t(frame * kFrame + y));
            const double light = (p[0] + p[1] + p[2]) * p[3] / (3.0 * 255.0 * 255.0);
            if (light > best)
            {
                best = light;
                degrees = std::atan2(dy, dx) * 180.0 / kPi;
            }
        }
    return degrees;
}

double angleBetween(double a, double b)
{
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180.0 ? 360.0 - d : d;
}

struct Expected
{
    int id;
    std::uint32_t width, height;
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

TEST(SkinImages, EveryImageHasTheSizeAndPixelFormatTheEditorDrawsWith)
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
        EXPECT_EQ(decode(png).height, expected.height) << "the image does not decode";
    }
}

TEST(SkinImages, ThereIsNoImageBesideTheSix)
{
    EXPECT_EQ(pngBytes(127).data, nullptr);
    EXPECT_EQ(pngBytes(134).data, nullptr);
}

TEST(KnobStrips, EveryFramePointsAtTheAngleOfItsValue)
{
    for (int id : kKnobIds)
    {
        const Rgba strip = decode(pngBytes(id));
        ASSERT_EQ(strip.height, std::uint32_t(kFrame * kFrames));
        for (int frame : {0, 1, 33, 67, 100, 133, 134})
        {
            SCOPED_TRACE(testing::Message() << "knob " << id << " frame " << frame);
            EXPECT_LT(angleBetween(pointerDegrees(strip, frame), expectedDegrees(frame)), 4.0);
        }
    }
}

// The editor blends each frame over the panel: the corners must leave the panel visible and
// the knob itself must hide it.
TEST(KnobStrips, FramesAreSeeThroughAroundAnOpaqueKnob)
{
    for (int id : kKnobIds)
    {
        const Rgba strip = decode(pngBytes(id));
        ASSERT_EQ(strip.height, std::uint32_t(kFrame * kFrames));
        for (int frame = 0; frame < kFrames; ++frame)
        {
            const std::uint32_t top = std::uint32_t(frame * kFrame);
            for (std::uint32_t corner : {0u, 69u})
            {
                EXPECT_EQ(strip.at(corner, top)[3], 0);
                EXPECT_EQ(strip.at(corner, top + 69)[3], 0);
            }
            EXPECT_EQ(strip.at(35, top + 35)[3], 255);
            EXPECT_EQ(strip.at(35, top + 14)[3], 255);
        }
    }
}

} // namespace
