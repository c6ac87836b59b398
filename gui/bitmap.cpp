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
        if (sharedImage)
            sharedImages::prepareRows(image, picture.offset.v,
                                      picture.offset.v + picture.destination.height());
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
    if (sharedImage)
        sharedImages::prepareRows(image, pixels.top, pixels.bottom);
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
