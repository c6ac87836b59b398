#include "gui/bitmap.h"

#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/shared_images.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

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

// Premultiplied by >> 8, not / 255: opaque 255 becomes 254, as the stored images expect, and
// alpha 0 clears the pixel. Pixels are little-endian words 0xAARRGGBB. Done row by row while the
// row is in the cache, blue and red in one multiplication (each product fits in its 16 bits).
void premultiply(uint8_t* row, png_uint_32 count)
{
    for (png_uint_32 i = 0; i < count; ++i)
    {
        uint32_t pixel;
        std::memcpy(&pixel, row + 4 * i, 4);
        const uint32_t alpha = pixel >> 24;
        const uint32_t blueRed = ((pixel & 0x00FF00FFu) * alpha >> 8) & 0x00FF00FFu;
        const uint32_t green = ((pixel >> 8 & 0xFFu) * alpha) & 0xFF00u;
        pixel = alpha << 24 | blueRed | green;
        std::memcpy(row + 4 * i, &pixel, 4);
    }
}

// Rows go straight into the image, bottom-up: picture row 0 lands in the last memory row.
void readImage(png_structp png, png_infop info, DecodedImage& out, uint8_t*& pixels)
{
    png_read_info(png, info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
    out.width = static_cast<int32_t>(width);
    out.height = static_cast<int32_t>(height);

    out.image = platform::createImage32(out.width, out.height, &pixels);
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
    // An interlaced image is complete only after its last pass.
    for (int pass = 0; pass < passes; ++pass)
    {
        const bool last = pass == passes - 1;
        png_bytep row = pixels + rowBytes * (height - 1);
        for (png_uint_32 y = 0; y < height; ++y, row -= rowBytes)
        {
            png_read_rows(png, &row, nullptr, 1);
            if (last)
                premultiply(row, width);
        }
    }
    png_read_end(png, nullptr);
}

// libpng errors jump back here; whatever was decoded so far stays in out.
void decode(png_structp png, png_infop info, DecodedImage& out)
{
    uint8_t* pixels = nullptr;
    if (setjmp(png_jmpbuf(png)))
        return;
    readImage(png, info, out, pixels);
}

DecodedImage decodePng(const uint8_t* data, std::size_t size)
{
    DecodedImage decoded;
    // The installed libpng's own version: it refuses to run against any other.
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return decoded;
    png_infop info = png_create_info_struct(png);
    if (info)
    {
        MemoryReader reader{data, 0, size};
        png_set_read_fn(png, &reader, readFromMemory);
#ifdef PNG_IGNORE_ADLER32
        // The images come from the module itself; the chunks' CRCs are still checked.
        png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
        decode(png, info, decoded);
    }
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return decoded;
}

} // namespace

CBitmap::CBitmap(int32_t id) : resourceId(id)
{
    loadFromResource(id);
    transparentColor = kTransparentCColor;
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
    releaseImages();
}

void CBitmap::dispose()
{
    releaseImages();
    noAlpha = false;
    width = 0;
    height = 0;
}

void CBitmap::releaseImages()
{
    if (image && sharedImage)
        sharedImages::release(image);
    else if (image)
        platform::deleteImage(image);
    if (mask)
        platform::deleteImage(mask);
    image = nullptr;
    mask = nullptr;
    sharedImage = false;
}

bool CBitmap::loadFromResource(int32_t id)
{
    dispose();
    const uint8_t* data = nullptr;
    std::size_t size = 0;
    if (platform::findPngResource(id, data, size))
    {
        // Found is loaded, even when decoding failed part way: drawing then shows what was decoded.
        loadPng(id, data, size);
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

void CBitmap::loadPng(int32_t id, const uint8_t* data, std::size_t size)
{
    const DecodedImage decoded = sharedImages::acquire(id, data, size, decodePng);
    image = decoded.image;
    sharedImage = image != nullptr;
    width = decoded.width;
    height = decoded.height;
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
    if (image && context->getDevice())
        platform::copyImage(context->getDevice(), CRect(rect).offset(context->offset), image,
                            offset);
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
    const CRect destination = CRect(rect).offset(context->offset);
    if (mask)
    {
        platform::copyImageMasked(device, destination, image, mask, offset);
    }
    else if (!platform::transparentBlit(device, destination, image, offset, transparentColor))
    {
        const platform::Image keyMask = platform::createImageMask(image, transparentColor);
        if (keyMask)
        {
            platform::copyImageMasked(device, destination, image, keyMask, offset);
            platform::deleteImage(keyMask);
        }
    }
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const CRect& rect, const CPoint& offset,
                             uint8_t alpha)
{
    if (image && context->getDevice())
        platform::alphaBlend(context->getDevice(), CRect(rect).offset(context->offset), image,
                             offset, alpha, !noAlpha);
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
