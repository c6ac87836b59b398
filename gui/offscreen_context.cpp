#include "gui/bitmap.h"
#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/scale.h"

namespace VSTGUI
{

COffscreenContext::COffscreenContext(CFrame* inFrame, int32_t inWidth, int32_t inHeight,
                                     const CColor& background)
    : CDrawContext(inFrame, nullptr, nullptr), height(inHeight), width(inWidth), ownsImage(true),
      backgroundColor(background)
{
    clipRect = CRect(0, 0, width, height);
    if (width < 1)
    {
        clipRect.left = width;
        clipRect.right = 0;
    }
    if (height < 1)
    {
        clipRect.top = height;
        clipRect.bottom = 0;
    }

    const platform::Window frameWindow = frame ? frame->getWindow() : nullptr;
    const platform::Device windowDevice = platform::getWindowDevice(frameWindow);
    const platform::Device memoryDevice = platform::createMemoryDevice(windowDevice);
    image = platform::createCompatibleImage(windowDevice, deviceSize(width, scale),
                                            deviceSize(height, scale));
    previousImage = platform::selectImage(memoryDevice, image);
    platform::releaseWindowDevice(frameWindow, windowDevice);
    attachDevice(memoryDevice);

    // The fill leaves out the top row and left column, which the outline covers.
    setFillColor(background);
    setFrameColor(background);
    const CRect all(0, 0, width, height);
    fillRect(all);
    drawRect(all, kDrawStroked);
}

COffscreenContext::COffscreenContext(CDrawContext* context, CBitmap* bitmap, bool drawInBitmap)
    : CDrawContext(context->getFrame(), nullptr, nullptr), sourceBitmap(bitmap),
      height(bitmap ? bitmap->getHeight() : 20), width(bitmap ? bitmap->getWidth() : 20)
{
    if (sourceBitmap)
        sourceBitmap->retain();
    clipRect = CRect(0, 0, width, height);

    const platform::Device memoryDevice = platform::createMemoryDevice(context->getDevice());
    if (bitmap && drawInBitmap)
    {
        image = bitmap->getImage();
    }
    else
    {
        image = platform::createCompatibleImage(context->getDevice(), deviceSize(width, scale),
                                                deviceSize(height, scale));
        ownsImage = true;
    }
    previousImage = platform::selectImage(memoryDevice, image);
    attachDevice(memoryDevice);

    if (!drawInBitmap)
    {
        if (bitmap)
        {
            bitmap->draw(this, CRect(0, 0, width, height));
        }
        else
        {
            setFillColor(kBlackCColor);
            drawRect(CRect(0, 0, width, height), kDrawFilled);
        }
    }
}

COffscreenContext::~COffscreenContext()
{
    const platform::Device memoryDevice = device;
    detachDevice();
    platform::selectImage(memoryDevice, previousImage);
    platform::deleteMemoryDevice(memoryDevice);
    if (ownsImage && image)
        platform::deleteImage(image);
    if (sourceBitmap)
        sourceBitmap->release();
}

void COffscreenContext::copyIn(CDrawContext* context, const CRect& sourceRect,
                               const CPoint& destinationOffset)
{
    if (!context->getDevice())
        return;
    const CRect source = context->toDeviceRect(sourceRect);
    const CPoint destination = toDevice(destinationOffset, scale);
    platform::copyPixels(device, CRect(destination, source.width(), source.height()),
                         context->getDevice(), source.topLeft());
}

void COffscreenContext::copyOut(CDrawContext* context, const CRect& destinationRect,
                                const CPoint& sourceOffset)
{
    if (!context->getDevice())
        return;
    platform::copyPixels(context->getDevice(), context->toDeviceRect(destinationRect), device,
                         toDevice(sourceOffset, scale));
}

} // namespace VSTGUI
