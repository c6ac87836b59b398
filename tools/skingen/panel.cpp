// The background panel and the bypass switch that sits in it.
#include "layout.h"
#include "skin.h"
#include "theme.h"

#include <cmath>

namespace skingen
{

namespace
{

// The recessed plate that carries the knobs; the about picture covers exactly this area.
constexpr double kPlateX = kAboutLeft;
constexpr double kPlateY = kAboutTop;
constexpr double kPlateWidth = kAboutWidth;
constexpr double kPlateHeight = kAboutHeight;

void bevelLines(cairo_t* cr, double width, double height)
{
    cairo_set_line_width(cr, 1.0);
    cairo_set_source_rgba(cr, 1.0, 1.0, 1.0, 0.14);
    cairo_move_to(cr, 0, 0.5);
    cairo_line_to(cr, width, 0.5);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 0.0, 0.0, 0.0, 0.6);
    cairo_move_to(cr, 0, height - 0.5);
    cairo_line_to(cr, width, height - 0.5);
    cairo_stroke(cr);
}

// A recess is lit along its lower edge and shadowed along its upper one; the caller fills
// it in between.
void recessLight(cairo_t* cr, double x, double y, double w, double h, double radius)
{
    roundedRect(cr, x, y + 1.0, w, h, radius);
    cairo_set_source_rgba(cr, 1.0, 1.0, 1.0, 0.10);
    cairo_fill(cr);
}

void recessShade(cairo_t* cr, double x, double y, double w, double h, double radius)
{
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, y, 0, y + 5.0);
    cairo_pattern_add_color_stop_rgba(shade, 0.0, 0, 0, 0, 0.55);
    cairo_pattern_add_color_stop_rgba(shade, 1.0, 0, 0, 0, 0.0);
    roundedRect(cr, x, y, w, h, radius);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
}

void recess(cairo_t* cr, double x, double y, double w, double h, double radius, Rgb fill)
{
    recessLight(cr, x, y, w, h, radius);
    roundedRect(cr, x, y, w, h, radius);
    setColour(cr, fill);
    cairo_fill(cr);
    recessShade(cr, x, y, w, h, radius);
}

void screw(cairo_t* cr, double cx, double cy, double angle)
{
    cairo_arc(cr, cx, cy + 0.8, 4.6, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_fill(cr);
    cairo_pattern_t* head = cairo_pattern_create_radial(cx - 1.5, cy - 1.8, 0.5, cx, cy, 4.5);
    cairo_pattern_add_color_stop_rgb(head, 0.0, 0.78, 0.78, 0.80);
    cairo_pattern_add_color_stop_rgb(head, 0.6, 0.45, 0.45, 0.48);
    cairo_pattern_add_color_stop_rgb(head, 1.0, 0.22, 0.22, 0.24);
    cairo_arc(cr, cx, cy, 4.0, 0, 2 * kPi);
    cairo_set_source(cr, head);
    cairo_fill(cr);
    cairo_pattern_destroy(head);
    // Cross slot.
    cairo_set_line_width(cr, 1.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_source_rgba(cr, 0.08, 0.08, 0.09, 0.9);
    for (int i = 0; i < 2; ++i)
    {
        const double a = angle + i * kPi / 2;
        cairo_move_to(cr, cx - 2.6 * std::cos(a), cy - 2.6 * std::sin(a));
        cairo_line_to(cr, cx + 2.6 * std::cos(a), cy + 2.6 * std::sin(a));
        cairo_stroke(cr);
    }
}

void knobLabels(cairo_t* cr)
{
    selectFont(cr, Font::Bold, 10.5);
    for (int i = 0; i < 3; ++i)
        engravedText(cr, kKnobLabels[i], kKnobs[i].centreX(), 27.5, Align::Centre, 1.8, kPrint);
}

// Dark value windows under the knobs, where the editor writes the values in white.
void valueSlots(cairo_t* cr)
{
    for (const Box& field : kFields)
    {
        const double x = field.left - 4.0;
        const double y = field.top - 2.0;
        recess(cr, x, y, field.width() + 8.0, field.height() + 4.0, 3.0, kSlot);
        roundedRect(cr, x + 0.5, y + 0.5, field.width() + 7.0, field.height() + 3.0, 2.5);
        cairo_set_line_width(cr, 1.0);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
        cairo_stroke(cr);
    }
}

void logoArea(cairo_t* cr)
{
    const Box& area = kLogoArea;
    drawLogoMark(cr, area.centreX() - 20.0, area.top + 1.0, 40.0);
    selectFont(cr, Font::Bold, 8.0);
    engravedText(cr, "OSTRAVELK", area.centreX(), area.bottom - 4.0, Align::Centre, 1.6, kPrintDim);
}

void nameArea(cairo_t* cr)
{
    const Box& area = kNameArea;
    selectFont(cr, Font::BoldItalic, 22.0);
    cairo_new_path(cr);
    textPath(cr, "Dranvelor", area.centreX(), area.bottom - 3.0 + 1.0, Align::Centre, 0.3);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_fill(cr);
    textPath(cr, "Dranvelor", area.centreX(), area.bottom - 3.0, Align::Centre, 0.3);
    cairo_pattern_t* gold = cairo_pattern_create_linear(0, area.top, 0, area.bottom);
    cairo_pattern_add_color_stop_rgb(gold, 0.0, 1.0, 0.80, 0.45);
    cairo_pattern_add_color_stop_rgb(gold, 1.0, kAmberDeep.r, kAmberDeep.g, kAmberDeep.b);
    cairo_set_source(cr, gold);
    cairo_fill(cr);
    cairo_pattern_destroy(gold);
    selectFont(cr, Font::Bold, 7.0);
    engravedText(cr, "MONO OVERDRIVE", area.centreX(), area.bottom + 10.0, Align::Centre, 2.2,
                 kPrintDim);
}

void bypassLabel(cairo_t* cr)
{
    const Box& button = kBypassButton;
    selectFont(cr, Font::Bold, 10.5);
    engravedText(cr, "BYPASS", button.centreX(), button.bottom + 15.5, Align::Centre, 1.8, kPrint);
}

} // namespace

Surface renderBackground(double scale)
{
    Surface surface = makeSurface(kPanelWidth, kPanelHeight, scale, CAIRO_FORMAT_RGB24);
    Context context = makeContext(surface.get());
    cairo_t* cr = context.get();
    brushedMetal(cr, 0, 0, kPanelWidth, kPanelHeight, kPanelTop, kPanelBottom, 0.045, 0x5eed1234u);
    bevelLines(cr, kPanelWidth, kPanelHeight);

    recessLight(cr, kPlateX, kPlateY, kPlateWidth, kPlateHeight, 7.0);
    cairo_save(cr);
    roundedRect(cr, kPlateX, kPlateY, kPlateWidth, kPlateHeight, 7.0);
    cairo_clip(cr);
    brushedMetal(cr, kPlateX, kPlateY, kPlateWidth, kPlateHeight, kPlateTop, kPlateBottom, 0.02,
                 0x0b1a7e5u);
    cairo_restore(cr);
    recessShade(cr, kPlateX, kPlateY, kPlateWidth, kPlateHeight, 7.0);

    knobLabels(cr);
    valueSlots(cr);
    logoArea(cr);
    nameArea(cr);
    bypassLabel(cr);

    screw(cr, 12.5, 12.5, 0.3);
    screw(cr, 12.5, kPanelHeight - 12.5, 1.1);
    screw(cr, kPanelWidth - 12.5, 12.5, 0.7);
    screw(cr, kPanelWidth - 12.5, kPanelHeight - 12.5, 0.1);
    return surface;
}

namespace
{

void bypassState(cairo_t* cr, bool on)
{
    const double w = kBypassButton.width();
    const double h = kBypassButton.height();
    recess(cr, 0.5, 0.5, w - 1.0, h - 1.0, 6.0, {0.03, 0.03, 0.035});

    // The cap sinks by a pixel and loses its top light when pressed.
    const double sink = on ? 1.0 : 0.0;
    const double x = 3.0, y = 3.0 + sink, cw = w - 6.0, ch = h - 7.0;
    roundedRect(cr, x, y + 1.5, cw, ch, 4.0);
    cairo_set_source_rgba(cr, 0, 0, 0, on ? 0.3 : 0.6);
    cairo_fill(cr);
    cairo_pattern_t* face = cairo_pattern_create_linear(0, y, 0, y + ch);
    cairo_pattern_add_color_stop_rgb(face, 0.0, on ? 0.17 : 0.33, on ? 0.17 : 0.33,
                                     on ? 0.18 : 0.35);
    cairo_pattern_add_color_stop_rgb(face, 1.0, on ? 0.22 : 0.16, on ? 0.22 : 0.16,
                                     on ? 0.23 : 0.17);
    roundedRect(cr, x, y, cw, ch, 4.0);
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);
    roundedRect(cr, x + 0.5, y + 0.5, cw - 1.0, ch - 1.0, 3.5);
    cairo_set_line_width(cr, 1.0);
    cairo_set_source_rgba(cr, 1, 1, 1, on ? 0.05 : 0.16);
    cairo_stroke(cr);

    // Grip ribs on the right of the cap.
    cairo_set_line_width(cr, 1.0);
    for (int i = 0; i < 5; ++i)
    {
        const double rx = x + 36.5 + i * 5.0;
        cairo_move_to(cr, rx, y + 6.0);
        cairo_line_to(cr, rx, y + ch - 6.0);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
        cairo_stroke(cr);
        cairo_move_to(cr, rx + 1.0, y + 6.0);
        cairo_line_to(cr, rx + 1.0, y + ch - 6.0);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.08);
        cairo_stroke(cr);
    }

    // The lamp: dark glass when off, glowing red when bypassed.
    const double lx = x + 15.0, ly = y + ch / 2.0;
    if (on)
    {
        cairo_pattern_t* glow = cairo_pattern_create_radial(lx, ly, 1.0, lx, ly, 11.0);
        cairo_pattern_add_color_stop_rgba(glow, 0.0, 1.0, 0.25, 0.08, 0.55);
        cairo_pattern_add_color_stop_rgba(glow, 1.0, 1.0, 0.25, 0.08, 0.0);
        cairo_arc(cr, lx, ly, 11.0, 0, 2 * kPi);
        cairo_set_source(cr, glow);
        cairo_fill(cr);
        cairo_pattern_destroy(glow);
    }
    cairo_arc(cr, lx, ly, 5.0, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
    cairo_fill(cr);
    cairo_pattern_t* lens = cairo_pattern_create_radial(lx - 1.2, ly - 1.4, 0.3, lx, ly, 4.0);
    if (on)
    {
        cairo_pattern_add_color_stop_rgb(lens, 0.0, 1.0, 0.85, 0.6);
        cairo_pattern_add_color_stop_rgb(lens, 0.5, 1.0, 0.30, 0.10);
        cairo_pattern_add_color_stop_rgb(lens, 1.0, 0.75, 0.10, 0.04);
    }
    else
    {
        cairo_pattern_add_color_stop_rgb(lens, 0.0, 0.55, 0.30, 0.28);
        cairo_pattern_add_color_stop_rgb(lens, 0.4, 0.28, 0.06, 0.05);
        cairo_pattern_add_color_stop_rgb(lens, 1.0, 0.14, 0.03, 0.03);
    }
    cairo_arc(cr, lx, ly, 4.0, 0, 2 * kPi);
    cairo_set_source(cr, lens);
    cairo_fill(cr);
    cairo_pattern_destroy(lens);
}

} // namespace

Surface renderBypass(cairo_surface_t* background)
{
    const int w = kBypassButton.width();
    const int h = kBypassButton.height();
    Surface surface = makeSurface(w, 2 * h, surfaceScale(background), CAIRO_FORMAT_RGB24);
    Context context = makeContext(surface.get());
    cairo_t* cr = context.get();
    for (int state = 0; state < 2; ++state)
    {
        cairo_save(cr);
        cairo_translate(cr, 0, state * h);
        cairo_rectangle(cr, 0, 0, w, h);
        cairo_clip(cr);
        cairo_set_source_surface(cr, background, -kBypassButton.left, -kBypassButton.top);
        cairo_paint(cr);
        bypassState(cr, state == 1);
        cairo_restore(cr);
    }
    return surface;
}

} // namespace skingen
