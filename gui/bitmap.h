// Images of the skin in premultiplied 32-bit images: at 1x decoded from the module's PNG
// resources, at every larger scale drawn by the skin for exactly that scale, frame by frame as
// the frames are shown. A bitmap measures in layout units (its pixels over the scale they were
// made for) and draws to device pixels at its context's scale.
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
    // scale above 1, a picture of the skin is drawn for that scale instead (other resources are
    // loaded at 1x and resampled when drawn).
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
    // The scale a bitmap made for a drawing scale has: the scale itself above 1, else 1.
    static double setScaleFor(double scale);
    int32_t getResourceId() const { return resourceId; }
    bool isLoaded() const { return image != nullptr || drawn != nullptr; }
    bool hasAlpha() const { return !noAlpha; }
    void setTransparentColor(const CColor& color) { transparentColor = color; }
    CColor getTransparentColor() const { return transparentColor; }
    // Builds the mask from the context's device, which must show the bitmap at offset.
    void setTransparencyMask(CDrawContext* context, const CPoint& offset = CPoint());
    // A PNG resource's image is shared by every bitmap of that resource: never draw into it.
    // Null for a drawn picture, whose frames are images of their own.
    platform::Image getImage() const { return image; }

private:
    void releaseImages();
    // Takes the process's shared image of the resource, decoding it if nobody holds it.
    void loadPng(int32_t id, const uint8_t* data, std::size_t size);
    // Takes the skin's picture of the resource drawn at the scale; false for none.
    bool loadDrawn(int32_t id, double drawScale);

    // The pixels that draw rect (from offset, layout units) at the context's scale.
    struct DevicePicture;
    DevicePicture pictureFor(CDrawContext* context, const CRect& rect, const CPoint& offset) const;
    // The same from an image of pixelSize made at the bitmap's scale.
    DevicePicture pictureOf(platform::Image source, const CPoint& pixelSize, CDrawContext* context,
                            const CRect& rect, const CPoint& offset) const;

    int32_t resourceId = 0;
    int32_t width = 0; // pixels
    int32_t height = 0;
    double scale = 1.0;
    CColor transparentColor = kTransparentCColor;
    bool noAlpha = true;
    platform::Image image = nullptr;
    platform::Image mask = nullptr;
    bool sharedImage = false;    // image belongs to the shared images (PNG resources)
    const void* drawn = nullptr; // the shared drawn picture, when the skin draws it
    int32_t layoutWidth = 0;     // of a drawn picture, layout units
    int32_t frameHeight = 0;
    int32_t frames = 0;
};

} // namespace VSTGUI
