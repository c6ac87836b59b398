// Images on X11: cairo image surfaces, the embedded PNG resources, and the copies and blends,
// done pixel by pixel where they must match the native blend's arithmetic exactly.
#include "gui/pixel_blend.h"
#include "gui/x11/x11.h"

#include <algorithm>
#include <new>
#include <utility>

#ifdef DRANVELOR_EMBEDDED_PNG
#include "resources/embedded_png.h"
#endif

namespace VSTGUI
{
namespace platform
{

ImageObject::ImageObject(int32_t w, int32_t h, cairo_format_t format)
    : surface(cairo_image_surface_create(format, w, h)), width(w), height(h),
      data(cairo_image_surface_get_data(surface)), stride(cairo_image_surface_get_stride(surface))
{
}

ImageObject::~ImageObject()
{
    cairo_surface_destroy(surface);
}

void ImageObject::beginPixels()
{
    cairo_surface_flush(surface);
    if (!bottomUp)
        return;
    bottomUp = false;
    for (int32_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(&at(0, top), &at(0, top) + width, &at(0, bottom));
    endPixels();
}

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
    auto* mask = new ImageObject(width, height, CAIRO_FORMAT_A8);
    source.beginPixels();
    mask->beginPixels();
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
        {
            const int32_t sx = offset.h + x;
            const int32_t sy = offset.v + y;
            if (source.contains(sx, sy) && sameRgb(source.at(sx, sy), key))
                mask->maskAt(x, y) = 0xFF;
        }
    mask->endPixels();
    return mask;
}

// For every pixel of rect that the device shows and the image has (from offset onwards):
// combine(destination pixel, source pixel, source position), which may change the destination.
template <typename Combine>
void eachPixel(DeviceObject& device, const CRect& rect, ImageObject& image, const CPoint& offset,
               Combine combine)
{
    // Source pixel of destination x: offset.h + x - rect.left; the same for y.
    const int32_t dx = offset.h - rect.left;
    const int32_t dy = offset.v - rect.top;
    CRect area = x11::visibleRect(device, rect);
    area.left = std::max(area.left, -dx);
    area.top = std::max(area.top, -dy);
    area.right = std::min(area.right, image.width - dx);
    area.bottom = std::min(area.bottom, image.height - dy);
    if (area.left >= area.right || area.top >= area.bottom)
        return;
    image.beginPixels();
    device.target->beginPixels();
    for (int32_t y = area.top; y < area.bottom; ++y)
    {
        uint32_t* destination = &device.target->at(area.left, y);
        const uint32_t* source = &image.at(area.left + dx, y + dy);
        for (int32_t x = area.left; x < area.right; ++x)
            combine(*destination++, *source++, x + dx, y + dy);
    }
    device.target->endPixels();
    x11::touch(device, area);
}

} // namespace

Image createImage32(int32_t width, int32_t height, uint8_t** pixels)
{
    // Bounded like a device-independent section, and within cairo's limit for one side.
    constexpr int64_t kMaxPixels = int64_t{1} << 28;
    constexpr int32_t kMaxSide = 32767;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        int64_t{width} * height > kMaxPixels)
        return nullptr;
    auto* image = new (std::nothrow) ImageObject(width, height, CAIRO_FORMAT_ARGB32);
    if (!image)
        return nullptr;
    if (!image->valid())
    {
        delete image;
        return nullptr;
    }
    // Rows handed out bottom-up are turned over at the first use; without the pointer, rows are
    // written through imageRows, top-down as cairo has them.
    if (pixels)
    {
        image->bottomUp = true;
        *pixels = cairo_image_surface_get_data(image->surface);
    }
    return image;
}

uint8_t* imageRows(Image image, std::ptrdiff_t& rowStep)
{
    image->beginPixels();
    rowStep = image->rowBytes();
    return image->row(0);
}

void imageRowsWritten(Image image, int32_t top, int32_t bottom)
{
    cairo_surface_mark_dirty_rectangle(image->surface, 0, top, image->width, bottom - top);
}

Image createCompatibleImage(Device, int32_t width, int32_t height)
{
    return new ImageObject(width > 0 ? width : 1, height > 0 ? height : 1, CAIRO_FORMAT_RGB24);
}

// A shared library carries no plain bitmap resources.
Image loadBitmapResource(int32_t)
{
    return nullptr;
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
    const cairo_format_t format = cairo_image_surface_get_format(image->surface);
    if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24)
        return false;
    // The unused byte of an opaque surface reads as opaque.
    const uint32_t opaque = format == CAIRO_FORMAT_RGB24 ? 0xFF000000u : 0;
    image->beginPixels();
    for (int32_t y = area.top; y < area.bottom; ++y)
        for (int32_t x = area.left; x < area.right; ++x)
            *words++ = image->at(x, y) | opaque;
    return true;
}

bool findPngResource(int32_t id, const uint8_t*& data, std::size_t& size)
{
#ifdef DRANVELOR_EMBEDDED_PNG
    if (const EmbeddedPng* png = findEmbeddedPng(id))
    {
        data = png->data;
        size = png->size();
        return true;
    }
#else
    (void)id;
    (void)data;
    (void)size;
#endif
    return false;
}

void copyImage(Device device, const CRect& rect, Image image, const CPoint& offset)
{
    image->beginPixels();
    cairo_t* cr = x11::createContext(*device);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, image->surface, rect.left - offset.h, rect.top - offset.v);
    cairo_rectangle(cr, rect.left, rect.top, rect.width(), rect.height());
    cairo_clip(cr);
    // Only where the image has pixels, as a block copy from a smaller source.
    cairo_rectangle(cr, rect.left - offset.h, rect.top - offset.v, image->width, image->height);
    cairo_fill(cr);
    cairo_destroy(cr);
    x11::touch(*device, rect);
}

void copyImageMasked(Device device, const CRect& rect, Image image, Image mask,
                     const CPoint& offset)
{
    mask->beginPixels();
    eachPixel(*device, rect, *image, offset,
              [mask](uint32_t& d, uint32_t s, int32_t sx, int32_t sy)
              {
                  if (mask->contains(sx, sy) && mask->maskAt(sx, sy) == 0)
                      d = s;
              });
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
    eachPixel(*device, rect, *image, offset,
              [&key](uint32_t& d, uint32_t s, int32_t, int32_t)
              {
                  if (!sameRgb(s, key))
                      d = s;
              });
    return true;
}

void alphaBlend(Device device, const CRect& rect, Image image, const CPoint& offset, uint8_t alpha,
                bool perPixelAlpha)
{
    if (perPixelAlpha && alpha == 255)
    {
        // What the blend makes of an opaque or an empty premultiplied pixel, without its sums.
        eachPixel(*device, rect, *image, offset,
                  [](uint32_t& d, uint32_t s, int32_t, int32_t)
                  {
                      if (s >= 0xFF000000u)
                          d = s;
                      else if (s != 0)
                          d = blendPixel(d, s, 255, true);
                  });
        return;
    }
    eachPixel(*device, rect, *image, offset,
              [=](uint32_t& d, uint32_t s, int32_t, int32_t)
              { d = blendPixel(d, s, alpha, perPixelAlpha); });
}

// Blending is done here: nothing to load.
void openBlendLibrary() {}
void closeBlendLibrary() {}

} // namespace platform
} // namespace VSTGUI
