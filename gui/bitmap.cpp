#include "gui/bitmap.h"

#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/png_decode.h"
#include "gui/shared_images.h"

namespace VSTGUI
{

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
