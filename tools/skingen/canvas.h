// Small cairo helpers shared by the skin's pictures: owned surfaces, fixed fonts, text with
// letter spacing, rounded shapes, soft shadows and a brushed-metal texture.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>

namespace skingen
{

struct SurfaceDeleter
{
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter
{
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

constexpr double kPi = 3.14159265358979323846;

// A surface of width x height layout units with scale pixels per unit (rounded up): drawing is in
// layout units at every scale, and a scaled surface used as a source keeps its layout size.
Surface makeSurface(int width, int height, double scale,
                    cairo_format_t format = CAIRO_FORMAT_ARGB32);
double surfaceScale(cairo_surface_t* surface);
Context makeContext(cairo_surface_t* surface);

struct Rgb
{
    double r, g, b;
};
void setColour(cairo_t* cr, Rgb c, double alpha = 1.0);
Rgb mix(Rgb a, Rgb b, double t);

// The fonts are files, not fontconfig names, so every machine renders the same glyphs.
enum class Font
{
    Regular,
    Bold,
    BoldItalic
};
// Selects the font at a pixel size, antialiased and unhinted.
void selectFont(cairo_t* cr, Font font, double size);

enum class Align
{
    Left,
    Centre,
    Right
};
// Width of text drawn with the extra spacing after every glyph but the last.
double textWidth(cairo_t* cr, const char* text, double spacing = 0.0);
// Adds the glyph outlines of text to the current path, positioned by its baseline.
void textPath(cairo_t* cr, const char* text, double x, double baseline, Align align,
              double spacing = 0.0);
// Fills text with a dark engraving below it, as printed on a panel.
void engravedText(cairo_t* cr, const char* text, double x, double baseline, Align align,
                  double spacing, Rgb colour);

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);

// A blurred copy of an A8 mask: three box passes approximate a gaussian of about radius layout
// units.
Surface blurred(cairo_surface_t* mask, int radius);

// Deterministic pseudo-random numbers, so every run writes the same bytes.
class Random
{
public:
    explicit Random(std::uint32_t seed) : state_(seed) {}
    // Uniform in [0, 1).
    double next();

private:
    std::uint32_t state_;
};

// Horizontal brushed-metal streaks over a vertical gradient from top to bottom colour, one grain
// per pixel of the target; x and y are in the target's layout units (no transformation).
void brushedMetal(cairo_t* cr, double x, double y, double w, double h, Rgb top, Rgb bottom,
                  double grain, std::uint32_t seed);

} // namespace skingen
