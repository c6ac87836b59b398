#include "gui/bitmap.h"

#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/image_resample.h"
#include "gui/scale.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <vector>

namespace VSTGUI
{

namespace
{

struct MemoryReader
{
    const uint8_t* data;
    std::size_t position;
    std::size_t size;
};

// A read beyond the end is a truncated file: reported to libpng as an error, so that it never
// decodes from bytes it was not given.
void readFromMemory(png_structp png, png_bytep out, png_size_t count)
{
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (count > reader->size - reader->position)
        png_error(png, "truncated PNG data");
    std::memcpy(out, reader->data + reader->position, count);
    reader->position += count;
}

struct Decoded
{
    platform::Image image = nullptr;
    uint8_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
};

// Rows go straight into the image, bottom-up: picture row 0 lands in the last memory row.
void readImage(png_structp png, png_infop info, Decoded& out)
{
    png_read_info(png, info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
    out.width = static_cast<int32_t>(width);
    out.height = static_cast<int32_t>(height);

    out.image = platform::createImage32(out.width, out.height, &out.pixels);
    if (!out.image)
        return;

    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    else
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    if (bitDepth == 16)
    {
        png_set_swap(png);
        png_set_strip_16(png);
    }
    // Palette entries are RGB too: without the swap their red and blue would trade places.
    if (colorType == PNG_COLOR_TYPE_RGB || colorType == PNG_COLOR_TYPE_RGB_ALPHA ||
        colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_bgr(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    if (png_get_rowbytes(png, info) != rowBytes)
        png_error(png, "unexpected row layout");
    for (int pass = 0; pass < passes; ++pass)
    {
        png_bytep row = out.pixels + rowBytes * (height - 1);
        for (png_uint_32 y = 0; y < height; ++y, row -= rowBytes)
            png_read_rows(png, &row, nullptr, 1);
    }
    png_read_end(png, nullptr);

    // Premultiplied by >> 8, not / 255: opaque 255 becomes 254, as the stored images expect.
    uint8_t* pixel = out.pixels;
    for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i, pixel += 4)
    {
        const unsigned alpha = pixel[3];
        if (alpha == 0)
        {
            std::memset(pixel, 0, 4);
            continue;
        }
        for (int c = 0; c < 3; ++c)
            pixel[c] = static_cast<uint8_t>((pixel[c] * alpha) >> 8);
    }
}

// libpng errors jump back here; whatever was decoded so far stays in out.
bool decode(png_structp png, png_infop info, Decoded& out)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    readImage(png, info, out);
    return true;
}

constexpr double kSetScales[] = {1.0, 1.5, 2.0};
constexpr int32_t kSetIdStep = 100;

int setIndexFor(double scale)
{
    if (scale < 1.0 + kScaleTolerance)
        return 0;
    return scale < 1.5 + kScaleTolerance ? 1 : 2;
}

bool hasPngResource(int32_t id)
{
    const uint8_t* data = nullptr;
    std::size_t size = 0;
    return platform::findPngResource(id, data, size);
}

// A picture of words, top row first, resampled into a new 32-bit image of the target size.
platform::Image resampledImage(const std::vector<uint32_t>& words, int32_t width, int32_t height,
                               int32_t targetWidth, int32_t targetHeight)
{
    uint8_t* pixels = nullptr;
    const platform::Image image = platform::createImage32(targetWidth, targetHeight, &pixels);
    if (!image)
        return nullptr;
    // The image's memory runs bottom-up: its top row is the last.
    auto* topRow = reinterpret_cast<uint32_t*>(pixels) +
                   static_cast<std::ptrdiff_t>(targetHeight - 1) * targetWidth;
    resamplePixels(words.data(), width, height, topRow, targetWidth, targetHeight, -targetWidth);
    return image;
}

} // namespace

// The image itself, or a resampled copy owned here.
struct CBitmap::DevicePicture
{
    platform::Image image = nullptr;
    CRect destination;
    CPoint offset;
    bool owned = false;

    DevicePicture() = default;
    DevicePicture(const DevicePicture&) = delete;
    DevicePicture& operator=(const DevicePicture&) = delete;
    DevicePicture(DevicePicture&& other) noexcept
        : image(other.image), destination(other.destination), offset(other.offset),
          owned(other.owned)
    {
        other.owned = false;
    }
    ~DevicePicture()
    {
        if (owned && image)
            platform::deleteImage(image);
    }
};

CBitmap::CBitmap(int32_t id, double forScale) : resourceId(id)
{
    int set = setIndexFor(forScale);
    while (set > 0 && !hasPngResource(id + set * kSetIdStep))
        --set;
    resourceId = id + set * kSetIdStep;
    scale = kSetScales[set];
    loadFromResource(resourceId);
    transparentColor = kTransparentCColor;
}

double CBitmap::setScaleFor(double forScale)
{
    return kSetScales[setIndexFor(forScale)];
}

int32_t CBitmap::getWidth() const
{
    return static_cast<int32_t>(std::lround(width / scale));
}

int32_t CBitmap::getHeight() const
{
    return static_cast<int32_t>(std::lround(height / scale));
}

CBitmap::DevicePicture CBitmap::pictureFor(CDrawContext* context, const CRect& rect,
                                           const CPoint& offset) const
{
    DevicePicture picture;
    picture.destination = context->toDeviceRect(rect);
    if (sameScale(scale, context->getScale()))
    {
        picture.image = image;
        picture.offset = toDevice(offset, scale);
        return picture;
    }
    // Only what the image has: a rectangle reaching beyond it draws less, as a block copy does.
    CRect source(offset, rect.width(), rect.height());
    source.intersect(CRect(0, 0, getWidth(), getHeight()));
    if (source.isEmpty())
        return picture;
    picture.destination =
        context->toDeviceRect(CRect(source.topLeft(), source.width(), source.height())
                                  .offset(rect.left - offset.h, rect.top - offset.v));
    CRect pixels = toDevice(source, scale);
    pixels.intersect(CRect(0, 0, width, height));
    std::vector<uint32_t> words(static_cast<std::size_t>(pixels.width()) * pixels.height());
    if (pixels.isEmpty() || picture.destination.isEmpty() ||
        !platform::readImagePixels(image, pixels, words.data()))
        return picture;
    picture.image = resampledImage(words, pixels.width(), pixels.height(),
                                   picture.destination.width(), picture.destination.height());
    picture.owned = true;
    return picture;
}

CBitmap::CBitmap() = default;

CBitmap::CBitmap(CFrame* frame, int32_t inWidth, int32_t inHeight)
    : width(inWidth), height(inHeight)
{
    const platform::Window window = frame ? frame->getWindow() : nullptr;
    const platform::Device screen = platform::getWindowDevice(window);
    image = platform::createCompatibleImage(screen, width, height);
    platform::releaseWindowDevice(window, screen);
}

CBitmap::~CBitmap()
{
    if (image)
        platform::deleteImage(image);
    if (mask)
        platform::deleteImage(mask);
}

void CBitmap::dispose()
{
    if (image)
        platform::deleteImage(image);
    if (mask)
        platform::deleteImage(mask);
    image = nullptr;
    mask = nullptr;
    noAlpha = false;
    width = 0;
    height = 0;
}

bool CBitmap::loadFromResource(int32_t id)
{
    dispose();
    const uint8_t* data = nullptr;
    std::size_t size = 0;
    if (platform::findPngResource(id, data, size))
    {
        // Found is loaded, even when decoding failed part way: drawing then shows what was decoded.
        loadPng(data, size);
        noAlpha = false;
        return true;
    }
    image = platform::loadBitmapResource(id);
    if (image && platform::getImageSize(image, width, height))
    {
        noAlpha = true;
        return true;
    }
    if (image)
        platform::deleteImage(image);
    image = nullptr;
    return false;
}

void CBitmap::loadPng(const uint8_t* data, std::size_t size)
{
    // The installed libpng's own version: it refuses to run against any other.
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return;
    png_infop info = png_create_info_struct(png);
    if (info)
    {
        MemoryReader reader{data, 0, size};
        png_set_read_fn(png, &reader, readFromMemory);
        Decoded decoded;
        decode(png, info, decoded);
        image = decoded.image;
        width = decoded.width;
        height = decoded.height;
    }
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
}

bool CBitmap::loadFromPath(const void*)
{
    dispose();
    return false;
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset)
{
    if (!noAlpha)
    {
        drawAlphaBlend(context, rect, offset, 255);
        return;
    }
    if (!image || !context->getDevice())
        return;
    const DevicePicture picture = pictureFor(context, rect, offset);
    if (picture.image)
        platform::copyImage(context->getDevice(), picture.destination, picture.image,
                            picture.offset);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& offset)
{
    if (!noAlpha)
    {
        drawAlphaBlend(context, rect, offset, 255);
        return;
    }
    const platform::Device device = context->getDevice();
    if (!image || !device)
        return;
    const DevicePicture picture = pictureFor(context, rect, offset);
    if (!picture.image)
        return;
    // The mask was taken at the image's own scale.
    if (mask && !picture.owned)
    {
        platform::copyImageMasked(device, picture.destination, image, mask, picture.offset);
    }
    else if (!platform::transparentBlit(device, picture.destination, picture.image, picture.offset,
                                        transparentColor))
    {
        const platform::Image keyMask = platform::createImageMask(picture.image, transparentColor);
        if (keyMask)
        {
            platform::copyImageMasked(device, picture.destination, picture.image, keyMask,
                                      picture.offset);
            platform::deleteImage(keyMask);
        }
    }
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const CRect& rect, const CPoint& offset,
                             uint8_t alpha)
{
    if (!image || !context->getDevice())
        return;
    const DevicePicture picture = pictureFor(context, rect, offset);
    if (picture.image)
        platform::alphaBlend(context->getDevice(), picture.destination, picture.image,
                             picture.offset, alpha, !noAlpha);
}

void CBitmap::setTransparencyMask(CDrawContext* context, const CPoint& offset)
{
    if (mask)
        platform::deleteImage(mask);
    mask = nullptr;
    if (context->getDevice())
        mask = platform::createMask(context->getDevice(), offset, width, height, transparentColor);
}

} // namespace VSTGUI
