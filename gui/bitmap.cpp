#include "gui/bitmap.h"

#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/image_resample.h"
#include "gui/scale.h"
#include "gui/shared_images.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace VSTGUI
{

namespace
{

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
    const double drawScale = setScaleFor(forScale);
    if (drawScale == 1.0 || !loadDrawn(id, drawScale))
        loadFromResource(id);
    transparentColor = kTransparentCColor;
}

double CBitmap::setScaleFor(double forScale)
{
    return forScale > 1.0 + kScaleTolerance ? forScale : 1.0;
}

bool CBitmap::loadDrawn(int32_t id, double drawScale)
{
    const sharedImages::DrawnPicture picture = sharedImages::acquireDrawn(id, drawScale);
    if (!picture.handle)
        return false;
    drawn = picture.handle;
    scale = drawScale;
    layoutWidth = picture.width;
    frameHeight = picture.frameHeight;
    frames = picture.frames;
    width = static_cast<int32_t>(std::ceil(layoutWidth * scale - kScaleTolerance));
    height = frames * static_cast<int32_t>(std::ceil(frameHeight * scale - kScaleTolerance));
    noAlpha = false;
    return true;
}

int32_t CBitmap::getWidth() const
{
    return drawn ? layoutWidth : static_cast<int32_t>(std::lround(width / scale));
}

int32_t CBitmap::getHeight() const
{
    return drawn ? frameHeight * frames : static_cast<int32_t>(std::lround(height / scale));
}

CBitmap::DevicePicture CBitmap::pictureFor(CDrawContext* context, const CRect& rect,
                                           const CPoint& offset) const
{
    if (!drawn)
        return pictureOf(image, CPoint(width, height), context, rect, offset);
    // One frame's image: a rectangle reaching past the frame draws that frame's part only.
    const int32_t frame =
        std::clamp(static_cast<int32_t>(std::floor(offset.v / static_cast<double>(frameHeight))), 0,
                   frames - 1);
    const CPoint within(offset.h, offset.v - frame * frameHeight);
    CRect part = rect;
    part.bottom = std::min(part.bottom, part.top + frameHeight - within.v);
    const CPoint pixels(static_cast<CCoord>(std::ceil(layoutWidth * scale - kScaleTolerance)),
                        static_cast<CCoord>(std::ceil(frameHeight * scale - kScaleTolerance)));
    return pictureOf(sharedImages::drawnFrame(drawn, frame), pixels, context, part, within);
}

CBitmap::DevicePicture CBitmap::pictureOf(platform::Image source, const CPoint& pixelSize,
                                          CDrawContext* context, const CRect& rect,
                                          const CPoint& offset) const
{
    DevicePicture picture;
    picture.destination = context->toDeviceRect(rect);
    if (sameScale(scale, context->getScale()))
    {
        picture.image = source;
        picture.offset = toDevice(offset, scale);
        if (sharedImage)
            sharedImages::prepareRows(source, picture.offset.v,
                                      picture.offset.v + picture.destination.height());
        return picture;
    }
    // Only what the image has: a rectangle reaching beyond it draws less, as a block copy does.
    CRect sourceRect(offset, rect.width(), rect.height());
    sourceRect.intersect(CRect(0, 0, static_cast<CCoord>(std::lround(pixelSize.h / scale)),
                               static_cast<CCoord>(std::lround(pixelSize.v / scale))));
    if (sourceRect.isEmpty() || !source)
        return picture;
    picture.destination =
        context->toDeviceRect(CRect(sourceRect.topLeft(), sourceRect.width(), sourceRect.height())
                                  .offset(rect.left - offset.h, rect.top - offset.v));
    CRect pixels = toDevice(sourceRect, scale);
    pixels.intersect(CRect(0, 0, pixelSize.h, pixelSize.v));
    if (sharedImage)
        sharedImages::prepareRows(source, pixels.top, pixels.bottom);
    std::vector<uint32_t> words(static_cast<std::size_t>(pixels.width()) * pixels.height());
    if (pixels.isEmpty() || picture.destination.isEmpty() ||
        !platform::readImagePixels(source, pixels, words.data()))
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
    if (drawn)
        sharedImages::releaseDrawn(drawn);
    drawn = nullptr;
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
    const DecodedImage decoded = sharedImages::acquire(id, data, size);
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
    if (!isLoaded() || !context->getDevice())
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
    if (!isLoaded() || !device)
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
    if (!isLoaded() || !context->getDevice())
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
