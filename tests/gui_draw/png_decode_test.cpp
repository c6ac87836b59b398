// PNG decoding into premultiplied bottom-up images, read back from the software platform's
// memory (the Windows build finds its PNGs only among the module's resources).
#include "gui/bitmap.h"
#include "gui/draw_context.h"
#include "gui/png_decode.h"
#include "gui/shared_images.h"
#include "gui/software/surface.h"
#include "gui/software/test_control.h"
#include "png_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

using namespace VSTGUI;
using gui_test::encodePng;

namespace
{

constexpr int32_t kTestId = 900;

class PngDecoding : public ::testing::Test
{
protected:
    void TearDown() override { software::reset(); }

    // Loads bytes as resource kTestId; the bitmap is released by the fixture.
    CBitmap& load(std::vector<uint8_t> bytes)
    {
        software::addPngResource(kTestId, std::move(bytes));
        bitmap = new CBitmap(kTestId);
        return *bitmap;
    }
    ~PngDecoding() override
    {
        if (bitmap)
            bitmap->release();
    }

    // The stored pixel word of picture position (x, y): 0xAARRGGBB.
    uint32_t stored(int32_t x, int32_t y) const { return bitmap->getImage()->at(x, y); }
    // The same position's word in memory order: row 0 in memory is the picture's bottom row.
    uint32_t memoryRow(int32_t memoryRowIndex, int32_t x) const
    {
        const platform::ImageObject& image = *bitmap->getImage();
        return image.pixels[static_cast<std::size_t>(memoryRowIndex * image.width + x)];
    }

    CBitmap* bitmap = nullptr;
};

TEST_F(PngDecoding, OpaqueRgbGetsFullAlphaAndIsScaledByShiftingEightBits)
{
    CBitmap& b = load(encodePng(3, 1, PNG_COLOR_TYPE_RGB, 8, {255, 1, 128, 0, 0, 0, 10, 20, 30}));
    ASSERT_TRUE(b.isLoaded());
    EXPECT_TRUE(b.hasAlpha());
    EXPECT_EQ(b.getWidth(), 3);
    EXPECT_EQ(b.getHeight(), 1);
    // Bytes blue, green, red, alpha: 255 -> 254, 1 -> 0, 128 -> 127.
    EXPECT_EQ(stored(0, 0), 0xFFFE007Fu);
    EXPECT_EQ(stored(1, 0), 0xFF000000u);
    EXPECT_EQ(stored(2, 0), 0xFF09131Du);
}

TEST_F(PngDecoding, ZeroAlphaClearsThePixelAndPartialAlphaPremultiplies)
{
    load(encodePng(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {200, 100, 50, 0, 200, 100, 50, 128}));
    EXPECT_EQ(stored(0, 0), 0u);
    EXPECT_EQ(stored(1, 0), 0x80643219u); // 200 * 128 >> 8 = 100, 50, 25
}

TEST_F(PngDecoding, TopRowIsStoredLastAndDrawnAtTheTop)
{
    load(encodePng(1, 2, PNG_COLOR_TYPE_RGB, 8, {255, 0, 0, 0, 0, 255}));
    EXPECT_EQ(memoryRow(1, 0), 0xFFFE0000u); // red, the picture's top row
    EXPECT_EQ(memoryRow(0, 0), 0xFF0000FEu);

    COffscreenContext target(nullptr, 4, 4, kWhiteCColor);
    bitmap->draw(&target, CRect(1, 1, 2, 3));
    EXPECT_EQ(target.getPoint(CPoint(1, 1)), (CColor{254, 0, 0, 255}));
    EXPECT_EQ(target.getPoint(CPoint(1, 2)), (CColor{0, 0, 254, 255}));
    EXPECT_EQ(target.getPoint(CPoint(1, 3)), kWhiteCColor);
}

TEST_F(PngDecoding, TransparencyChunkBecomesAlpha)
{
    png_color_16 pureGreen{};
    pureGreen.green = 255;
    gui_test::PngChunks chunks;
    chunks.transparent = &pureGreen;
    load(encodePng(2, 1, PNG_COLOR_TYPE_RGB, 8, {0, 255, 0, 10, 20, 30}, chunks));
    EXPECT_EQ(stored(0, 0), 0u);
    EXPECT_EQ(stored(1, 0), 0xFF09131Du);
}

TEST_F(PngDecoding, GreyPaletteAndSixteenBitPicturesBecomeBgra)
{
    load(encodePng(8, 1, PNG_COLOR_TYPE_GRAY, 1, {0xA0})); // 1-bit grey: 1, 0, 1, 0, 0, ...
    EXPECT_EQ(stored(0, 0), 0xFFFEFEFEu);
    EXPECT_EQ(stored(1, 0), 0xFF000000u);
    EXPECT_EQ(stored(2, 0), 0xFFFEFEFEu);
    bitmap->release();

    load(encodePng(1, 1, PNG_COLOR_TYPE_RGB, 16, {0xFF, 0xFF, 0x00, 0x00, 0x80, 0x00}));
    EXPECT_EQ(stored(0, 0), 0xFFFE007Fu);
    bitmap->release();

    // Palette colours keep their order: red stays red.
    gui_test::PngChunks chunks;
    chunks.palette = {{255, 0, 0}};
    load(encodePng(1, 1, PNG_COLOR_TYPE_PALETTE, 8, {0}, chunks));
    EXPECT_EQ(stored(0, 0), 0xFFFE0000u);
}

TEST_F(PngDecoding, CorruptDataIsCaughtAndCountsAsLoaded)
{
    std::vector<uint8_t> good =
        encodePng(16, 16, PNG_COLOR_TYPE_RGB, 8, std::vector<uint8_t>(16 * 16 * 3, 77));
    // Cut inside the image data: the header was read, so the image exists with its size.
    std::vector<uint8_t> truncated(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
    CBitmap& cut = load(truncated);
    EXPECT_TRUE(cut.isLoaded());
    EXPECT_EQ(cut.getWidth(), 16);
    COffscreenContext target(nullptr, 16, 16, kBlackCColor);
    cut.draw(&target, CRect(0, 0, 16, 16)); // whatever was decoded; must not crash
    bitmap->release();

    std::vector<uint8_t> garbage = good;
    for (std::size_t i = 8; i < garbage.size(); i += 3)
        garbage[i] = static_cast<uint8_t>(garbage[i] * 37 + 11);
    CBitmap& broken = load(garbage);
    EXPECT_TRUE(broken.loadFromResource(kTestId)); // found counts as loaded
    bitmap->release();

    CBitmap& empty = load({});
    EXPECT_FALSE(empty.isLoaded());
    EXPECT_EQ(empty.getWidth(), 0);
}

// A cut file still shows the rows decoded before the cut, premultiplied like any others.
TEST_F(PngDecoding, RowsDecodedBeforeACutArePremultiplied)
{
    std::vector<uint8_t> noise(64 * 64 * 3);
    uint32_t state = 12345;
    for (uint8_t& sample : noise)
        sample = static_cast<uint8_t>((state = state * 1664525u + 1013904223u) >> 24);
    std::vector<uint8_t> png = encodePng(64, 64, PNG_COLOR_TYPE_RGB, 8, noise);
    png.resize(png.size() - 2000); // libpng writes IDAT chunks of 8 KiB: the first stays whole
    load(png);
    COffscreenContext target(nullptr, 64, 64, kBlackCColor);
    bitmap->draw(&target, CRect(0, 0, 64, 64));
    for (int32_t x : {0, 31, 63})
    {
        const uint8_t* rgb = &noise[static_cast<std::size_t>(x) * 3];
        const auto premultiplied = [](uint8_t v) { return static_cast<uint8_t>(v * 255 >> 8); };
        EXPECT_EQ(
            target.getPoint(CPoint(x, 0)),
            (CColor{premultiplied(rgb[0]), premultiplied(rgb[1]), premultiplied(rgb[2]), 255}));
    }
}

TEST_F(PngDecoding, PlainBitmapResourceIsTheFallbackAndHasNoAlpha)
{
    software::addBitmapResource(kTestId + 1, 2, 1, {0xFFFFFF, 0x123456});
    bitmap = new CBitmap(kTestId + 1);
    ASSERT_TRUE(bitmap->isLoaded());
    EXPECT_FALSE(bitmap->hasAlpha());
    EXPECT_EQ(bitmap->getWidth(), 2);
    COffscreenContext target(nullptr, 4, 4, kRedCColor);
    bitmap->drawTransparent(&target, CRect(0, 0, 2, 1));
    EXPECT_EQ(target.getPoint(CPoint(0, 0)), kRedCColor);
    EXPECT_EQ(target.getPoint(CPoint(1, 0)), (CColor{0x12, 0x34, 0x56, 255}));
}

// Decoding once per process: bitmaps of one resource share its image, and the images go with
// the last bitmap that holds any of them.
class SharedImages : public ::testing::Test
{
protected:
    void SetUp() override
    {
        software::addPngResource(kTestId, gradient(16, 8));
        software::addPngResource(kTestId + 1, gradient(4, 4));
    }
    void TearDown() override { software::reset(); }

    static std::vector<uint8_t> gradient(int32_t width, int32_t height)
    {
        std::vector<uint8_t> rgb;
        for (int32_t i = 0; i < width * height * 3; ++i)
            rgb.push_back(static_cast<uint8_t>(i));
        return encodePng(width, height, PNG_COLOR_TYPE_RGB, 8, rgb);
    }
};

TEST_F(SharedImages, BitmapsOfOneResourceShareOneImageAndTheLastReleaseFreesIt)
{
    CBitmap* first = new CBitmap(kTestId);
    CBitmap* second = new CBitmap(kTestId);
    ASSERT_TRUE(first->isLoaded());
    EXPECT_EQ(first->getImage(), second->getImage());
    EXPECT_EQ(second->getWidth(), 16);
    sharedImages::Usage usage = sharedImages::usage();
    EXPECT_EQ(usage.images, 1);
    EXPECT_EQ(usage.holders, 2);
    EXPECT_EQ(usage.bytes, 16u * 8u * 4u);

    // Reloading and disposing give the image back exactly once.
    EXPECT_TRUE(first->loadFromResource(kTestId));
    first->dispose();
    first->dispose();
    EXPECT_EQ(sharedImages::usage().holders, 1);
    first->release();
    COffscreenContext target(nullptr, 16, 8, kBlackCColor);
    second->draw(&target, CRect(0, 0, 16, 8));
    EXPECT_EQ(target.getPoint(CPoint(1, 0)), (CColor{2, 3, 4, 255})); // 3, 4, 5 premultiplied
    second->release();
    usage = sharedImages::usage();
    EXPECT_EQ(usage.images, 0);
    EXPECT_EQ(usage.holders, 0);
    EXPECT_EQ(usage.bytes, 0u);
}

// The editor holds its background for its whole life and builds the other bitmaps at every
// opening: reopening must decode nothing and add nothing.
TEST_F(SharedImages, ReopeningWhileAnotherImageIsHeldDecodesNothingAndGrowsNothing)
{
    CBitmap* background = new CBitmap(kTestId);
    CBitmap* knob = new CBitmap(kTestId + 1);
    const platform::Image decoded = knob->getImage();
    knob->release();
    for (int cycle = 0; cycle < 200; ++cycle)
    {
        knob = new CBitmap(kTestId + 1);
        ASSERT_EQ(knob->getImage(), decoded);
        knob->release();
    }
    EXPECT_EQ(sharedImages::usage().images, 2);
    background->release();
    EXPECT_EQ(sharedImages::usage().images, 0);
}

// A window that changes its scale takes another set: the set it left must not stay decoded.
TEST_F(SharedImages, DecodingAnotherImageDropsTheImagesNobodyHolds)
{
    software::addPngResource(kTestId + 4, gradient(2, 2));
    CBitmap* background = new CBitmap(kTestId);
    CBitmap* left = new CBitmap(kTestId + 1);
    left->release();
    EXPECT_EQ(sharedImages::usage().images, 2);
    CBitmap* other = new CBitmap(kTestId + 4);
    EXPECT_EQ(sharedImages::usage().images, 2);
    EXPECT_EQ(sharedImages::usage().bytes, (16u * 8u + 2u * 2u) * 4u);
    other->release();
    background->release();
    EXPECT_EQ(sharedImages::usage().images, 0);
}

TEST_F(SharedImages, ImagesThatCannotBeDecodedAndPlainBitmapsAreNotShared)
{
    software::addPngResource(kTestId + 2, {0x89, 'P', 'N', 'G'});
    software::addBitmapResource(kTestId + 3, 1, 1, {0x123456});
    CBitmap* broken = new CBitmap(kTestId + 2);
    CBitmap* plain = new CBitmap(kTestId + 3);
    CBitmap* other = new CBitmap(kTestId + 3);
    EXPECT_FALSE(broken->isLoaded());
    EXPECT_NE(plain->getImage(), other->getImage());
    EXPECT_EQ(sharedImages::usage().images, 0);
    broken->release();
    plain->release();
    other->release();
}

// Plug-in instances may open their windows on threads of their own.
TEST_F(SharedImages, WindowsOpeningOnSeveralThreadsShareTheImagesSafely)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back(
            []
            {
                for (int i = 0; i < 50; ++i)
                {
                    CBitmap* a = new CBitmap(kTestId);
                    CBitmap* b = new CBitmap(kTestId + 1);
                    EXPECT_EQ(a->getWidth(), 16);
                    EXPECT_EQ(b->getHeight(), 4);
                    a->release();
                    b->release();
                }
            });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(sharedImages::usage().holders, 0);
    EXPECT_EQ(sharedImages::usage().images, 0);
}

#ifdef DRANVELOR_SKIN_RESOURCES
// The skin's 1x images are written in bands that a window decodes on several cores: they must
// come out exactly as the one-pass decoding makes them.
class SkinBands : public ::testing::Test
{
protected:
    static std::vector<uint8_t> bytesOf(int32_t id)
    {
        const uint8_t* data = nullptr;
        std::size_t size = 0;
        EXPECT_TRUE(platform::findPngResource(id, data, size)) << id;
        return std::vector<uint8_t>(data, data + size);
    }
    // The decoded image's pixels; the image is freed.
    static std::vector<uint32_t> take(DecodedImage decoded)
    {
        std::vector<uint32_t> pixels;
        if (decoded.image)
            pixels = decoded.image->pixels;
        platform::deleteImage(decoded.image);
        return pixels;
    }
    // Where the band table's rows per band and band count are.
    static uint8_t* table(std::vector<uint8_t>& png)
    {
        const char type[] = "drBN";
        const auto found = std::search(png.begin(), png.end(), type, type + 4);
        EXPECT_NE(found, png.end());
        return &*found + 4;
    }
};

TEST_F(SkinBands, EveryFilmStripDecodesInBandsExactlyAsInOnePass)
{
    for (const int32_t id : {129, 130, 131})
    {
        SCOPED_TRACE(id);
        const std::vector<uint8_t> png = bytesOf(id);
        PngBands bands;
        ASSERT_TRUE(findPngBands(png.data(), png.size(), bands));
        const DecodedImage banded{createBandedImage(bands), static_cast<int32_t>(bands.width),
                                  static_cast<int32_t>(bands.height)};
        std::vector<std::size_t> all(bands.count());
        for (std::size_t i = 0; i < all.size(); ++i)
            all[i] = i;
        ASSERT_TRUE(decodePngBands(bands, all, banded.image));
        const std::vector<uint32_t> whole = take(decodePngWhole(png.data(), png.size()));
        ASSERT_FALSE(whole.empty());
        EXPECT_TRUE(take(banded) == whole);
    }
}

// A window shows one frame of each film strip: only the bands of the rows drawn are decoded, and
// what is decoded band by band as the frames are drawn is the one-pass picture.
TEST_F(SkinBands, AFilmStripDecodesTheBandsOfTheRowsDrawnAndEndsAsTheOnePassPicture)
{
    const std::vector<uint8_t> png = bytesOf(129); // the Drive strip: 135 frames of 70
    const std::vector<uint32_t> whole = take(decodePngWhole(png.data(), png.size()));
    PngBands bands;
    ASSERT_TRUE(findPngBands(png.data(), png.size(), bands));
    ASSERT_GT(bands.count(), 2u);
    const int32_t rows = static_cast<int32_t>(bands.rowsPerBand);
    auto* strip = new CBitmap(129);
    ASSERT_EQ(strip->getPixelHeight(), 9450);
    EXPECT_EQ(sharedImages::usage().decoded, 0u);
    EXPECT_EQ(sharedImages::usage().bands, bands.count());
    const auto sameRows = [&](int32_t top, int32_t bottom)
    {
        const std::vector<uint32_t>& pixels = strip->getImage()->pixels;
        const auto from = static_cast<std::ptrdiff_t>(9450 - bottom) * 70;
        const auto to = static_cast<std::ptrdiff_t>(9450 - top) * 70;
        return std::equal(pixels.begin() + from, pixels.begin() + to, whole.begin() + from);
    };
    // Rows inside the third band.
    COffscreenContext target(nullptr, 70, 70, kBlackCColor);
    strip->draw(&target, CRect(0, 0, 70, 70), CPoint(0, 2 * rows + 5));
    EXPECT_EQ(sharedImages::usage().decoded, 1u);
    EXPECT_TRUE(sameRows(2 * rows + 5, 2 * rows + 75));
    // Rows that straddle the first two bands.
    strip->draw(&target, CRect(0, 0, 70, 70), CPoint(0, rows - 35));
    EXPECT_EQ(sharedImages::usage().decoded, 3u);
    EXPECT_TRUE(sameRows(rows - 35, rows + 35));
    COffscreenContext all(nullptr, 70, 9450, kBlackCColor);
    strip->draw(&all, CRect(0, 0, 70, 9450));
    EXPECT_EQ(sharedImages::usage().decoded, bands.count());
    EXPECT_TRUE(strip->getImage()->pixels == whole);
    strip->release();
}

// A band whose data does not inflate sends the picture to the one-pass decoding, as the decoding
// of the whole image at once does: the rows before the fault are there, nothing is read beyond.
TEST_F(SkinBands, ABandThatDoesNotInflateLeavesTheOnePassPicture)
{
    std::vector<uint8_t> png = bytesOf(129);
    PngBands bands;
    ASSERT_TRUE(findPngBands(png.data(), png.size(), bands));
    const std::size_t broken = static_cast<std::size_t>(bands.idat[3].data - bands.data);
    png[broken] = 0x06; // a deflate block of the reserved type
    const std::vector<uint32_t> whole = take(decodePngWhole(png.data(), png.size()));
    ASSERT_FALSE(whole.empty());
    software::addPngResource(kTestId, png);
    auto* strip = new CBitmap(kTestId);
    COffscreenContext target(nullptr, 70, 70, kBlackCColor);
    strip->draw(&target, CRect(0, 0, 70, 70));
    EXPECT_EQ(sharedImages::usage().decoded, 1u);
    strip->draw(&target, CRect(0, 0, 70, 70), CPoint(0, 3 * 1890));
    EXPECT_EQ(sharedImages::usage().decoded, bands.count());
    EXPECT_TRUE(strip->getImage()->pixels == whole);
    // Rows past the fault stay clear.
    EXPECT_EQ(strip->getImage()->at(35, 9000), 0u);
    strip->release();
    software::reset();
}

// A table that does not fit the image, or bytes cut short, must never be decoded from: the
// one-pass decoding takes over and reads what is there.
TEST_F(SkinBands, ATableThatDoesNotFitOrCutDataFallBackToOnePass)
{
    const std::vector<uint8_t> good = bytesOf(129);
    const auto expectFallback = [](std::vector<uint8_t> png, int32_t height)
    {
        PngBands bands;
        EXPECT_FALSE(findPngBands(png.data(), png.size(), bands));
        const DecodedImage decoded = sharedImages::acquire(kTestId, png.data(), png.size());
        EXPECT_EQ(decoded.image != nullptr, height > 0);
        EXPECT_EQ(decoded.height, height);
        if (decoded.image)
            sharedImages::release(decoded.image);
    };
    for (const uint8_t rowsPerBandLow : {uint8_t{1}, uint8_t{0xFF}})
    {
        std::vector<uint8_t> png = good;
        table(png)[3] = rowsPerBandLow; // too few rows, or too many bands' worth
        table(png)[2] = 0;
        expectFallback(png, 9450);
    }
    std::vector<uint8_t> moreBands = good;
    table(moreBands)[7] = static_cast<uint8_t>(table(moreBands)[7] + 1);
    expectFallback(moreBands, 9450);
    expectFallback(std::vector<uint8_t>(good.begin(), good.end() - 5000), 9450);
    std::vector<uint8_t> hugeChunk = good;
    std::fill_n(table(hugeChunk) - 8, 4, uint8_t{0x7F}); // the table chunk's length
    expectFallback(hugeChunk, 0);                        // libpng stops before the image
}
#endif

} // namespace

namespace
{

// An opaque grey square of side n.
std::vector<uint8_t> greySquare(int n)
{
    return encodePng(n, n, PNG_COLOR_TYPE_RGB, 8,
                     std::vector<uint8_t>(static_cast<std::size_t>(n * n * 3), 0x80));
}

// Other images than the skin's have one picture, made for 1x, whatever the scale asked for.
TEST(ImageSets, AnImageOutsideTheSkinIsLoadedAt1xForEveryScale)
{
    software::addPngResource(kTestId, greySquare(2));
    for (const double scale : {0.5, 1.0, 1.5, 2.0, 3.0})
    {
        auto* bitmap = new CBitmap(kTestId, scale);
        EXPECT_EQ(bitmap->getResourceId(), kTestId) << scale;
        EXPECT_EQ(bitmap->getScale(), 1.0) << scale;
        EXPECT_EQ(bitmap->getWidth(), 2) << scale;
        EXPECT_EQ(bitmap->getPixelWidth(), 2) << scale;
        bitmap->release();
    }
    software::reset();
}

} // namespace
