// The objects behind the X11 platform's handles: cairo image surfaces for every picture and
// device, and the frame's child window that shows its surface.
#pragma once

#include "gui/platform/device_state.h"
#include "gui/platform/drag_payload.h"
#include "gui/x11/connection.h"
#include "gui/x11/window_picture.h"

#include <X11/Xlib.h>
#include <cairo.h>

namespace VSTGUI
{

class CFrame;

namespace platform
{

// A cairo image surface: ARGB32 for 32-bit images, RGB24 for device-compatible pictures, A8
// (0 or 255) for one-bit masks.
struct ImageObject
{
    cairo_surface_t* surface = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    // createImage32 hands out rows bottom-up; the first use turns them over for cairo.
    bool bottomUp = false;

    ImageObject(int32_t w, int32_t h, cairo_format_t format);
    ~ImageObject();
    ImageObject(const ImageObject&) = delete;
    ImageObject& operator=(const ImageObject&) = delete;

    bool valid() const { return cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS; }
    bool contains(int32_t x, int32_t y) const
    {
        return x >= 0 && y >= 0 && x < width && y < height;
    }
    // Pixel access: begin before reading or writing words, end after writing them.
    void beginPixels();
    void endPixels() { cairo_surface_mark_dirty(surface); }
    uint32_t& at(int32_t x, int32_t y)
    {
        return reinterpret_cast<uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride)[x];
    }
    uint8_t* row(int32_t y) { return data + static_cast<std::ptrdiff_t>(y) * stride; }
    std::ptrdiff_t rowBytes() const { return stride; }
    uint8_t& maskAt(int32_t x, int32_t y)
    {
        return data[static_cast<std::ptrdiff_t>(y) * stride + x];
    }

private:
    uint8_t* data = nullptr; // the surface's pixels, fixed for its life
    std::ptrdiff_t stride = 0;
};

struct EditBoxObject;

// The frame's child window; its picture lives in `shown` and reaches the screen on present.
struct WindowObject
{
    x11::Connection* connection = nullptr; // retained for the window's life
    ::Window xid = 0;
    ::Window parent = 0; // the host's window
    CFrame* frame = nullptr;
    ImageObject* shown = nullptr;
    x11::WindowPicture* screen = nullptr; // how the picture reaches the window
    CRect exposed;                        // collected from a run of Expose events
    EditBoxObject* editBox = nullptr;     // drawn over the picture while open
    bool alive = true;                    // false once the server destroyed the window
    bool dropTarget = false;              // announces XDND and takes drops
};

struct DeviceObject : DeviceState
{
    ImageObject defaultImage{1, 1, CAIRO_FORMAT_RGB24}; // what a fresh memory device draws into
    ImageObject* target = &defaultImage;
    WindowObject* window = nullptr; // set for a window's device
    CRect damage;                   // window devices: what changed since the device was borrowed

    DeviceObject() = default;
    DeviceObject(const DeviceObject&) = delete;
    DeviceObject& operator=(const DeviceObject&) = delete;
};

namespace x11
{

// A cairo context on the device's picture with its clip; every pixel rule is GDI's, so there is
// no antialiasing.
cairo_t* createContext(DeviceObject& device);
// Records that rect of a window device's picture changed.
void touch(DeviceObject& device, const CRect& rect);
CRect united(const CRect& a, const CRect& b); // the smallest rectangle holding both
// The part of rect inside the device's picture and clip.
CRect visibleRect(const DeviceObject& device, const CRect& rect);
void setSourceColor(cairo_t* cr, const CColor& color);

// Copies rect of the window's picture, and the open edit box over it, onto the screen.
void present(WindowObject& window, const CRect& rect);

// Text in the font's face, size and weight, with cairo's toy font interface (fontconfig).
void selectFont(cairo_t* cr, const FontDescription& font);
// The text's advance width in whole pixels.
int32_t textWidth(cairo_t* cr, const char* text);
// Draws one line of text in rect; answers the cell (left edge, top, width, height) it used.
CRect showText(cairo_t* cr, const char* text, const CRect& rect, TextAlign align);

// kLButton.. and the modifier bits of an event's or the pointer's state.
int32_t buttonsOf(unsigned state);
KeyCode keyCodeOf(XKeyEvent& event);

// The drop under way over one of the windows.
struct Drag
{
    WindowObject* window = nullptr;
    ::Window source = 0;
    Atom type = None; // the offered type that is read, None when nothing is wanted
    bool requested = false;
    bool entered = false; // the data arrived and the views heard of the drag
    bool dropPending = false;
    DragPayload payload;
};

// XDND client messages and the selection data of a drop onto a window.
void dropEvent(Connection& connection, WindowObject& window, XEvent& event);
void forgetDrag(WindowObject& window); // the window is going away

// The open edit box of a window: drawn over its picture, fed its keys and its focus loss.
void drawEditBox(cairo_t* cr, EditBoxObject& box);
void editBoxKey(EditBoxObject& box, XKeyEvent& event);
void editBoxFocusLost(EditBoxObject& box);

} // namespace x11
} // namespace platform
} // namespace VSTGUI
