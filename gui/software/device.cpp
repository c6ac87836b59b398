// Software devices: GDI's drawing rules applied to 32-bit memory surfaces.
#include "gui/software/state.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>

namespace VSTGUI
{
namespace platform
{

namespace
{

constexpr double kPi = 3.14159265358979323846;

uint32_t rgbWord(const CColor& c)
{
    return static_cast<uint32_t>(c.red) << 16 | static_cast<uint32_t>(c.green) << 8 | c.blue;
}

// Pen and shape pixels go through the device's raster mix; the alpha byte ends up 0, as GDI
// leaves it.
void mixPixel(DeviceObject& d, int32_t x, int32_t y, uint32_t rgb)
{
    if (!software::visible(d, x, y))
        return;
    uint32_t& p = d.target->at(x, y);
    switch (d.mix)
    {
    case RasterMix::copy:
        p = rgb;
        break;
    case RasterMix::merge:
        p = (p | rgb) & 0xFFFFFF;
        break;
    case RasterMix::notXor:
        p = ~(p ^ rgb) & 0xFFFFFF;
        break;
    }
}

void penPixel(DeviceObject& d, int32_t x, int32_t y)
{
    const PenObject& pen = *d.pen;
    uint32_t rgb = rgbWord(pen.color);
    if (pen.style == PenStyle::dotted && pen.width <= 1)
    {
        const bool on = (d.dashPhase++ / 3) % 2 == 0; // three pixels on, three off
        if (!on)
        {
            if (d.transparentBackground)
                return;
            rgb = rgbWord(d.backgroundColor);
        }
    }
    if (pen.width <= 1)
    {
        mixPixel(d, x, y, rgb);
        return;
    }
    // Wide pens: a square nib centred on the line (GDI draws round joins; close enough here).
    const int32_t from = -(pen.width - 1) / 2;
    for (int32_t dy = from; dy < from + pen.width; ++dy)
        for (int32_t dx = from; dx < from + pen.width; ++dx)
            mixPixel(d, x + dx, y + dy, rgb);
}

// Bresenham from a towards b, leaving out b itself.
void line(DeviceObject& d, CPoint a, CPoint b)
{
    const int32_t dx = std::abs(b.h - a.h);
    const int32_t dy = -std::abs(b.v - a.v);
    const int32_t sx = a.h < b.h ? 1 : -1;
    const int32_t sy = a.v < b.v ? 1 : -1;
    int32_t error = dx + dy;
    while (a != b)
    {
        penPixel(d, a.h, a.v);
        const int32_t e2 = 2 * error;
        if (e2 >= dy)
        {
            error += dy;
            a.h += sx;
        }
        if (e2 <= dx)
        {
            error += dx;
            a.v += sy;
        }
    }
}

void fillSpan(DeviceObject& d, int32_t y, int32_t x0, int32_t x1, uint32_t rgb)
{
    for (int32_t x = x0; x < x1; ++x)
        mixPixel(d, x, y, rgb);
}

// The ellipse inscribed in [l, r] x [t, b], as pixel centres; f(x, y) <= 1 inside.
struct EllipseShape
{
    double cx, cy, rx, ry;
    explicit EllipseShape(const CRect& box)
        : cx((box.left + box.right - 1) / 2.0), cy((box.top + box.bottom - 1) / 2.0),
          rx((box.right - 1 - box.left) / 2.0), ry((box.bottom - 1 - box.top) / 2.0)
    {
    }
    CPoint at(double angle) const
    {
        return CPoint(static_cast<int32_t>(std::lround(cx + rx * std::cos(angle))),
                      static_cast<int32_t>(std::lround(cy - ry * std::sin(angle))));
    }
    double angleOf(const CPoint& p) const { return std::atan2(cy - p.v, p.h - cx); }
};

void strokeEllipseArc(DeviceObject& d, const CRect& box, double from, double sweep)
{
    const EllipseShape e(box);
    const int steps = 8 * static_cast<int>(e.rx + e.ry + 2);
    CPoint last(-1, -1);
    for (int i = 0; i <= steps; ++i)
    {
        const CPoint p = e.at(from + sweep * i / steps);
        if (p != last)
            penPixel(d, p.h, p.v);
        last = p;
    }
}

} // namespace

DeviceState& stateOf(Device device)
{
    return *device;
}

Device getWindowDevice(Window window)
{
    static WindowObject screen{ImageObject(1024, 768), CPoint()};
    Device device = new DeviceObject;
    device->window = window ? window : &screen;
    device->target = &device->window->surface;
    return device;
}

void releaseWindowDevice(Window, Device device)
{
    delete device;
}

CPoint getWindowScreenOrigin(Window window)
{
    return window ? window->screenOrigin : CPoint();
}

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
    device->dashPhase = 0;
}

void lineTo(Device device, const CPoint& point)
{
    line(*device, device->position, point);
    device->position = point;
}

void polyline(Device device, const CPoint* points, int32_t count)
{
    for (int32_t i = 1; i < count; ++i)
        line(*device, points[i - 1], points[i]);
}

void fillRect(Device device, const CRect& rect, Brush brush)
{
    const uint32_t rgb = rgbWord((brush ? brush : device->brush)->color);
    const RasterMix mix = device->mix;
    device->mix = RasterMix::copy;
    for (int32_t y = rect.top; y < rect.bottom; ++y)
        fillSpan(*device, y, rect.left, rect.right, rgb);
    device->mix = mix;
}

// Even-odd fill; a pixel belongs to the polygon when its corner point (x, y) lies inside, with
// left and top edges inside and right and bottom edges outside.
void fillPolygon(Device device, const CPoint* points, int32_t count)
{
    if (count < 3)
        return;
    int32_t top = points[0].v, bottom = points[0].v;
    for (int32_t i = 1; i < count; ++i)
    {
        top = std::min(top, points[i].v);
        bottom = std::max(bottom, points[i].v);
    }
    const uint32_t rgb = rgbWord(device->brush->color);
    std::vector<double> crossings;
    for (int32_t y = top; y < bottom; ++y)
    {
        crossings.clear();
        for (int32_t i = 0; i < count; ++i)
        {
            const CPoint& a = points[i];
            const CPoint& b = points[(i + 1) % count];
            if ((a.v <= y) != (b.v <= y))
                crossings.push_back(a.h + static_cast<double>(y - a.v) * (b.h - a.h) / (b.v - a.v));
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2)
            fillSpan(*device, y, static_cast<int32_t>(std::ceil(crossings[i])),
                     static_cast<int32_t>(std::ceil(crossings[i + 1])), rgb);
    }
}

// Without an outline GDI fills one pixel less to the right and bottom.
void fillEllipse(Device device, const CRect& box)
{
    const EllipseShape e(CRect(box.left, box.top, box.right - 1, box.bottom - 1));
    const uint32_t rgb = rgbWord(device->brush->color);
    for (int32_t y = box.top; y < box.bottom - 1; ++y)
        for (int32_t x = box.left; x < box.right - 1; ++x)
        {
            const double nx = e.rx > 0 ? (x - e.cx) / (e.rx + 0.5) : 0;
            const double ny = e.ry > 0 ? (y - e.cy) / (e.ry + 0.5) : 0;
            if (nx * nx + ny * ny <= 1.0)
                mixPixel(*device, x, y, rgb);
        }
}

void strokeEllipse(Device device, const CRect& box)
{
    strokeEllipseArc(*device, box, 0, 2 * kPi);
}

// Counter-clockwise on the screen from the radial through from to the radial through to.
void strokeArc(Device device, const CRect& box, const CPoint& from, const CPoint& to)
{
    const EllipseShape e(box);
    const double start = e.angleOf(from);
    double sweep = e.angleOf(to) - start;
    if (sweep <= 0)
        sweep += 2 * kPi;
    strokeEllipseArc(*device, box, start, sweep);
}

void setPixel(Device device, const CPoint& point, const CColor& color)
{
    if (software::visible(*device, point.h, point.v))
        device->target->at(point.h, point.v) = rgbWord(color);
}

CColor getPixel(Device device, const CPoint& point)
{
    if (!device->target->contains(point.h, point.v))
        return kWhiteCColor;
    const uint32_t p = device->target->at(point.h, point.v);
    return CColor{static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                  static_cast<uint8_t>(p), 255};
}

void floodFill(Device device, const CPoint& point)
{
    DeviceObject& d = *device;
    if (!software::visible(d, point.h, point.v))
        return;
    const uint32_t area = d.target->at(point.h, point.v) & 0xFFFFFF;
    const uint32_t rgb = rgbWord(d.brush->color);
    if (area == rgb)
        return;
    std::deque<CPoint> pending{point};
    while (!pending.empty())
    {
        const CPoint p = pending.front();
        pending.pop_front();
        if (!software::visible(d, p.h, p.v) || (d.target->at(p.h, p.v) & 0xFFFFFF) != area)
            continue;
        d.target->at(p.h, p.v) = rgb;
        pending.insert(pending.end(), {CPoint(p.h + 1, p.v), CPoint(p.h - 1, p.v),
                                       CPoint(p.h, p.v + 1), CPoint(p.h, p.v - 1)});
    }
}

// Text is recorded, not rasterised: tests read it back through software::drawnTexts.
void drawText(Device device, const char* text, const CRect& rect, TextAlign align)
{
    const FontDescription& font = device->font->description;
    software::state().texts.push_back({text, rect, align, device->textColor,
                                       !device->transparentBackground, device->backgroundColor,
                                       device->font->face, font.height, font.weight});
}

// An estimate without glyph metrics: five ninths of the character height per character, about
// the average advance of a sans-serif face.
int32_t getTextWidth(Device device, const char* text)
{
    const int32_t height = std::abs(device->font->description.height);
    const auto length = static_cast<int32_t>(std::strlen(text));
    return (length * height * 5 + 4) / 9;
}

void copyPixels(Device destination, const CRect& rect, Device source, const CPoint& offset)
{
    software::copyRegion(*destination, rect, *source->target, offset,
                         [](uint32_t, uint32_t s) { return s; });
}

} // namespace platform
} // namespace VSTGUI
