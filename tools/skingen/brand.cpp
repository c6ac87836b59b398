// The brand: the logo mark and the about picture.
#include "layout.h"
#include "skin.h"
#include "theme.h"

#include <algorithm>
#include <cmath>

namespace skingen
{

namespace
{

// One and a half periods of a sine driven into hard clipping: the sound of the product.
void clippedWave(cairo_t* cr, double x, double cy, double width, double amplitude)
{
    const int steps = 96;
    for (int i = 0; i <= steps; ++i)
    {
        const double t = i / double(steps);
        const double s = std::clamp(1.8 * std::sin(t * 3.0 * kPi), -1.0, 1.0);
        if (i == 0)
            cairo_move_to(cr, x + t * width, cy - s * amplitude);
        else
            cairo_line_to(cr, x + t * width, cy - s * amplitude);
    }
}

} // namespace

void drawLogoMark(cairo_t* cr, double x, double y, double size)
{
    const double r = size / 2.0;
    const double cx = x + r, cy = y + r;
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy + 1.0, r - 1.0, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, r - 1.0, 0, 2 * kPi);
    cairo_pattern_t* disc = cairo_pattern_create_radial(cx, cy - r * 0.4, r * 0.1, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(disc, 0.0, 0.16, 0.14, 0.13);
    cairo_pattern_add_color_stop_rgb(disc, 1.0, 0.05, 0.05, 0.055);
    cairo_set_source(cr, disc);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(disc);
    cairo_set_line_width(cr, std::max(1.5, size / 22.0));
    setColour(cr, kAmberDeep);
    cairo_stroke(cr);

    cairo_arc(cr, cx, cy, r - 2.0, 0, 2 * kPi);
    cairo_clip(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    clippedWave(cr, cx - r * 0.72, cy, r * 1.44, r * 0.36);
    cairo_set_line_width(cr, size / 8.0);
    setColour(cr, kAmber, 0.25);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, size / 17.0);
    setColour(cr, mix(kAmber, {1, 1, 1}, 0.25));
    cairo_stroke(cr);
    cairo_restore(cr);
}

Surface renderAbout(double scale)
{
    Surface surface = makeSurface(kAboutWidth, kAboutHeight, scale, CAIRO_FORMAT_RGB24);
    Context context = makeContext(surface.get());
    cairo_t* cr = context.get();
    brushedMetal(cr, 0, 0, kAboutWidth, kAboutHeight, {0.10, 0.10, 0.105}, {0.06, 0.06, 0.065},
                 0.03, 0xab07u);

    // Warm light from behind the logo.
    cairo_pattern_t* glow = cairo_pattern_create_radial(58, 52, 5, 58, 52, 120);
    cairo_pattern_add_color_stop_rgba(glow, 0.0, kAmberDeep.r, kAmberDeep.g, kAmberDeep.b, 0.22);
    cairo_pattern_add_color_stop_rgba(glow, 1.0, kAmberDeep.r, kAmberDeep.g, kAmberDeep.b, 0.0);
    cairo_set_source(cr, glow);
    cairo_paint(cr);
    cairo_pattern_destroy(glow);

    cairo_rectangle(cr, 0.5, 0.5, kAboutWidth - 1.0, kAboutHeight - 1.0);
    cairo_set_line_width(cr, 1.0);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    cairo_stroke(cr);
    cairo_rectangle(cr, 3.5, 3.5, kAboutWidth - 7.0, kAboutHeight - 7.0);
    setColour(cr, kAmberDeep, 0.6);
    cairo_stroke(cr);

    drawLogoMark(cr, 22, 20, 64);

    selectFont(cr, Font::BoldItalic, 36.0);
    cairo_new_path(cr);
    textPath(cr, "Dranvelor", 104, 58 + 1.5, Align::Left, 0.4);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
    cairo_fill(cr);
    textPath(cr, "Dranvelor", 104, 58, Align::Left, 0.4);
    cairo_pattern_t* gold = cairo_pattern_create_linear(0, 30, 0, 60);
    cairo_pattern_add_color_stop_rgb(gold, 0.0, 1.0, 0.82, 0.50);
    cairo_pattern_add_color_stop_rgb(gold, 1.0, kAmberDeep.r, kAmberDeep.g, kAmberDeep.b);
    cairo_set_source(cr, gold);
    cairo_fill(cr);
    cairo_pattern_destroy(gold);

    selectFont(cr, Font::Bold, 9.0);
    engravedText(cr, "MONO OVERDRIVE", 106, 75, Align::Left, 2.6, kPrintDim);

    cairo_move_to(cr, 22, 93.5);
    cairo_line_to(cr, kAboutWidth - 22, 93.5);
    setColour(cr, kAmberDeep, 0.5);
    cairo_stroke(cr);

    selectFont(cr, Font::Bold, 11.0);
    engravedText(cr, "Ostravelk", 22, 110, Align::Left, 0.6, kPrint);
    selectFont(cr, Font::Regular, 11.0);
    engravedText(cr, "Morvandell series", kAboutWidth / 2.0, 110, Align::Centre, 0.3, kPrintDim);
    engravedText(cr, "Version 1.0.0", kAboutWidth - 22, 110, Align::Right, 0.3, kPrint);
    return surface;
}

} // namespace skingen
