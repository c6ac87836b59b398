#include "skin/canvas.h"

#include "skin/font.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace skin
{

namespace
{

// Curves are flattened to within this many pixels.
constexpr double kTolerance = 0.1;

// a * b / 255, rounded, as 8-bit compositing does it.
inline uint32_t mul8(uint32_t a, uint32_t b)
{
    const uint32_t t = a * b + 0x80;
    return (t + (t >> 8)) >> 8;
}

// Every channel times by / 255, rounded as mul8 does, two channels per multiplication.
inline uint32_t scaleWord(uint32_t word, uint32_t by)
{
    uint32_t even = (word & 0x00FF00FFu) * by + 0x00800080u;
    even = ((even + (even >> 8 & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    uint32_t odd = (word >> 8 & 0x00FF00FFu) * by + 0x00800080u;
    odd = (odd + (odd >> 8 & 0x00FF00FFu)) & 0xFF00FF00u;
    return even | odd;
}

// Source over destination, both premultiplied.
inline uint32_t over(uint32_t source, uint32_t destination)
{
    const uint32_t keep = 255 - (source >> 24);
    const uint32_t kept = scaleWord(destination, keep);
    // Premultiplied channels never exceed alpha, so the sums stay within a byte.
    return source + kept;
}

inline uint32_t toByte(double v)
{
    return static_cast<uint32_t>(std::clamp(v, 0.0, 1.0) * 255.0 + 0.5);
}

inline uint32_t premultiplied(double r, double g, double b, double a)
{
    return toByte(a) << 24 | toByte(r * a) << 16 | toByte(g * a) << 8 | toByte(b * a);
}

double signedArea(const Polygon& polygon)
{
    double area = 0.0;
    for (std::size_t i = 0; i < polygon.size(); ++i)
    {
        const Point& a = polygon[i];
        const Point& b = polygon[(i + 1) % polygon.size()];
        area += a.x * b.y - b.x * a.y;
    }
    return area;
}

// Pieces of a stroke all turn the same way, so that where they overlap the winding adds up
// instead of cancelling.
void addOriented(Polygons& polygons, Polygon polygon)
{
    if (signedArea(polygon) < 0.0)
        std::reverse(polygon.begin(), polygon.end());
    polygons.push_back(std::move(polygon));
}

int segmentsFor(double radius, double angle)
{
    if (radius <= kTolerance)
        return std::max(1, static_cast<int>(std::ceil(std::fabs(angle) / (kPi / 2))));
    const double step = 2.0 * std::acos(1.0 - kTolerance / radius);
    return std::max(1, static_cast<int>(std::ceil(std::fabs(angle) / step)));
}

Polygon circle(Point c, double radius)
{
    const int n = std::max(8, segmentsFor(radius, 2 * kPi));
    Polygon polygon(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
    {
        const double a = 2 * kPi * i / n;
        polygon[static_cast<std::size_t>(i)] = {c.x + radius * std::cos(a),
                                                c.y + radius * std::sin(a)};
    }
    return polygon;
}

Point unit(Point from, Point to)
{
    const double dx = to.x - from.x, dy = to.y - from.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    return {dx / length, dy / length};
}

} // namespace

Rgb mix(Rgb a, Rgb b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Gradient Gradient::linear(double x0, double y0, double x1, double y1)
{
    Gradient g;
    g.x0 = x0;
    g.y0 = y0;
    g.x1 = x1;
    g.y1 = y1;
    return g;
}

Gradient Gradient::radialBetween(double x0, double y0, double r0, double x1, double y1, double r1)
{
    Gradient g = linear(x0, y0, x1, y1);
    g.radial = true;
    g.r0 = r0;
    g.r1 = r1;
    return g;
}

void Gradient::add(double offset, Rgb c, double alpha)
{
    stops.push_back({offset, c.r, c.g, c.b, alpha});
}

struct Canvas::Source
{
    enum class Kind
    {
        Solid,
        Gradient,
        Image
    } kind = Kind::Solid;
    uint32_t solid = 0xFF000000u;
    Gradient gradient; // in target pixels
    const Image* image = nullptr;
    int imageX = 0, imageY = 0; // target pixel of the image's top left

    // A linear gradient that changes only from row to row.
    bool vertical() const { return !gradient.radial && gradient.x0 == gradient.x1; }

    // Colours are interpolated straight and premultiplied after, at the pixel's centre.
    uint32_t gradientAt(double x, double y) const
    {
        const Gradient& g = gradient;
        double t = 0.0;
        if (!g.radial)
        {
            const double dx = g.x1 - g.x0, dy = g.y1 - g.y0;
            const double length2 = dx * dx + dy * dy;
            t = length2 > 0 ? ((x - g.x0) * dx + (y - g.y0) * dy) / length2 : 0.0;
        }
        else
        {
            // The largest t whose circle, of radius not below zero, passes through the point.
            const double cdx = g.x1 - g.x0, cdy = g.y1 - g.y0, dr = g.r1 - g.r0;
            const double pdx = x - g.x0, pdy = y - g.y0;
            const double a = cdx * cdx + cdy * cdy - dr * dr;
            const double b = pdx * cdx + pdy * cdy + g.r0 * dr;
            const double c = pdx * pdx + pdy * pdy - g.r0 * g.r0;
            if (std::fabs(a) < 1e-12)
            {
                if (b == 0.0)
                    return 0;
                t = c / (2 * b);
                if (g.r0 + t * dr < 0)
                    return 0;
            }
            else
            {
                const double discriminant = b * b - a * c;
                if (discriminant < 0)
                    return 0;
                const double root = std::sqrt(discriminant);
                t = (b + root) / a;
                if (g.r0 + t * dr < 0)
                    t = (b - root) / a;
                if (g.r0 + t * dr < 0)
                    return 0;
            }
        }
        const std::vector<Gradient::Stop>& stops = g.stops;
        if (stops.empty())
            return 0;
        t = std::clamp(t, 0.0, 1.0);
        if (t <= stops.front().offset)
            return premultiplied(stops.front().r, stops.front().g, stops.front().b,
                                 stops.front().a);
        for (std::size_t i = 1; i < stops.size(); ++i)
        {
            const Gradient::Stop& l = stops[i - 1];
            const Gradient::Stop& r = stops[i];
            if (t <= r.offset)
            {
                const double span = r.offset - l.offset;
                const double f = span > 0 ? (t - l.offset) / span : 1.0;
                return premultiplied(l.r + (r.r - l.r) * f, l.g + (r.g - l.g) * f,
                                     l.b + (r.b - l.b) * f, l.a + (r.a - l.a) * f);
            }
        }
        return premultiplied(stops.back().r, stops.back().g, stops.back().b, stops.back().a);
    }

    uint32_t at(int x, int y) const
    {
        switch (kind)
        {
        case Kind::Solid:
            return solid;
        case Kind::Gradient:
            return gradientAt(x + 0.5, y + 0.5);
        case Kind::Image:
        {
            const int ix = x - imageX, iy = y - imageY;
            if (ix < 0 || iy < 0 || ix >= image->width() || iy >= image->height())
                return 0;
            return image->at(ix, iy);
        }
        }
        return 0;
    }
};

struct Canvas::State
{
    double tx = 0.0, ty = 0.0; // target pixels of the user origin
    Source source;
    double lineWidth = 2.0;
    LineCap cap = LineCap::Butt;
    LineJoin join = LineJoin::Miter;
    std::shared_ptr<const std::vector<uint8_t>> clip; // coverage per target pixel; null: all
    Font font = Font::Regular;
    double fontSize = 10.0;
};

Canvas::Canvas(const Pixels& target, double scale, int originX, int originY)
    : target_(target), scale_(scale), originX_(originX), originY_(originY),
      state_(std::make_unique<State>())
{
    state_->tx = -originX;
    state_->ty = -originY;
}

Canvas::~Canvas() = default;

void Canvas::save()
{
    saved_.push_back(*state_);
}

void Canvas::restore()
{
    if (saved_.empty())
        return;
    *state_ = std::move(saved_.back());
    saved_.pop_back();
}

void Canvas::translate(double dx, double dy)
{
    state_->tx += dx * scale_;
    state_->ty += dy * scale_;
}

Point Canvas::device(double x, double y) const
{
    return {x * scale_ + state_->tx, y * scale_ + state_->ty};
}

Point Canvas::toPicture(double x, double y) const
{
    const Point p = device(x, y);
    return {p.x + originX_, p.y + originY_};
}

void Canvas::newPath()
{
    path_.clear();
    hasCurrent_ = false;
}

void Canvas::newSubPath()
{
    hasCurrent_ = false;
}

void Canvas::addPoint(Point p, bool corner)
{
    if (!hasCurrent_)
    {
        path_.push_back({});
        hasCurrent_ = true;
    }
    else if (path_.back().closed)
    {
        // Drawing on after a close starts again from the closed path's first point.
        const PathPoint start = path_.back().points.front();
        path_.push_back({});
        path_.back().points.push_back(start);
    }
    path_.back().points.push_back({p, corner});
}

void Canvas::moveTo(double x, double y)
{
    hasCurrent_ = false;
    addPoint(device(x, y), true);
}

void Canvas::lineTo(double x, double y)
{
    addPoint(device(x, y), true);
}

void Canvas::arc(double cx, double cy, double radius, double angle1, double angle2)
{
    while (angle2 < angle1)
        angle2 += 2 * kPi;
    const Point c = device(cx, cy);
    const double r = radius * scale_;
    const int n = segmentsFor(r, angle2 - angle1);
    for (int i = 0; i <= n; ++i)
    {
        const double a = angle1 + (angle2 - angle1) * i / n;
        addPoint({c.x + r * std::cos(a), c.y + r * std::sin(a)}, i == 0 || i == n);
    }
}

void Canvas::closePath()
{
    if (hasCurrent_ && !path_.empty())
        path_.back().closed = true;
}

void Canvas::rectangle(double x, double y, double w, double h)
{
    moveTo(x, y);
    lineTo(x + w, y);
    lineTo(x + w, y + h);
    lineTo(x, y + h);
    closePath();
}

void Canvas::roundedRect(double x, double y, double w, double h, double radius)
{
    newSubPath();
    arc(x + w - radius, y + radius, radius, -kPi / 2, 0);
    arc(x + w - radius, y + h - radius, radius, 0, kPi / 2);
    arc(x + radius, y + h - radius, radius, kPi / 2, kPi);
    arc(x + radius, y + radius, radius, kPi, 3 * kPi / 2);
    closePath();
}

void Canvas::setSource(Rgb c, double alpha)
{
    state_->source = Source{};
    state_->source.solid = premultiplied(c.r, c.g, c.b, alpha);
}

void Canvas::setSource(const Gradient& gradient)
{
    Source source;
    source.kind = Source::Kind::Gradient;
    source.gradient = gradient;
    const Point p0 = device(gradient.x0, gradient.y0);
    const Point p1 = device(gradient.x1, gradient.y1);
    source.gradient.x0 = p0.x;
    source.gradient.y0 = p0.y;
    source.gradient.x1 = p1.x;
    source.gradient.y1 = p1.y;
    source.gradient.r0 = gradient.r0 * scale_;
    source.gradient.r1 = gradient.r1 * scale_;
    state_->source = std::move(source);
}

void Canvas::setSource(const Image& image, int pictureX, int pictureY)
{
    Source source;
    source.kind = Source::Kind::Image;
    source.image = &image;
    source.imageX = pictureX - originX_;
    source.imageY = pictureY - originY_;
    state_->source = std::move(source);
}

void Canvas::setLineWidth(double width)
{
    state_->lineWidth = width;
}

void Canvas::setLineCap(LineCap cap)
{
    state_->cap = cap;
}

void Canvas::setLineJoin(LineJoin join)
{
    state_->join = join;
}

Polygons Canvas::fillPolygons() const
{
    Polygons polygons;
    for (const SubPath& sub : path_)
    {
        Polygon polygon;
        polygon.reserve(sub.points.size());
        for (const PathPoint& p : sub.points)
            polygon.push_back(p.p);
        if (polygon.size() >= 3)
            polygons.push_back(std::move(polygon));
    }
    return polygons;
}

namespace
{

// A stroke whose path never turns by more than this at a vertex is drawn as the band between
// its two offset outlines: far fewer edges than a piece per segment and join, and no seams.
const double kSmoothTurnCosine = std::cos(20.0 * kPi / 180.0);

// The band of a smooth stroke: false, adding nothing, when a vertex turns too sharply.
bool smoothStroke(const Polygon& points, bool closed, double half, Polygons& polygons)
{
    const std::size_t n = points.size();
    Polygon left(n), right(n);
    for (std::size_t i = 0; i < n; ++i)
    {
        const bool first = i == 0 && !closed, last = i + 1 == n && !closed;
        const Point p = points[i];
        const Point d0 = first ? unit(p, points[1]) : unit(points[(i + n - 1) % n], p);
        const Point d1 = last ? d0 : unit(p, points[(i + 1) % n]);
        const double cosine = d0.x * d1.x + d0.y * d1.y;
        if (cosine < kSmoothTurnCosine)
            return false;
        // Along the sum of the two normals, as far as the miter reaches: half a width over the
        // cosine of half the turn, which is |m| / 2.
        const Point m = {-(d0.y + d1.y), d0.x + d1.x};
        const double k = 2.0 * half / (m.x * m.x + m.y * m.y);
        left[i] = {p.x + m.x * k, p.y + m.y * k};
        right[i] = {p.x - m.x * k, p.y - m.y * k};
    }
    std::reverse(right.begin(), right.end());
    if (!closed)
    {
        left.insert(left.end(), right.begin(), right.end());
        addOriented(polygons, std::move(left));
        return true;
    }
    // The larger outline turns positively and the other negatively: the band between them is
    // inside, what the inner one encloses is not.
    if (std::fabs(signedArea(left)) > std::fabs(signedArea(right)) ? signedArea(left) < 0
                                                                   : signedArea(right) < 0)
    {
        std::reverse(left.begin(), left.end());
        std::reverse(right.begin(), right.end());
    }
    polygons.push_back(std::move(left));
    polygons.push_back(std::move(right));
    return true;
}

} // namespace

Polygons Canvas::strokePolygons() const
{
    const double half = state_->lineWidth * scale_ / 2.0;
    Polygons polygons;
    for (const SubPath& sub : path_)
    {
        std::vector<PathPoint> points;
        for (const PathPoint& p : sub.points)
            if (points.empty() ||
                std::hypot(p.p.x - points.back().p.x, p.p.y - points.back().p.y) > 1e-9)
                points.push_back(p);
        if (sub.closed && points.size() > 1 &&
            std::hypot(points.front().p.x - points.back().p.x,
                       points.front().p.y - points.back().p.y) <= 1e-9)
            points.pop_back();
        const std::size_t n = points.size();
        if (n == 1 && state_->cap == LineCap::Round)
            addOriented(polygons, circle(points[0].p, half));
        if (n < 2)
            continue;
        const bool closed = sub.closed && n > 2;
        Polygon positions(n);
        for (std::size_t i = 0; i < n; ++i)
            positions[i] = points[i].p;
        if (smoothStroke(positions, closed, half, polygons))
        {
            if (!closed && state_->cap == LineCap::Round)
            {
                addOriented(polygons, circle(points.front().p, half));
                addOriented(polygons, circle(points.back().p, half));
            }
            continue;
        }
        const std::size_t segments = closed ? n : n - 1;
        for (std::size_t i = 0; i < segments; ++i)
        {
            const Point a = points[i].p, b = points[(i + 1) % n].p;
            const Point d = unit(a, b);
            const Point normal = {-d.y * half, d.x * half};
            addOriented(polygons, {{a.x + normal.x, a.y + normal.y},
                                   {b.x + normal.x, b.y + normal.y},
                                   {b.x - normal.x, b.y - normal.y},
                                   {a.x - normal.x, a.y - normal.y}});
        }
        for (std::size_t i = closed ? 0 : 1; i < (closed ? n : n - 1); ++i)
        {
            const Point p = points[i].p;
            const Point d0 = unit(points[(i + n - 1) % n].p, p);
            const Point d1 = unit(p, points[(i + 1) % n].p);
            const double turn = d0.x * d1.y - d0.y * d1.x;
            if (std::fabs(turn) < 1e-12 && d0.x * d1.x + d0.y * d1.y > 0)
                continue;
            if (points[i].corner && state_->join == LineJoin::Round)
            {
                addOriented(polygons, circle(p, half));
                continue;
            }
            // The outer side of the turn gets the wedge between the two segments' edges.
            const double side = turn > 0 ? -1.0 : 1.0;
            const Point n0 = {-d0.y, d0.x}, n1 = {-d1.y, d1.x};
            const Point a = {p.x + side * half * n0.x, p.y + side * half * n0.y};
            const Point b = {p.x + side * half * n1.x, p.y + side * half * n1.y};
            const double cosine = n0.x * n1.x + n0.y * n1.y;
            // Miters longer than ten line widths are cut to a bevel, as usual.
            if (points[i].corner && 1.0 + cosine >= 2.0 / 100.0)
            {
                const double k = side * half / (1.0 + cosine);
                addOriented(polygons,
                            {p, a, {p.x + k * (n0.x + n1.x), p.y + k * (n0.y + n1.y)}, b});
            }
            else
            {
                addOriented(polygons, {p, a, b});
            }
        }
        if (!closed && state_->cap == LineCap::Round)
        {
            addOriented(polygons, circle(points.front().p, half));
            addOriented(polygons, circle(points.back().p, half));
        }
    }
    return polygons;
}

namespace
{

// One row of coverage through the clip, with the source's pixels from fetch(x).
template <typename Fetch>
void compositeRow(uint32_t* row, int x0, int x1, const uint8_t* coverage, const uint8_t* clipRow,
                  Fetch fetch)
{
    for (int x = x0; x < x1; ++x)
    {
        uint32_t c = coverage[x - x0];
        if (clipRow)
            c = mul8(c, clipRow[x]);
        if (c == 0)
            continue;
        const uint32_t s = fetch(x);
        if (c == 255 && s >= 0xFF000000u)
            row[x] = s;
        else
            row[x] = over(c == 255 ? s : scaleWord(s, c), row[x]);
    }
}

} // namespace

void Canvas::composite(const Polygons& polygons)
{
    const Source& source = state_->source;
    const std::vector<uint8_t>* clip = state_->clip.get();
    const int width = target_.width;
    rasterize(polygons, width, target_.height,
              [&](int y, int x0, int x1, const uint8_t* coverage)
              {
                  uint32_t* row = target_.row(y);
                  const uint8_t* clipRow =
                      clip ? clip->data() + static_cast<std::size_t>(y) * width : nullptr;
                  switch (source.kind)
                  {
                  case Source::Kind::Solid:
                      compositeRow(row, x0, x1, coverage, clipRow,
                                   [&](int) { return source.solid; });
                      break;
                  case Source::Kind::Gradient:
                      if (source.vertical())
                      {
                          // One colour per row.
                          const uint32_t colour = source.gradientAt(x0 + 0.5, y + 0.5);
                          compositeRow(row, x0, x1, coverage, clipRow, [&](int) { return colour; });
                      }
                      else
                      {
                          compositeRow(row, x0, x1, coverage, clipRow,
                                       [&](int x) { return source.gradientAt(x + 0.5, y + 0.5); });
                      }
                      break;
                  case Source::Kind::Image:
                      compositeRow(row, x0, x1, coverage, clipRow,
                                   [&](int x) { return source.at(x, y); });
                      break;
                  }
              });
}

void Canvas::fill()
{
    fillPreserve();
    newPath();
}

void Canvas::fillPreserve()
{
    composite(fillPolygons());
}

void Canvas::stroke()
{
    strokePreserve();
    newPath();
}

void Canvas::strokePreserve()
{
    composite(strokePolygons());
}

void Canvas::clip()
{
    const std::size_t width = static_cast<std::size_t>(target_.width);
    auto inside = std::make_shared<std::vector<uint8_t>>(width * target_.height, 0);
    const std::vector<uint8_t>* old = state_->clip.get();
    rasterize(fillPolygons(), target_.width, target_.height,
              [&](int y, int x0, int x1, const uint8_t* coverage)
              {
                  uint8_t* row = inside->data() + y * width;
                  const uint8_t* oldRow = old ? old->data() + y * width : nullptr;
                  for (int x = x0; x < x1; ++x)
                      row[x] = static_cast<uint8_t>(oldRow ? mul8(coverage[x - x0], oldRow[x])
                                                           : coverage[x - x0]);
              });
    state_->clip = std::move(inside);
    newPath();
}

void Canvas::paint()
{
    const double w = target_.width, h = target_.height;
    composite({{{0, 0}, {w, 0}, {w, h}, {0, h}}});
}

void Canvas::mask(const Mask& coverage)
{
    const Point at = device(0, 0);
    const int left = static_cast<int>(std::lround(at.x));
    const int top = static_cast<int>(std::lround(at.y));
    const Source& source = state_->source;
    const std::vector<uint8_t>* clip = state_->clip.get();
    for (int y = std::max(0, top); y < std::min(target_.height, top + coverage.height); ++y)
    {
        uint32_t* row = target_.row(y);
        for (int x = std::max(0, left); x < std::min(target_.width, left + coverage.width); ++x)
        {
            uint32_t c = coverage.at(x - left, y - top);
            if (clip)
                c = mul8(c, (*clip)[static_cast<std::size_t>(y) * target_.width + x]);
            if (c != 0)
                row[x] = over(scaleWord(source.at(x, y), c), row[x]);
        }
    }
}

void Canvas::selectFont(Font font, double size)
{
    state_->font = font;
    state_->fontSize = size;
}

double Canvas::textWidth(const char* text, double spacing) const
{
    const Face& face = faceOf(state_->font);
    const double unit = state_->fontSize / face.unitsPerEm;
    const std::size_t length = std::strlen(text);
    double width = 0.0;
    for (std::size_t i = 0; i < length; ++i)
    {
        const auto code = static_cast<unsigned char>(text[i]);
        const double advance = code < 128 ? face.glyphs[code].advance * unit : 0.0;
        width += advance + (i + 1 < length ? spacing : 0.0);
    }
    return width;
}

void Canvas::addCurvePoints(const std::vector<Point>& points)
{
    for (const Point& p : points)
        addPoint(p, false);
}

void Canvas::textPath(const char* text, double x, double baseline, Align align, double spacing)
{
    const double width = textWidth(text, spacing);
    if (align == Align::Centre)
        x -= width * 0.5;
    else if (align == Align::Right)
        x -= width;
    const Face& face = faceOf(state_->font);
    const double unit = state_->fontSize / face.unitsPerEm;
    std::vector<Point> curve;
    for (const char* c = text; *c; ++c)
    {
        const auto code = static_cast<unsigned char>(*c);
        if (code >= 128)
            continue;
        const Glyph& glyph = face.glyphs[code];
        const auto at = [&](double gx, double gy)
        { return device(x + gx * unit, baseline - gy * unit); };
        for (const std::vector<GlyphPoint>& contour : glyph.contours)
        {
            const std::size_t n = contour.size();
            if (n < 2)
                continue;
            // Start on a point on the curve, or between two control points.
            std::size_t first = 0;
            while (first < n && !contour[first].onCurve)
                ++first;
            Point start;
            if (first == n)
            {
                first = 0;
                start =
                    at((contour[0].x + contour[1].x) / 2.0, (contour[0].y + contour[1].y) / 2.0);
            }
            else
            {
                start = at(contour[first].x, contour[first].y);
            }
            hasCurrent_ = false;
            addPoint(start, true);
            Point current = start;
            for (std::size_t k = 1; k <= n; ++k)
            {
                const GlyphPoint& gp = contour[(first + k) % n];
                const Point p = at(gp.x, gp.y);
                if (gp.onCurve)
                {
                    addPoint(p, true);
                    current = p;
                    continue;
                }
                const GlyphPoint& following = contour[(first + k + 1) % n];
                Point end = at(following.x, following.y);
                if (!following.onCurve)
                    end = {(p.x + end.x) / 2, (p.y + end.y) / 2};
                else if (k < n)
                    ++k;
                // A quadratic curve, flattened to within the tolerance.
                const double dx = current.x - 2 * p.x + end.x, dy = current.y - 2 * p.y + end.y;
                const int steps = std::max(
                    1,
                    static_cast<int>(std::ceil(std::sqrt(std::hypot(dx, dy) / (4 * kTolerance)))));
                curve.clear();
                for (int s = 1; s <= steps; ++s)
                {
                    const double t = double(s) / steps, u = 1 - t;
                    curve.push_back({u * u * current.x + 2 * u * t * p.x + t * t * end.x,
                                     u * u * current.y + 2 * u * t * p.y + t * t * end.y});
                }
                addCurvePoints(curve);
                current = end;
            }
            closePath();
        }
        x += glyph.advance * unit + spacing;
    }
}

void engravedText(Canvas& canvas, const char* text, double x, double baseline, Align align,
                  double spacing, Rgb colour)
{
    canvas.newPath();
    canvas.textPath(text, x, baseline + 1.0, align, spacing);
    canvas.setSource(Rgb{0, 0, 0}, 0.55);
    canvas.fill();
    canvas.textPath(text, x, baseline, align, spacing);
    canvas.setSource(colour);
    canvas.fill();
}

namespace
{

// One box pass along a line of n samples spaced by step, edges clamped.
void boxPass(std::vector<int>& values, std::vector<int>& line, int start, int n, int step,
             int radius)
{
    for (int i = 0; i < n; ++i)
        line[static_cast<std::size_t>(i)] = values[static_cast<std::size_t>(start + i * step)];
    const int window = 2 * radius + 1;
    const auto sample = [&](int i)
    { return line[static_cast<std::size_t>(std::clamp(i, 0, n - 1))]; };
    // A running sum over the window: each step adds the sample entering it and drops the one
    // leaving it.
    int sum = 0;
    for (int k = -radius; k <= radius; ++k)
        sum += sample(k);
    for (int i = 0; i < n; ++i)
    {
        values[static_cast<std::size_t>(start + i * step)] = (sum + window / 2) / window;
        sum += sample(i + radius + 1) - sample(i - radius);
    }
}

} // namespace

Mask blurred(const Mask& mask, double scale, int radius)
{
    const int width = mask.width, height = mask.height;
    std::vector<int> values(mask.values.begin(), mask.values.end());
    std::vector<int> line(static_cast<std::size_t>(std::max(width, height)));
    const int passRadius = std::max(1, static_cast<int>(std::lround(radius * scale)) / 2);
    for (int pass = 0; pass < 3; ++pass)
    {
        for (int y = 0; y < height; ++y)
            boxPass(values, line, y * width, width, 1, passRadius);
        for (int x = 0; x < width; ++x)
            boxPass(values, line, x, height, width, passRadius);
    }
    Mask result{width, height, std::vector<uint8_t>(values.size())};
    for (std::size_t i = 0; i < values.size(); ++i)
        result.values[i] = static_cast<uint8_t>(values[i]);
    return result;
}

namespace
{

// xorshift32 is linear over GF(2): a step multiplies the state by a 32 x 32 bit matrix, held as
// the images of the 32 unit vectors.
using BitMatrix = std::array<std::uint32_t, 32>;

std::uint32_t transform(const BitMatrix& m, std::uint32_t v)
{
    std::uint32_t result = 0;
    for (int bit = 0; bit < 32; ++bit)
        if (v >> bit & 1u)
            result ^= m[static_cast<std::size_t>(bit)];
    return result;
}

// The matrices of 2^k steps, k = 0 to 63.
const std::array<BitMatrix, 64>& stepPowers()
{
    static const std::array<BitMatrix, 64> powers = []
    {
        std::array<BitMatrix, 64> p{};
        for (int bit = 0; bit < 32; ++bit)
        {
            std::uint32_t v = 1u << bit;
            v ^= v << 13;
            v ^= v >> 17;
            v ^= v << 5;
            p[0][static_cast<std::size_t>(bit)] = v;
        }
        for (std::size_t k = 1; k < p.size(); ++k)
            for (std::size_t bit = 0; bit < 32; ++bit)
                p[k][bit] = transform(p[k - 1], p[k - 1][bit]);
        return p;
    }();
    return powers;
}

} // namespace

void Random::skip(std::uint64_t count)
{
    const std::array<BitMatrix, 64>& powers = stepPowers();
    for (std::size_t k = 0; count != 0; ++k, count >>= 1)
        if (count & 1u)
            state_ = transform(powers[k], state_);
}

void brushedMetal(Canvas& canvas, double x, double y, double w, double h, Rgb top, Rgb bottom,
                  double grain, std::uint32_t seed)
{
    // The texture starts on a whole pixel of the picture, so that its grain is never resampled,
    // and takes its random numbers row by row from the picture's first row: a part of the
    // picture gets the same grain as the whole.
    const double scale = canvas.scale();
    const Point from = canvas.toPicture(x, y);
    const Point to = canvas.toPicture(x + w, y + h);
    const int pixelLeft = static_cast<int>(std::floor(from.x));
    const int pixelTop = static_cast<int>(std::floor(from.y));
    const int width = static_cast<int>(std::ceil(to.x - 1e-9)) - pixelLeft;
    const int height = static_cast<int>(std::ceil(to.y - 1e-9)) - pixelTop;
    // Only the rows and columns the target shows are made; the random numbers of the others
    // are skipped.
    const int firstRow = std::clamp(canvas.originY() - pixelTop, 0, height);
    const int endRow = std::clamp(canvas.originY() + canvas.target().height - pixelTop, 0, height);
    const int firstCol = std::clamp(canvas.originX() - pixelLeft, 0, width);
    const int endCol = std::clamp(canvas.originX() + canvas.target().width - pixelLeft, 0, width);
    Image texture(endCol - firstCol, std::max(0, endRow - firstRow));
    const int streak = static_cast<int>(std::lround(24 * scale));
    const double streakGain = std::sqrt(12.0 * 2 * streak) / (2 * streak);
    // Each row takes its shade, then a number for each of width + 2 * streak columns.
    const std::uint64_t perRow = 1u + static_cast<std::uint64_t>(width + 2 * streak);
    std::vector<double> noise(
        static_cast<std::size_t>(std::max(0, endCol - firstCol) + 2 * streak));
    Random random(seed);
    random.skip(perRow * static_cast<std::uint64_t>(firstRow));
    for (int row = firstRow; row < endRow && firstCol < endCol; ++row)
    {
        const Rgb base = mix(top, bottom, height > 1 ? row / double(height - 1) : 0.0);
        const double rowShade = random.next() - 0.5;
        random.skip(static_cast<std::uint64_t>(firstCol));
        // noise[i] is the number of column firstCol + i.
        for (double& n : noise)
            n = random.next() - 0.5;
        // A running mean along the row turns white noise into long brushing streaks. The numbers
        // are multiples of 2^-24 below 1/2, so the sums are exact in any order.
        double sum = 0.0;
        for (int k = 0; k < 2 * streak - 1; ++k)
            sum += noise[static_cast<std::size_t>(k)];
        uint32_t* pixels = texture.pixels().row(row - firstRow);
        for (int i = 0; i < endCol - firstCol; ++i)
        {
            sum += noise[static_cast<std::size_t>(i + 2 * streak - 1)];
            const double streaks = sum * streakGain;
            const double fine = noise[static_cast<std::size_t>(i + streak)];
            const double shade = grain * (0.45 * rowShade + 0.35 * streaks * 0.5 + 0.2 * fine);
            auto channel = [shade](double v)
            {
                // Through int: 32-bit x86 has no direct conversion of a double to unsigned.
                return static_cast<uint32_t>(
                    static_cast<int>(std::clamp(v + shade, 0.0, 1.0) * 255.0 + 0.5));
            };
            pixels[i] =
                0xFF000000u | channel(base.r) << 16 | channel(base.g) << 8 | channel(base.b);
            sum -= noise[static_cast<std::size_t>(i)];
        }
        random.skip(static_cast<std::uint64_t>(width - endCol));
    }
    canvas.save();
    canvas.setSource(texture, pixelLeft + firstCol, pixelTop + firstRow);
    canvas.rectangle(x, y, w, h);
    canvas.fill();
    canvas.restore();
}

} // namespace skin
