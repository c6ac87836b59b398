// What the toolkit needs from the platform for drawing, images, pointer state and the clock.
// Implemented on Win32/GDI (gui/win32/), on X11 with cairo (gui/x11/) and on 32-bit memory
// surfaces (gui/software/). Coordinates are device coordinates; rectangles exclude right and
// bottom. Pixel rules are GDI's: a line leaves out its end point, fills cover [left, right) x [top,
// bottom).
#pragma once

#include "gui/vstgui_types.h"

#include <cstddef>
#include <cstdint>

namespace VSTGUI
{
namespace platform
{

// Opaque native handles (HDC, HWND, HBITMAP, HPEN, HBRUSH, HFONT on Win32).
struct DeviceObject;
struct WindowObject;
struct ImageObject;
struct PenObject;
struct BrushObject;
struct FontObject;
using Device = DeviceObject*;
using Window = WindowObject*;
using Image = ImageObject*;
using Pen = PenObject*;
using Brush = BrushObject*;
using Font = FontObject*;

enum class PenStyle
{
    solid,
    dotted
};
// Raster mix of pen and shape drawing: copy, pen OR screen, NOT (pen XOR screen).
enum class RasterMix
{
    copy,
    merge,
    notXor
};
enum class TextAlign
{
    left,
    center,
    right
};

struct FontDescription
{
    const char* face = "";
    int32_t height = 0; // negative: character height in pixels
    int32_t weight = 400;
    bool italic = false;
    bool underline = false;
    bool decorative =
        false; // decorative family, default pitch; otherwise variable-pitch sans serif
};

struct SelectedObjects
{
    Pen pen = nullptr;
    Brush brush = nullptr;
    Font font = nullptr;
};

// Devices. A null window means the whole screen.
Device getWindowDevice(Window window);                  // borrow the window's device
void releaseWindowDevice(Window window, Device device); // give a borrowed device back
CPoint getWindowScreenOrigin(Window window);            // screen position of the client origin
Device createMemoryDevice(Device compatible);           // a memory device (1x1 until selectImage)
void deleteMemoryDevice(Device device);
Image selectImage(Device memoryDevice, Image image); // answers the previously selected image

// Drawing objects: created, selected (answering the previous selection) and deleted.
Pen createPen(PenStyle style, int32_t width, const CColor& color);
Brush createBrush(const CColor& color); // null on failure
Font createFont(const FontDescription& description);
SelectedObjects getSelectedObjects(Device device);
Pen selectPen(Device device, Pen pen);
Brush selectBrush(Device device, Brush brush);
Font selectFont(Device device, Font font);
void deletePen(Pen pen);
void deleteBrush(Brush brush);
void deleteFont(Font font);

// Device state.
void setTextColor(Device device, const CColor& color);
void setBackgroundColor(Device device, const CColor& color); // opaque text cell, mask key
void setTransparentTextBackground(Device device, bool transparent);
void setRasterMix(Device device, RasterMix mix);
void setClipRect(Device device, const CRect& rect);

// Primitives with the selected pen and brush.
void moveTo(Device device, const CPoint& point);
void lineTo(Device device, const CPoint& point);                   // end point not painted
void polyline(Device device, const CPoint* points, int32_t count); // connected, last excluded
void fillRect(Device device, const CRect& rect, Brush brush);      // no raster mix; null: selected
void fillPolygon(Device device, const CPoint* points, int32_t count); // interior, no outline
void fillEllipse(Device device, const CRect& box);                    // interior, no outline
void strokeEllipse(Device device, const CRect& box);                  // outline only
void strokeArc(Device device, const CRect& box, const CPoint& from, const CPoint& to);
void setPixel(Device device, const CPoint& point, const CColor& color);
CColor getPixel(Device device, const CPoint& point); // alpha 255
void floodFill(Device device, const CPoint& point);  // brush over the area of the point's colour
// One line, vertically centred, no prefix characters; text colour and background of the device.
void drawText(Device device, const char* text, const CRect& rect, TextAlign align);
int32_t getTextWidth(Device device, const char* text);

// Block copies between devices (the copy replaces the destination).
void copyPixels(Device destination, const CRect& rect, Device source, const CPoint& sourceOffset);

// Images. A 32-bit image stores blue, green, red, alpha per pixel, its first memory row being the
// bottom row of the picture; pixels, when asked for, are written before the image is drawn.
Image createImage32(int32_t width, int32_t height, uint8_t** pixels); // null on failure
// Where the picture's rows of a createImage32 image made without the pixels pointer lie: the top
// row, and the distance in bytes from a row to the one below it. Rows may be written at any time
// (a picture decoded as its parts are needed) as long as no drawing of the image reads them;
// imageRowsWritten then hands rows [top, bottom) to the platform before they are drawn.
uint8_t* imageRows(Image image, std::ptrdiff_t& rowStep);
void imageRowsWritten(Image image, int32_t top, int32_t bottom);
Image createCompatibleImage(Device device, int32_t width, int32_t height);
Image loadBitmapResource(int32_t id); // a plain bitmap resource of the module, or null
bool getImageSize(Image image, int32_t& width, int32_t& height);
void deleteImage(Image image);
// Copies the 32-bit words of area (0xAARRGGBB, top row first) out of a 32-bit image; false when
// the image cannot be read or area does not lie inside it.
bool readImagePixels(Image image, const CRect& area, uint32_t* words);
// The bytes of the module's resource of type "PNG" with this id; false when there is none.
bool findPngResource(int32_t id, const uint8_t*& data, std::size_t& size);

// Image drawing: the image's pixels from offset onwards into rect.
void copyImage(Device device, const CRect& rect, Image image, const CPoint& offset);
// Where the one-bit mask is 1 the destination survives, where it is 0 the image replaces it.
void copyImageMasked(Device device, const CRect& rect, Image image, Image mask,
                     const CPoint& offset);
// A one-bit image, 1 where the source pixel equals key (red, green and blue compared).
Image createMask(Device source, const CPoint& offset, int32_t width, int32_t height,
                 const CColor& key);
Image createImageMask(Image source, const CColor& key);
// Leaves out the pixels equal to key; false when the platform cannot do it.
bool transparentBlit(Device device, const CRect& rect, Image image, const CPoint& offset,
                     const CColor& key);
// Source over destination with a constant alpha; perPixelAlpha takes the image as premultiplied.
void alphaBlend(Device device, const CRect& rect, Image image, const CPoint& offset, uint8_t alpha,
                bool perPixelAlpha);

// The native blend services, shared by the process; counted: the last close forgets them.
void openBlendLibrary();
void closeBlendLibrary();

// Pointer, keys and clock.
int32_t getPhysicalMouseButtons(); // kLButton.. of the physical buttons with kShift, kControl, kAlt
bool areMouseButtonsSwapped();     // the system setting that swaps left and right
CPoint getPointerScreenPosition();
bool takeLeftButtonDown(); // removes a waiting left-button press from the queue
uint32_t getTickCount();   // milliseconds
uint32_t getMessageTime(); // time stamp of the message being handled
uint32_t getDoubleClickTime();
void sleep(uint32_t milliseconds);

// Diagnostics: how many pens, brushes and fonts this process has created.
struct CreatedObjects
{
    uint32_t pens = 0;
    uint32_t brushes = 0;
    uint32_t fonts = 0;
};
CreatedObjects createdObjects();

} // namespace platform
} // namespace VSTGUI
