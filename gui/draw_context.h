// Draw contexts: the only way views draw, and the mouse state that controls poll while they
// track the pointer.
#pragma once

#include "gui/platform/draw.h"
#include "gui/vstgui_types.h"

namespace VSTGUI
{

class CFrame;
class CBitmap;

enum CDrawStyle : int32_t
{
    kDrawStroked = 0,
    kDrawFilled = 1,
    kDrawFilledAndStroked = 2,
};

enum CLineStyle : int32_t
{
    kLineSolid = 0,
    kLineOnOffDash = 1, // dotted
};

enum CDrawMode : int32_t
{
    kCopyMode = 0,
    kOrMode = 1,
    kXorMode = 2, // NOT (pen XOR screen)
};

enum CHoriTxtAlign : int32_t
{
    kLeftText = 0,
    kCenterText = 1,
    kRightText = 2,
};

enum CTxtFace : int32_t
{
    kNormalFace = 0,
    kBoldFace = 1,
    kItalicFace = 2,
    kUnderlineFace = 4,
};

enum CFont : int32_t
{
    kSystemFont = 0, // always bold
    kNormalFontVeryBig = 1,
    kNormalFontBig = 2,
    kNormalFont = 3,
    kNormalFontSmall = 4,
    kNormalFontSmaller = 5,
    kNormalFontVerySmall = 6,
    kSymbolFont = 7,
    kNumStandardFonts = 8,
};

// The standard font table: face name and size in pixels by font id.
extern const char* const kStandardFontName[kNumStandardFonts];
extern const int32_t kStandardFontSize[kNumStandardFonts];

class CDrawContext : public CReferenceCounter
{
public:
    // Uses device when given; otherwise borrows the window's device and gives it back at the end.
    CDrawContext(CFrame* frame, platform::Device device, platform::Window window);
    ~CDrawContext() override;

    // Drawing. Every coordinate is shifted by offset.
    void moveTo(const CPoint& point);
    void lineTo(const CPoint& point);                   // the end point is not painted
    void drawLines(const CPoint* pairs, int32_t count); // count point pairs
    void polyLine(const CPoint* points, int32_t count);
    void fillPolygon(const CPoint* points, int32_t count);
    void drawPolygon(const CPoint* points, int32_t count, int32_t style = kDrawStroked);
    void drawRect(const CRect& rect, int32_t style = kDrawStroked); // outline inside the rect
    void fillRect(const CRect& rect); // leaves out the top row and the left column
    void fillEllipse(const CRect& rect);
    void drawEllipse(const CRect& rect);
    void drawArc(const CRect& rect, const CPoint& point1, const CPoint& point2);
    void drawPoint(const CPoint& point, const CColor& color);
    CColor getPoint(const CPoint& point);
    void floodFill(const CPoint& point);
    void drawString(const char* text, const CRect& rect, bool opaque = false,
                    int32_t alignment = kCenterText);
    int32_t getStringWidth(const char* text);

    // State. Setters change the device only when the value really changes.
    void setLineStyle(int32_t style);
    int32_t getLineStyle() const { return lineStyle; }
    void setLineWidth(int32_t width);
    int32_t getLineWidth() const { return lineWidth; }
    void setDrawMode(int32_t mode);
    int32_t getDrawMode() const { return drawMode; }
    void setClipRect(const CRect& clip); // in caller coordinates
    CRect& getClipRect(CRect& clip) const;
    void setFillColor(const CColor& color);
    CColor getFillColor() const { return fillColor; }
    void setFrameColor(const CColor& color);
    CColor getFrameColor() const { return frameColor; }
    void setFontColor(const CColor& color); // always applied
    CColor getFontColor() const { return fontColor; }
    // Ids from kNumStandardFonts up act as kSystemFont; size 0 is the font's standard size.
    void setFont(int32_t fontId, int32_t size = 0, int32_t style = 0);
    int32_t getFont() const { return fontId; }
    int32_t getFontSize() const { return fontSize; }
    int32_t getFontStyle() const { return fontStyle; }

    // Mouse, in the context's coordinates.
    int32_t getMouseButtons();
    void getMouseLocation(CPoint& point);
    bool waitDoubleClick();
    bool waitDrag();

    CFrame* getFrame() const { return frame; }
    // Device pixels per layout unit: the frame's scale when the context was made.
    double getScale() const { return scale; }
    // A rectangle or point of the caller, shifted by offset, in device pixels.
    CRect toDeviceRect(const CRect& rect) const;
    CPoint toDevicePoint(const CPoint& point) const;
    platform::Device getDevice() const { return device; }
    platform::Window getWindow() const { return window; }

    // Set by the frame when it registers its window class: swaps the physical left and right
    // buttons in getMouseButtons.
    static void setMouseButtonsSwapped(bool swapped);

    // Screen position of the device's origin; getMouseLocation answers relative to it.
    CPoint offsetScreen;
    // Added to every coordinate of a drawing operation; containers shift it while descending.
    CPoint offset;

protected:
    // Takes a device created after construction: records its selections, to be restored by
    // detachDevice, and selects the context's own state into it.
    void attachDevice(platform::Device newDevice);
    void detachDevice();

    platform::Device device = nullptr;
    platform::Window window = nullptr;
    CFrame* frame = nullptr;
    double scale = 1.0;
    CRect clipRect; // layout units, offset included

private:
    static void setRasterMix(platform::Device target, int32_t mode);
    void selectNewPen();
    // Fills device pixels with a colour through a brush of its own (outlines drawn at scale).
    void fillDeviceRect(const CRect& rect, const CColor& color);
    bool pointerNear(const CPoint& anchor);

    int32_t fontSize = -1;
    int32_t fontStyle = 0;
    int32_t fontId = kNumStandardFonts; // no font yet
    // Out-of-range start values make the constructor's setters take effect.
    CColor fontColor{0, 0, 0, 0};
    int32_t lineWidth = 0;
    CColor frameColor{0, 0, 0, 0};
    CColor fillColor{0, 0, 0, 0};
    int32_t lineStyle = -1;
    int32_t drawMode = -1;
    platform::Brush brush = nullptr;
    platform::Pen pen = nullptr;
    platform::Font font = nullptr;
    platform::SelectedObjects saved;
    platform::PenStyle penStyle = platform::PenStyle::solid;
    platform::Device ownedDevice = nullptr;
};

// A draw context on a memory surface of its own.
class COffscreenContext : public CDrawContext
{
public:
    // A surface of width x height painted in background.
    COffscreenContext(CFrame* frame, int32_t width, int32_t height,
                      const CColor& background = kBlackCColor);
    // A surface of the bitmap's size (20 x 20 without one); drawInBitmap draws into the bitmap's
    // own image, otherwise into a copy of it.
    COffscreenContext(CDrawContext* context, CBitmap* bitmap, bool drawInBitmap = false);
    ~COffscreenContext() override;

    // Copies the other context's pixels in sourceRect into this surface at destinationOffset.
    void copyIn(CDrawContext* context, const CRect& sourceRect,
                const CPoint& destinationOffset = CPoint());
    // Copies this surface's pixels from sourceOffset into the other context at destinationRect.
    void copyOut(CDrawContext* context, const CRect& destinationRect,
                 const CPoint& sourceOffset = CPoint());

    // In layout units; the surface has these times the scale in pixels, rounded up.
    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    CColor getBackgroundColor() const { return backgroundColor; }
    platform::Image getImage() const { return image; } // the memory surface's image

private:
    CBitmap* sourceBitmap = nullptr; // counted
    int32_t height = 0;
    int32_t width = 0;
    bool ownsImage = false;
    platform::Image image = nullptr;
    CColor backgroundColor = kBlackCColor;
    platform::Image previousImage = nullptr;
};

} // namespace VSTGUI
