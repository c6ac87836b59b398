// Images of the skin, decoded from the module's PNG resources into premultiplied 32-bit images.
#pragma once

#include "gui/platform/draw.h"
#include "gui/vstgui_types.h"

namespace VSTGUI
{

class CDrawContext;
class CFrame;

class CBitmap : public CReferenceCounter
{
public:
    // Loads the resource with this id: a PNG first, else a plain bitmap of the same id.
    explicit CBitmap(int32_t resourceId);
    CBitmap();
    // An empty image of the given size, compatible with the screen.
    CBitmap(CFrame* frame, int32_t width, int32_t height);
    ~CBitmap() override;

    // rect is in the context's coordinates (its offset is added); offset is the first source pixel.
    virtual void draw(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint());
    virtual void drawTransparent(CDrawContext* context, const CRect& rect,
                                 const CPoint& offset = CPoint());
    virtual void drawAlphaBlend(CDrawContext* context, const CRect& rect, const CPoint& offset,
                                uint8_t alpha);
    virtual void dispose();
    virtual bool loadFromResource(int32_t resourceId);
    virtual bool loadFromPath(const void* path); // not supported: always false

    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    int32_t getResourceId() const { return resourceId; }
    bool isLoaded() const { return image != nullptr; }
    bool hasAlpha() const { return !noAlpha; }
    void setTransparentColor(const CColor& color) { transparentColor = color; }
    CColor getTransparentColor() const { return transparentColor; }
    // Builds the mask from the context's device, which must show the bitmap at offset.
    void setTransparencyMask(CDrawContext* context, const CPoint& offset = CPoint());
    // A PNG resource's image is shared by every bitmap of that resource: never draw into it.
    platform::Image getImage() const { return image; }

private:
    void releaseImages();
    // Takes the process's shared image of the resource, decoding it if nobody holds it.
    void loadPng(int32_t id, const uint8_t* data, std::size_t size);

    int32_t resourceId = 0;
    int32_t width = 0;
    int32_t height = 0;
    CColor transparentColor = kTransparentCColor;
    bool noAlpha = true;
    platform::Image image = nullptr;
    platform::Image mask = nullptr;
    bool sharedImage = false; // image belongs to the shared images (PNG resources)
};

} // namespace VSTGUI
