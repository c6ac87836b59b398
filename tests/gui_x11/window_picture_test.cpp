// A picture in memory reaches the window pixel for pixel: sent as it is on a 24-bit true-colour
// visual, converted by cairo on a 32-bit one.
#include <gtest/gtest.h>
// Xlib after GoogleTest: its None macro would rename a GoogleTest type.
#include "gui/x11/window_picture.h"
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>

using VSTGUI::CPoint;
using VSTGUI::CRect;
using VSTGUI::platform::x11::WindowPicture;

namespace
{

constexpr int kWidth = 40;
constexpr int kHeight = 30;

uint32_t patternAt(int x, int y)
{
    return static_cast<uint32_t>(x * 6) << 16 | static_cast<uint32_t>(y * 8) << 8 |
           static_cast<uint32_t>((x * y) & 0xFF);
}

void expectPutExactly(Display* display, const XVisualInfo& visual)
{
    XSetWindowAttributes settings{};
    settings.colormap =
        XCreateColormap(display, DefaultRootWindow(display), visual.visual, AllocNone);
    const ::Window window =
        XCreateWindow(display, DefaultRootWindow(display), 0, 0, kWidth, kHeight, 0, visual.depth,
                      InputOutput, visual.visual, CWColormap | CWBorderPixel, &settings);
    XMapWindow(display, window);
    XSync(display, False);

    // The picture lies at (5, 4) in the window; rows 10 to 19 of the window are put.
    cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 30, 20);
    auto* pixels = cairo_image_surface_get_data(picture);
    const int stride = cairo_image_surface_get_stride(picture);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            reinterpret_cast<uint32_t*>(pixels + y * stride)[x] = patternAt(x, y);
    cairo_surface_mark_dirty(picture);
    {
        WindowPicture screen(display, window, visual.visual, visual.depth, kWidth, kHeight);
        screen.put(picture, CRect(0, 10, kWidth, 20), CPoint(5, 4));
        XSync(display, False);
    }
    cairo_surface_destroy(picture);

    XImage* shown = XGetImage(display, window, 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
    ASSERT_NE(shown, nullptr);
    int wrong = 0;
    for (int y = 10; y < 20; ++y)
        for (int x = 5; x < 35; ++x)
            wrong += (XGetPixel(shown, x, y) & 0xFFFFFF) != patternAt(x - 5, y - 4);
    EXPECT_EQ(wrong, 0);
    XDestroyImage(shown);
    XDestroyWindow(display, window);
    XFreeColormap(display, settings.colormap);
}

TEST(WindowPicture, ReachesTheWindowExactlyThroughEitherPath)
{
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "no X display";
    for (const int depth : {24, 32})
    {
        SCOPED_TRACE(depth);
        XVisualInfo visual{};
        ASSERT_TRUE(XMatchVisualInfo(display, DefaultScreen(display), depth, TrueColor, &visual));
        expectPutExactly(display, visual);
    }
    XCloseDisplay(display);
}

} // namespace
