// Images of the skin, decoded from the module's PNG resources into premultiplied 32-bit images.
// Each skin image comes in sets made for the scales 1, 1.5 and 2, the 1.5 set under the 1x id +
// 100 and the 2 set under the 1x id + 200. A bitmap measures in layout units (its pixels over the
// scale they were made for) and draws to device pixels at its context's scale.
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
    // Loads the resource with this id: a PNG first, else a plain bitmap of the same id. With a
    // scale, the id is the 1x one and the set made for that scale is loaded: exactly 1, 1.5 or 2;
    // the 1.5 set between 1 and 1.5, the 2 set above 1.5; the next smaller set when the chosen
    // one is missing.
    explicit CBitmap(int32_t resourceId, double scale = 1.0);
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

    // In layout units.
    int32_t getWidth() const;
    int32_t getHeight() const;
    int32_t getPixelWidth() const { return width; }
    int32_t getPixelHeight() const { return height; }
    // The scale its pixels were made for.
    double getScale() const { return scale; }
    // The scale of the set that serves a drawing scale, before any fallback: 1, 1.5 or 2.
    static double setScaleFor(double scale);
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

    // The pixels that draw rect (from offset, layout units) at the context's scale.
    struct DevicePicture;
    DevicePicture pictureFor(CDrawContext* context, const CRect& rect, const CPoint& offset) const;

    int32_t resourceId = 0;
    int32_t width = 0; // pixels
    int32_t height = 0;
    double scale = 1.0;
    CColor transparentColor = kTransparentCColor;
    bool noAlpha = true;
    platform::Image image = nullptr;
    platform::Image mask = nullptr;
    bool sharedImage = false; // image belongs to the shared images (PNG resources)
};

} // namespace VSTGUI
