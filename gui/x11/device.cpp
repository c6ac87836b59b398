// Devices on X11: cairo contexts on image surfaces, without antialiasing and with GDI's pixel
// rules. The raster mixes that cairo has no operator for are applied through a coverage mask.
#include "gui/x11/x11.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace VSTGUI
{
namespace platform
{

namespace
{

uint32_t rgbWord(const CColor& c)
{
    return static_cast<uint32_t>(c.red) << 16 | static_cast<uint32_t>(c.green) << 8 | c.blue;
}

CRect grown(const CRect& r, int32_t by)
{
    return CRect(r.left - by, r.top - by, r.right + by, r.bottom + by);
}

bool inside(const CRect& r, const CPoint& p)
{
    return p.h >= r.left && p.h < r.right && p.v >= r.top && p.v < r.bottom;
}

CRect boundsOf(const CPoint* points, int32_t count, int32_t margin)
{
    CRect r(points[0].h, points[0].v, points[0].h + 1, points[0].v + 1);
    for (int32_t i = 1; i < count; ++i)
    {
        r.left = std::min(r.left, points[i].h);
        r.top = std::min(r.top, points[i].v);
        r.right = std::max(r.right, points[i].h + 1);
        r.bottom = std::max(r.bottom, points[i].v + 1);
    }
    return grown(r, margin);
}

// Paints what shape draws (it sets no colour) in colour, through the device's raster mix, and
// records rect as changed. Copy draws straight; the other mixes combine the covered pixels.
template <typename Shape>
void paint(DeviceObject& d, const CColor& colour, const CRect& rect, Shape shape)
{
    if (d.mix == RasterMix::copy)
    {
        cairo_t* cr = x11::createContext(d);
        x11::setSourceColor(cr, colour);
        shape(cr);
        cairo_destroy(cr);
        x11::touch(d, rect);
        return;
    }
    const CRect area = x11::visibleRect(d, rect);
    if (area.isEmpty())
        return;
    ImageObject coverage(area.width(), area.height(), CAIRO_FORMAT_A8);
    cairo_t* cr = cairo_create(coverage.surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_translate(cr, -area.left, -area.top);
    cairo_set_source_rgb(cr, 1, 1, 1);
    shape(cr);
    cairo_destroy(cr);
    coverage.beginPixels();
    d.target->beginPixels();
    const uint32_t rgb = rgbWord(colour);
    for (int32_t y = area.top; y < area.bottom; ++y)
        for (int32_t x = area.left; x < area.right; ++x)
        {
            if (coverage.maskAt(x - area.left, y - area.top) == 0)
                continue;
            uint32_t& p = d.target->at(x, y);
            const uint32_t mixed = d.mix == RasterMix::merge ? (p | rgb) : ~(p ^ rgb);
            p = 0xFF000000u | (mixed & 0xFFFFFF);
        }
    d.target->endPixels();
    x11::touch(d, area);
}

// The pen's stroke of the current path; a dotted one-pixel pen shows three pixels on, three off,
// its gaps in the background colour unless the background is transparent.
void strokeWithPen(DeviceObject& d, cairo_t* cr, bool gaps)
{
    const PenObject& pen = *d.pen;
    cairo_set_line_width(cr, pen.width);
    cairo_set_line_cap(cr, pen.width > 1 ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, pen.width > 1 ? CAIRO_LINE_JOIN_ROUND : CAIRO_LINE_JOIN_MITER);
    if (pen.style == PenStyle::dotted && pen.width <= 1)
    {
        if (gaps)
        {
            x11::setSourceColor(cr, d.backgroundColor);
            cairo_stroke_preserve(cr);
            x11::setSourceColor(cr, pen.color);
        }
        const double dashes[] = {3.0, 3.0};
        cairo_set_dash(cr, dashes, 2, 0);
    }
    cairo_stroke(cr);
}

// A one-pixel GDI line covers the pixels from a up to, not including, b: the stroke runs between
// the pixel centres, moved back by half a step.
void addLine(cairo_t* cr, const CPoint& a, const CPoint& b)
{
    const double dx = b.h - a.h;
    const double dy = b.v - a.v;
    const double steps = std::max(std::fabs(dx), std::fabs(dy));
    if (steps == 0)
        return;
    const double bx = dx / steps * 0.5;
    const double by = dy / steps * 0.5;
    cairo_move_to(cr, a.h + 0.5 - bx, a.v + 0.5 - by);
    cairo_line_to(cr, b.h + 0.5 - bx, b.v + 0.5 - by);
}

void strokeLines(DeviceObject& d, const CPoint* points, int32_t count)
{
    if (count < 2)
        return;
    const CColor colour = d.pen->color;
    const bool gaps = !d.transparentBackground;
    paint(d, colour, boundsOf(points, count, d.pen->width),
          [&](cairo_t* cr)
          {
              if (d.pen->width > 1)
              {
                  cairo_move_to(cr, points[0].h + 0.5, points[0].v + 0.5);
                  for (int32_t i = 1; i < count; ++i)
                      cairo_line_to(cr, points[i].h + 0.5, points[i].v + 0.5);
              }
              else
              {
                  for (int32_t i = 1; i < count; ++i)
                      addLine(cr, points[i - 1], points[i]);
              }
              strokeWithPen(d, cr, gaps);
          });
}

// Pixel centres of the ellipse inscribed in box, as cairo coordinates.
struct Ellipse
{
    double cx, cy, rx, ry;
    explicit Ellipse(const CRect& box)
        : cx((box.left + box.right) / 2.0), cy((box.top + box.bottom) / 2.0),
          rx((box.right - 1 - box.left) / 2.0), ry((box.bottom - 1 - box.top) / 2.0)
    {
    }
    // Angle of the radial through a pixel, in cairo's clockwise sense.
    double angleOf(const CPoint& p) const
    {
        return std::atan2((p.v + 0.5 - cy) / std::max(ry, 0.5),
                          (p.h + 0.5 - cx) / std::max(rx, 0.5));
    }
    void addArc(cairo_t* cr, double from, double to, bool negative) const
    {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, std::max(rx, 0.5), std::max(ry, 0.5));
        cairo_new_sub_path(cr);
        if (negative)
            cairo_arc_negative(cr, 0, 0, 1, from, to);
        else
            cairo_arc(cr, 0, 0, 1, from, to);
        cairo_restore(cr);
    }
};

} // namespace

DeviceState& stateOf(Device device)
{
    return *device;
}

namespace x11
{

cairo_t* createContext(DeviceObject& device)
{
    device.target->beginPixels();
    cairo_t* cr = cairo_create(device.target->surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    if (device.clipped)
    {
        cairo_rectangle(cr, device.clip.left, device.clip.top, device.clip.width(),
                        device.clip.height());
        cairo_clip(cr);
    }
    return cr;
}

void touch(DeviceObject& device, const CRect& rect)
{
    if (!device.window)
        return;
    const CRect r = visibleRect(device, rect);
    if (r.isEmpty())
        return;
    device.damage = united(device.damage, r);
}

CRect united(const CRect& a, const CRect& b)
{
    if (a.isEmpty())
        return b;
    if (b.isEmpty())
        return a;
    return CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                 std::max(a.bottom, b.bottom));
}

CRect visibleRect(const DeviceObject& device, const CRect& rect)
{
    CRect r = rect;
    r.intersect(CRect(0, 0, device.target->width, device.target->height));
    if (device.clipped)
        r.intersect(device.clip);
    return r;
}

void setSourceColor(cairo_t* cr, const CColor& color)
{
    cairo_set_source_rgb(cr, color.red / 255.0, color.green / 255.0, color.blue / 255.0);
}

} // namespace x11

Device createMemoryDevice(Device)
{
    return new DeviceObject;
}

void deleteMemoryDevice(Device device)
{
    delete device;
}

Image selectImage(Device device, Image image)
{
    Image previous = device->target;
    device->target = image ? image : &device->defaultImage;
    return previous == &device->defaultImage ? nullptr : previous;
}

void moveTo(Device device, const CPoint& point)
{
    device->position = point;
}

void lineTo(Device device, const CPoint& point)
{
    const CPoint points[] = {device->position, point};
    strokeLines(*device, points, 2);
    device->position = point;
}

void polyline(Device device, const CPoint* points, int32_t count)
{
    strokeLines(*device, points, count);
}

void fillRect(Device device, const CRect& rect, Brush brush)
{
    cairo_t* cr = x11::createContext(*device);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    x11::setSourceColor(cr, (brush ? brush : device->brush)->color);
    cairo_rectangle(cr, rect.left, rect.top, rect.width(), rect.height());
    cairo_fill(cr);
    cairo_destroy(cr);
    x11::touch(*device, rect);
}

// Even-odd; a pixel belongs to the polygon when its corner point lies inside, so the path is
// moved by half a pixel onto the centres cairo samples.
void fillPolygon(Device device, const CPoint* points, int32_t count)
{
    if (count < 3)
        return;
    paint(*device, device->brush->color, boundsOf(points, count, 0),
          [&](cairo_t* cr)
          {
              cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
              for (int32_t i = 0; i < count; ++i)
                  cairo_line_to(cr, points[i].h + 0.5, points[i].v + 0.5);
              cairo_close_path(cr);
              cairo_fill(cr);
          });
}

// Without an outline GDI fills one pixel less to the right and bottom.
void fillEllipse(Device device, const CRect& box)
{
    const CRect inner(box.left, box.top, box.right - 1, box.bottom - 1);
    paint(*device, device->brush->color, inner,
          [&](cairo_t* cr)
          {
              const Ellipse e(inner);
              cairo_save(cr);
              cairo_translate(cr, e.cx, e.cy);
              cairo_scale(cr, std::max(inner.width() / 2.0, 0.5),
                          std::max(inner.height() / 2.0, 0.5));
              cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
              cairo_restore(cr);
              cairo_fill(cr);
          });
}

void strokeEllipse(Device device, const CRect& box)
{
    const bool gaps = !device->transparentBackground;
    paint(*device, device->pen->color, grown(box, device->pen->width),
          [&](cairo_t* cr)
          {
              Ellipse(box).addArc(cr, 0, 2 * M_PI, false);
              strokeWithPen(*device, cr, gaps);
          });
}

// Counter-clockwise on the screen from the radial through from to the radial through to.
void strokeArc(Device device, const CRect& box, const CPoint& from, const CPoint& to)
{
    const bool gaps = !device->transparentBackground;
    paint(*device, device->pen->color, grown(box, device->pen->width),
          [&](cairo_t* cr)
          {
              const Ellipse e(box);
              const double start = e.angleOf(from);
              double end = e.angleOf(to);
              if (end >= start)
                  end -= 2 * M_PI;
              e.addArc(cr, start, end, true);
              strokeWithPen(*device, cr, gaps);
          });
}

void setPixel(Device device, const CPoint& point, const CColor& color)
{
    const CRect pixel(point.h, point.v, point.h + 1, point.v + 1);
    if (x11::visibleRect(*device, pixel).isEmpty())
        return;
    device->target->beginPixels();
    device->target->at(point.h, point.v) = 0xFF000000u | rgbWord(color);
    device->target->endPixels();
    x11::touch(*device, pixel);
}

CColor getPixel(Device device, const CPoint& point)
{
    if (!device->target->contains(point.h, point.v))
        return kWhiteCColor;
    device->target->beginPixels();
    const uint32_t p = device->target->at(point.h, point.v);
    return CColor{static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                  static_cast<uint8_t>(p), 255};
}

void floodFill(Device device, const CPoint& point)
{
    DeviceObject& d = *device;
    const CRect area = x11::visibleRect(d, CRect(0, 0, d.target->width, d.target->height));
    if (!inside(area, point))
        return;
    d.target->beginPixels();
    const uint32_t old = d.target->at(point.h, point.v) & 0xFFFFFF;
    const uint32_t rgb = rgbWord(d.brush->color);
    if (old == rgb)
        return;
    std::deque<CPoint> pending{point};
    while (!pending.empty())
    {
        const CPoint p = pending.front();
        pending.pop_front();
        if (!inside(area, p) || (d.target->at(p.h, p.v) & 0xFFFFFF) != old)
            continue;
        d.target->at(p.h, p.v) = 0xFF000000u | rgb;
        pending.insert(pending.end(), {CPoint(p.h + 1, p.v), CPoint(p.h - 1, p.v),
                                       CPoint(p.h, p.v + 1), CPoint(p.h, p.v - 1)});
    }
    d.target->endPixels();
    x11::touch(d, area);
}

void copyPixels(Device destination, const CRect& rect, Device source, const CPoint& offset)
{
    source->target->beginPixels();
    cairo_t* cr = x11::createContext(*destination);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, source->target->surface, rect.left - offset.h,
                             rect.top - offset.v);
    cairo_rectangle(cr, rect.left, rect.top, rect.width(), rect.height());
    cairo_fill(cr);
    cairo_destroy(cr);
    x11::touch(*destination, rect);
}

} // namespace platform
} // namespace VSTGUI
