// The knob film strip: a knurled black skirt under a spun-metal cap in the knob's colour,
// a cream pointer and an amber ring that lights up to the value.
#include "layout.h"
#include "skin.h"
#include "theme.h"

#include <cmath>

namespace skingen
{

namespace
{

constexpr double kCentre = kKnobSize / 2.0;
constexpr double kRingRadius = 31.5;
constexpr double kSkirtRadius = 25.0;
constexpr double kCapRadius = 17.5;
constexpr int kKnurls = 40;

double radians(double degrees)
{
    return degrees * kPi / 180.0;
}

// Cairo's angles run clockwise from +x because y points down; the knob's run counter-clockwise.
void arcClockwise(cairo_t* cr, double radius, double fromDegrees, double toDegrees)
{
    cairo_arc(cr, kCentre, kCentre, radius, -radians(fromDegrees), -radians(toDegrees));
}

// Shadow and the ring's dark track: the same in every frame.
Surface staticLayer(double scale)
{
    Surface layer = makeSurface(kKnobSize, kKnobSize, scale);
    Context context = makeContext(layer.get());
    cairo_t* cr = context.get();

    Surface disc = makeSurface(kKnobSize, kKnobSize, scale, CAIRO_FORMAT_A8);
    {
        Context discContext = makeContext(disc.get());
        cairo_arc(discContext.get(), kCentre, kCentre + 2.5, kSkirtRadius + 0.5, 0, 2 * kPi);
        cairo_set_source_rgba(discContext.get(), 0, 0, 0, 1);
        cairo_fill(discContext.get());
    }
    Surface shadow = blurred(disc.get(), 6);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.75);
    cairo_mask_surface(cr, shadow.get(), 0, 0);

    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 3.5);
    cairo_new_path(cr);
    arcClockwise(cr, kRingRadius, kKnobStartDegrees, kKnobStartDegrees - kKnobSweepDegrees);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 2.0);
    cairo_new_path(cr);
    arcClockwise(cr, kRingRadius, kKnobStartDegrees, kKnobStartDegrees - kKnobSweepDegrees);
    setColour(cr, mix(kAmberDeep, {0, 0, 0}, 0.45), 0.55);
    cairo_stroke(cr);
    return layer;
}

void valueRing(cairo_t* cr, double degrees)
{
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_new_path(cr);
    arcClockwise(cr, kRingRadius, kKnobStartDegrees, degrees);
    cairo_set_line_width(cr, 4.0);
    setColour(cr, kAmberDeep, 0.35);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 2.0);
    setColour(cr, kAmber);
    cairo_stroke(cr);
}

void skirt(cairo_t* cr, double degrees)
{
    cairo_arc(cr, kCentre, kCentre, kSkirtRadius, 0, 2 * kPi);
    cairo_pattern_t* body =
        cairo_pattern_create_linear(0, kCentre - kSkirtRadius, 0, kCentre + kSkirtRadius);
    cairo_pattern_add_color_stop_rgb(body, 0.0, 0.20, 0.20, 0.21);
    cairo_pattern_add_color_stop_rgb(body, 1.0, 0.04, 0.04, 0.045);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);

    // Knurling turns with the knob; its light and shade stay put.
    cairo_set_line_width(cr, 1.6);
    for (int i = 0; i < kKnurls; ++i)
    {
        const double a = radians(degrees + i * 360.0 / kKnurls);
        const double dx = std::cos(a), dy = -std::sin(a);
        const double light = 0.5 - 0.5 * dy; // brighter on the upper side
        cairo_move_to(cr, kCentre + dx * (kCapRadius + 2.5), kCentre + dy * (kCapRadius + 2.5));
        cairo_line_to(cr, kCentre + dx * (kSkirtRadius - 0.8), kCentre + dy * (kSkirtRadius - 0.8));
        cairo_set_source_rgba(cr, 1, 1, 1, 0.03 + 0.10 * light);
        cairo_stroke(cr);
    }
    cairo_arc(cr, kCentre, kCentre, kSkirtRadius - 0.5, 0, 2 * kPi);
    cairo_pattern_t* rim =
        cairo_pattern_create_linear(0, kCentre - kSkirtRadius, 0, kCentre + kSkirtRadius);
    cairo_pattern_add_color_stop_rgba(rim, 0.0, 1, 1, 1, 0.30);
    cairo_pattern_add_color_stop_rgba(rim, 0.5, 1, 1, 1, 0.04);
    cairo_pattern_add_color_stop_rgba(rim, 1.0, 0, 0, 0, 0.5);
    cairo_set_line_width(cr, 1.0);
    cairo_set_source(cr, rim);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);
}

// The cap is rotationally symmetric, so one rendering serves every frame.
Surface capLayer(Rgb colour, double scale)
{
    Surface layer = makeSurface(kKnobSize, kKnobSize, scale);
    Context context = makeContext(layer.get());
    cairo_t* cr = context.get();

    cairo_arc(cr, kCentre, kCentre + 1.2, kCapRadius + 0.6, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_fill(cr);

    cairo_arc(cr, kCentre, kCentre, kCapRadius, 0, 2 * kPi);
    cairo_pattern_t* body = cairo_pattern_create_radial(kCentre - 5.0, kCentre - 7.0, 1.0, kCentre,
                                                        kCentre, kCapRadius);
    const Rgb light = mix(colour, {1, 1, 1}, 0.35);
    const Rgb dark = mix(colour, {0, 0, 0}, 0.55);
    cairo_pattern_add_color_stop_rgb(body, 0.0, light.r, light.g, light.b);
    cairo_pattern_add_color_stop_rgb(body, 0.55, colour.r, colour.g, colour.b);
    cairo_pattern_add_color_stop_rgb(body, 1.0, dark.r, dark.g, dark.b);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);

    // Fine concentric lathe rings.
    Random random(0xca9u);
    cairo_set_line_width(cr, 0.7);
    for (double r = 1.5; r < kCapRadius - 0.5; r += 0.9)
    {
        cairo_new_path(cr);
        cairo_arc(cr, kCentre, kCentre, r, 0, 2 * kPi);
        const double shade = random.next();
        if (shade < 0.5)
            cairo_set_source_rgba(cr, 0, 0, 0, 0.10 * (0.5 - shade));
        else
            cairo_set_source_rgba(cr, 1, 1, 1, 0.10 * (shade - 0.5));
        cairo_stroke(cr);
    }

    cairo_new_path(cr);
    cairo_arc(cr, kCentre, kCentre, kCapRadius - 0.5, 0, 2 * kPi);
    cairo_pattern_t* bevel =
        cairo_pattern_create_linear(0, kCentre - kCapRadius, 0, kCentre + kCapRadius);
    cairo_pattern_add_color_stop_rgba(bevel, 0.0, 1, 1, 1, 0.35);
    cairo_pattern_add_color_stop_rgba(bevel, 0.5, 1, 1, 1, 0.0);
    cairo_pattern_add_color_stop_rgba(bevel, 1.0, 0, 0, 0, 0.35);
    cairo_set_line_width(cr, 1.0);
    cairo_set_source(cr, bevel);
    cairo_stroke(cr);
    cairo_pattern_destroy(bevel);
    return layer;
}

void pointer(cairo_t* cr, double degrees)
{
    const double dx = std::cos(radians(degrees)), dy = -std::sin(radians(degrees));
    const double inner = 6.0, outer = kSkirtRadius - 2.0;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, kCentre + dx * inner, kCentre + dy * inner + 0.8);
    cairo_line_to(cr, kCentre + dx * outer, kCentre + dy * outer + 0.8);
    cairo_set_line_width(cr, 4.2);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_stroke(cr);
    cairo_move_to(cr, kCentre + dx * inner, kCentre + dy * inner);
    cairo_line_to(cr, kCentre + dx * outer, kCentre + dy * outer);
    cairo_set_line_width(cr, 2.6);
    cairo_set_source_rgb(cr, 0.98, 0.96, 0.92);
    cairo_stroke(cr);
}

} // namespace

Surface renderKnobStrip(Rgb cap, double scale)
{
    Surface strip = makeSurface(kKnobSize, kKnobSize * kKnobFrames, scale);
    const Surface base = staticLayer(scale);
    const Surface capTop = capLayer(cap, scale);
    Context context = makeContext(strip.get());
    cairo_t* cr = context.get();
    for (int frame = 0; frame < kKnobFrames; ++frame)
    {
        const double degrees = knobDegrees(knobValueOfFrame(frame));
        cairo_save(cr);
        cairo_translate(cr, 0, frame * kKnobSize);
        cairo_rectangle(cr, 0, 0, kKnobSize, kKnobSize);
        cairo_clip(cr);
        cairo_set_source_surface(cr, base.get(), 0, 0);
        cairo_paint(cr);
        valueRing(cr, degrees);
        skirt(cr, degrees);
        cairo_set_source_surface(cr, capTop.get(), 0, 0);
        cairo_paint(cr);
        pointer(cr, degrees);
        cairo_restore(cr);
    }
    return strip;
}

} // namespace skingen
