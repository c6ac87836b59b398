// A small vector canvas for the skin's pictures: paths of lines, arcs and glyph outlines, filled
// and stroked with antialiasing (non-zero winding) in solid colours, gradients or images, and
// composited over premultiplied 32-bit pixels. Drawing is in layout units: the canvas maps them
// to pixels at its scale, so every scale draws the same shapes at its own resolution.
#pragma once

#include "skin/image.h"
#include "skin/raster.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace skin
{

constexpr double kPi = 3.14159265358979323846;

struct Rgb
{
    double r, g, b;
};
Rgb mix(Rgb a, Rgb b, double t);

// A linear or radial gradient, padded beyond its ends, in the user coordinates current when it
// is set as the source.
struct Gradient
{
    struct Stop
    {
        double offset, r, g, b, a;
    };
    bool radial = false;
    double x0 = 0, y0 = 0, r0 = 0, x1 = 0, y1 = 0, r1 = 0;
    std::vector<Stop> stops;

    static Gradient linear(double x0, double y0, double x1, double y1);
    // Between the circle (x0, y0, r0) and the circle (x1, y1, r1).
    static Gradient radialBetween(double x0, double y0, double r0, double x1, double y1, double r1);
    void add(double offset, Rgb c, double alpha = 1.0);
};

enum class LineCap
{
    Butt,
    Round
};
enum class LineJoin
{
    Miter,
    Round
};

enum class Font
{
    Regular,
    Bold,
    BoldItalic
};
enum class Align
{
    Left,
    Centre,
    Right
};

class Canvas
{
public:
    // Draws into target at scale pixels per unit; the target's pixel (0, 0) shows the picture's
    // pixel (originX, originY), so that a part of a picture draws as it lies in the whole.
    Canvas(const Pixels& target, double scale, int originX = 0, int originY = 0);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    double scale() const { return scale_; }
    const Pixels& target() const { return target_; }
    // Where the target's pixel (0, 0) lies in the picture.
    int originX() const { return originX_; }
    int originY() const { return originY_; }

    void save();
    void restore();
    void translate(double dx, double dy);

    void newPath();
    void newSubPath();
    void moveTo(double x, double y);
    void lineTo(double x, double y);
    // Clockwise on screen (y points down) from angle1 to angle2, in radians,
    // joined to the current point by a line when there is one.
    void arc(double cx, double cy, double radius, double angle1, double angle2);
    void closePath();
    void rectangle(double x, double y, double w, double h);
    void roundedRect(double x, double y, double w, double h, double radius);

    void setSource(Rgb c, double alpha = 1.0);
    void setSource(const Gradient& gradient);
    // An image's pixels with its top left corner at that pixel of the whole picture; nothing
    // beyond it. The image must outlive its use as the source.
    void setSource(const Image& image, int pictureX, int pictureY);
    void setLineWidth(double width);
    void setLineCap(LineCap cap);
    void setLineJoin(LineJoin join);

    void fill();
    void fillPreserve();
    void stroke();
    void strokePreserve();
    // Narrows where drawing reaches to the path, and clears the path.
    void clip();
    void paint();
    // The source through an 8-bit coverage image at this canvas' scale, placed at (0, 0).
    void mask(const Mask& coverage);

    void selectFont(Font font, double size);
    double textWidth(const char* text, double spacing = 0.0) const;
    // Adds the glyph outlines of text, positioned by its baseline.
    void textPath(const char* text, double x, double baseline, Align align, double spacing = 0.0);

    // User coordinates to pixels of the whole picture.
    Point toPicture(double x, double y) const;

private:
    struct State;
    struct Source;
    struct PathPoint
    {
        Point p;
        bool corner; // a vertex where a join is drawn; points inside a curve are not
    };
    struct SubPath
    {
        std::vector<PathPoint> points;
        bool closed = false;
    };

    Point device(double x, double y) const;
    void addPoint(Point p, bool corner);
    void addCurvePoints(const std::vector<Point>& points);
    Polygons fillPolygons() const;
    Polygons strokePolygons() const;
    void composite(const Polygons& polygons);

    Pixels target_;
    double scale_;
    int originX_, originY_;
    std::vector<SubPath> path_;
    bool hasCurrent_ = false;
    std::unique_ptr<State> state_;
    std::vector<State> saved_;
};

// A blurred copy of an 8-bit coverage image: three box passes approximate a gaussian of about
// radius units.
Mask blurred(const Mask& mask, double scale, int radius);

// An 8-bit coverage image of the path filled by draw on a canvas of width x height units.
template <typename Draw> Mask coverageOf(int width, int height, double scale, Draw draw);

// Horizontal brushed-metal streaks over a vertical gradient from top to bottom colour, one grain
// per pixel of the picture, filling the box.
void brushedMetal(Canvas& canvas, double x, double y, double w, double h, Rgb top, Rgb bottom,
                  double grain, std::uint32_t seed);

// Fills text with a dark engraving below it, as printed on a panel.
void engravedText(Canvas& canvas, const char* text, double x, double baseline, Align align,
                  double spacing, Rgb colour);

// Deterministic pseudo-random numbers, so every run draws the same pixels.
class Random
{
public:
    explicit Random(std::uint32_t seed) : state_(seed) {}
    // Uniform in [0, 1).
    double next()
    {
        // xorshift32: tiny, and identical on every platform.
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return (state_ >> 8) / 16777216.0;
    }
    // As count calls of next() would leave it, in a few dozen steps.
    void skip(std::uint64_t count);

private:
    std::uint32_t state_;
};

template <typename Draw> Mask coverageOf(int width, int height, double scale, Draw draw)
{
    Image shape(pixelsOf(width, scale), pixelsOf(height, scale));
    {
        Canvas canvas(shape.pixels(), scale);
        canvas.setSource(Rgb{0, 0, 0});
        draw(canvas);
    }
    return shape.alpha();
}

} // namespace skin
