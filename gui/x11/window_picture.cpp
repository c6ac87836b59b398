#include "gui/x11/window_picture.h"

#include <X11/Xutil.h>
#include <cairo-xlib.h>

namespace VSTGUI
{
namespace platform
{
namespace x11
{

namespace
{

// RGB24 words, 0x00RRGGBB in the machine's byte order, are this visual's pixels.
bool takesRgbWords(Visual* visual, int depth)
{
    return visual && depth == 24 && visual->red_mask == 0xFF0000 &&
           visual->green_mask == 0x00FF00 && visual->blue_mask == 0x0000FF;
}

} // namespace

WindowPicture::WindowPicture(Display* server, ::Window window, Visual* visual, int depth, int width,
                             int height)
    : display(server), xid(window)
{
    if (takesRgbWords(visual, depth))
        gc = XCreateGC(display, xid, 0, nullptr);
    else
        converted = cairo_xlib_surface_create(display, xid, visual, width, height);
}

WindowPicture::~WindowPicture()
{
    if (gc)
        XFreeGC(display, gc);
    if (converted)
        cairo_surface_destroy(converted);
}

void WindowPicture::setSize(int width, int height)
{
    if (converted)
        cairo_xlib_surface_set_size(converted, width, height);
}

void WindowPicture::put(cairo_surface_t* picture, const CRect& rect, const CPoint& origin)
{
    if (rect.isEmpty())
        return;
    cairo_surface_flush(picture);
    if (converted)
    {
        cairo_t* cr = cairo_create(converted);
        cairo_rectangle(cr, rect.left, rect.top, rect.width(), rect.height());
        cairo_clip(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr, picture, origin.h, origin.v);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(converted);
        return;
    }
    XImage image{};
    image.width = cairo_image_surface_get_width(picture);
    image.height = cairo_image_surface_get_height(picture);
    image.format = ZPixmap;
    image.data = reinterpret_cast<char*>(cairo_image_surface_get_data(picture));
    image.byte_order = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? LSBFirst : MSBFirst;
    image.bitmap_unit = 32;
    image.bitmap_bit_order = image.byte_order;
    image.bitmap_pad = 32;
    image.depth = 24;
    image.bytes_per_line = cairo_image_surface_get_stride(picture);
    image.bits_per_pixel = 32;
    image.red_mask = 0xFF0000;
    image.green_mask = 0x00FF00;
    image.blue_mask = 0x0000FF;
    if (!image.data || !XInitImage(&image))
        return;
    // Only what the picture has.
    CRect area = rect;
    area.intersect(CRect(origin, image.width, image.height));
    if (area.isEmpty())
        return;
    XPutImage(display, xid, gc, &image, area.left - origin.h, area.top - origin.v, area.left,
              area.top, static_cast<unsigned>(area.width()), static_cast<unsigned>(area.height()));
}

} // namespace x11
} // namespace platform
} // namespace VSTGUI
