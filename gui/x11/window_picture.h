// How a picture in memory reaches a window: XPutImage where the window's visual holds 8-bit red,
// green and blue in a 24-bit pixel (the usual true-colour visual), cairo's xlib backend on any
// other. The request carries the pixels; nothing of it stays with the display afterwards.
#pragma once

#include "gui/vstgui_types.h"

#include <X11/Xlib.h>
#include <cairo.h>

namespace VSTGUI
{
namespace platform
{
namespace x11
{

class WindowPicture
{
public:
    WindowPicture(Display* display, ::Window xid, Visual* visual, int depth, int width, int height);
    ~WindowPicture();
    WindowPicture(const WindowPicture&) = delete;
    WindowPicture& operator=(const WindowPicture&) = delete;

    void setSize(int width, int height);
    // Copies rect of the window from picture, an RGB24 image surface whose pixel (0, 0) lies at
    // origin in the window; the caller flushes the display.
    void put(cairo_surface_t* picture, const CRect& rect, const CPoint& origin);

private:
    Display* display;
    ::Window xid;
    GC gc = nullptr;                      // set when the pixels go as they are
    cairo_surface_t* converted = nullptr; // otherwise: cairo converts them for the visual
};

} // namespace x11
} // namespace platform
} // namespace VSTGUI
