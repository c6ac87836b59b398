// Software images, the module's resources, and the image copies and blends.
#include "gui/pixel_blend.h"
#include "gui/software/state.h"

#include <new>

#ifdef DRANVELOR_EMBEDDED_PNG
#include "resources/embedded_png.h"
#endif

namespace VSTGUI
{
namespace platform
{

namespace
{

bool sameRgb(uint32_t pixel, const CColor& key)
{
    return (pixel & 0xFFFFFF) == (static_cast<uint32_t>(key.red) << 16 |
                                  static_cast<uint32_t>(key.green) << 8 | key.blue);
}

Image maskOf(ImageObject& source, const CPoint& offset, int32_t width, int32_t height,
             const CColor& key)
{
    auto* mask = new ImageObject(width, height, true);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
        {
            const int32_t sx = offset.h + x;
            const int32_t sy = offset.v + y;
            if (source.contains(sx, sy) && sameRgb(source.at(sx, sy), key))
                mask->at(x, y) = 0xFFFFFF;
        }
    return mask;
}

} // namespace

Image createImage32(int32_t width, int32_t height, uint8_t** pixels)
{
    // Bounded like a device-independent section: a failure is an answer, never an exception.
    constexpr int64_t kMaxPixels = int64_t{1} << 28;
    if (width <= 0 || height <= 0 || int64_t{width} * height > kMaxPixels)
        return nullptr;
    auto* image = new (std::nothrow) ImageObject;
    if (!image)
        return nullptr;
    try
    {
        *image = ImageObject(width, height);
    }
    catch (const std::bad_alloc&)
    {
        delete image;
        return nullptr;
    }
    if (pixels)
        *pixels = reinterpret_cast<uint8_t*>(image->pixels.data());
    return image;
}

uint8_t* imageRows(Image image, std::ptrdiff_t& rowStep)
{
    rowStep = -static_cast<std::ptrdiff_t>(image->width) * 4;
    return reinterpret_cast<uint8_t*>(&image->at(0, 0));
}

// Memory images are drawn as they are.
void imageRowsWritten(Image, int32_t, int32_t) {}

Image createCompatibleImage(Device, int32_t width, int32_t height)
{
    return new ImageObject(width > 0 ? width : 1, height > 0 ? height : 1);
}

Image loadBitmapResource(int32_t id)
{
    const auto& resources = software::state().bitmapResources;
    const auto found = resources.find(id);
    if (found == resources.end())
        return nullptr;
    const software::PlainBitmap& bitmap = found->second;
    auto* image = new ImageObject(bitmap.width, bitmap.height);
    for (int32_t y = 0; y < bitmap.height; ++y)
        for (int32_t x = 0; x < bitmap.width; ++x)
            image->at(x, y) = bitmap.pixels[static_cast<std::size_t>(y * bitmap.width + x)];
    return image;
}

bool getImageSize(Image image, int32_t& width, int32_t& height)
{
    if (!image)
        return false;
    width = image->width;
    height = image->height;
    return true;
}

void deleteImage(Image image)
{
    delete image;
}

bool readImagePixels(Image image, const CRect& area, uint32_t* words)
{
    if (!image || area.isEmpty() || !image->contains(area.left, area.top) ||
        !image->contains(area.right - 1, area.bottom - 1))
        return false;
    for (int32_t y = area.top; y < area.bottom; ++y)
        for (int32_t x = area.left; x < area.right; ++x)
            *words++ = image->at(x, y);
    return true;
}

bool findPngResource(int32_t id, const uint8_t*& data, std::size_t& size)
{
    const auto& resources = software::state().pngResources;
    const auto found = resources.find(id);
    if (found != resources.end())
    {
        data = found->second.data();
        size = found->second.size();
        return true;
    }
#ifdef DRANVELOR_EMBEDDED_PNG
    if (const EmbeddedPng* png = findEmbeddedPng(id))
    {
        data = png->data;
        size = png->size();
        return true;
    }
#endif
    return false;
}

void copyImage(Device device, const CRect& rect, Image image, const CPoint& offset)
{
    software::copyRegion(*device, rect, *image, offset, [](uint32_t, uint32_t s) { return s; });
}

void copyImageMasked(Device device, const CRect& rect, Image image, Image mask,
                     const CPoint& offset)
{
    for (int32_t y = rect.top; y < rect.bottom; ++y)
        for (int32_t x = rect.left; x < rect.right; ++x)
        {
            const int32_t sx = offset.h + x - rect.left;
            const int32_t sy = offset.v + y - rect.top;
            if (software::visible(*device, x, y) && image->contains(sx, sy) &&
                mask->contains(sx, sy) && mask->at(sx, sy) == 0)
                device->target->at(x, y) = image->at(sx, sy);
        }
}

Image createMask(Device source, const CPoint& offset, int32_t width, int32_t height,
                 const CColor& key)
{
    return maskOf(*source->target, offset, width, height, key);
}

Image createImageMask(Image source, const CColor& key)
{
    return maskOf(*source, CPoint(), source->width, source->height, key);
}

bool transparentBlit(Device device, const CRect& rect, Image image, const CPoint& offset,
                     const CColor& key)
{
    software::copyRegion(*device, rect, *image, offset,
                         [&key](uint32_t d, uint32_t s) { return sameRgb(s, key) ? d : s; });
    return true;
}

void alphaBlend(Device device, const CRect& rect, Image image, const CPoint& offset, uint8_t alpha,
                bool perPixelAlpha)
{
    software::copyRegion(*device, rect, *image, offset,
                         [=](uint32_t d, uint32_t s)
                         { return blendPixel(d, s, alpha, perPixelAlpha); });
}

// Blending is built in here: nothing to load.
void openBlendLibrary() {}
void closeBlendLibrary() {}

} // namespace platform
} // namespace VSTGUI
