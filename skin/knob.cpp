// The knob film strip: a knurled black skirt under a spun-metal cap in the knob's colour,
// a cream pointer and an amber ring that lights up to the value.
#include "skin/pictures.h"

#include "skin/layout.h"
#include "skin/theme.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace skin
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

// The knob's angles run counter-clockwise on screen; the canvas' run clockwise.
void arcClockwise(Canvas& cr, double radius, double fromDegrees, double toDegrees)
{
    cr.arc(kCentre, kCentre, radius, -radians(fromDegrees), -radians(toDegrees));
}

Image knobLayer(double scale)
{
    return Image(pixelsOf(kKnobSize, scale), pixelsOf(kKnobSize, scale));
}

// Shadow and the ring's dark track: the same in every frame.
Image staticLayer(double scale)
{
    Image layer = knobLayer(scale);
    Canvas cr(layer.pixels(), scale);

    const Mask disc = coverageOf(kKnobSize, kKnobSize, scale,
                                 [](Canvas& c)
                                 {
                                     c.arc(kCentre, kCentre + 2.5, kSkirtRadius + 0.5, 0, 2 * kPi);
                                     c.fill();
                                 });
    cr.setSource(Rgb{0, 0, 0}, 0.75);
    cr.mask(blurred(disc, scale, 6));

    cr.setLineCap(LineCap::Round);
    cr.setLineWidth(3.5);
    cr.newPath();
    arcClockwise(cr, kRingRadius, kKnobStartDegrees, kKnobStartDegrees - kKnobSweepDegrees);
    cr.setSource(Rgb{0, 0, 0}, 0.55);
    cr.stroke();
    cr.setLineWidth(2.0);
    cr.newPath();
    arcClockwise(cr, kRingRadius, kKnobStartDegrees, kKnobStartDegrees - kKnobSweepDegrees);
    cr.setSource(mix(kAmberDeep, {0, 0, 0}, 0.45), 0.55);
    cr.stroke();
    return layer;
}

// The static layer is the same for every knob: the knobs of one scale share one drawing, made
// by the first of them and freed with the last.
std::shared_ptr<const Image> sharedStaticLayer(double scale)
{
    static std::mutex mutex;
    static std::vector<std::pair<double, std::weak_ptr<const Image>>> layers;
    const std::lock_guard<std::mutex> lock(mutex);
    layers.erase(std::remove_if(layers.begin(), layers.end(),
                                [](const auto& layer) { return layer.second.expired(); }),
                 layers.end());
    for (const auto& [layerScale, weak] : layers)
        if (layerScale == scale)
            if (std::shared_ptr<const Image> layer = weak.lock())
                return layer;
    auto layer = std::make_shared<const Image>(staticLayer(scale));
    layers.emplace_back(scale, layer);
    return layer;
}

void valueRing(Canvas& cr, double degrees)
{
    cr.setLineCap(LineCap::Round);
    cr.newPath();
    arcClockwise(cr, kRingRadius, kKnobStartDegrees, degrees);
    cr.setLineWidth(4.0);
    cr.setSource(kAmberDeep, 0.35);
    cr.strokePreserve();
    cr.setLineWidth(2.0);
    cr.setSource(kAmber);
    cr.stroke();
}

void skirt(Canvas& cr, double degrees)
{
    cr.arc(kCentre, kCentre, kSkirtRadius, 0, 2 * kPi);
    Gradient body = Gradient::linear(0, kCentre - kSkirtRadius, 0, kCentre + kSkirtRadius);
    body.add(0.0, {0.20, 0.20, 0.21});
    body.add(1.0, {0.04, 0.04, 0.045});
    cr.setSource(body);
    cr.fill();

    // Knurling turns with the knob; its light and shade stay put.
    cr.setLineWidth(1.6);
    for (int i = 0; i < kKnurls; ++i)
    {
        const double a = radians(degrees + i * 360.0 / kKnurls);
        const double dx = std::cos(a), dy = -std::sin(a);
        const double light = 0.5 - 0.5 * dy; // brighter on the upper side
        cr.moveTo(kCentre + dx * (kCapRadius + 2.5), kCentre + dy * (kCapRadius + 2.5));
        cr.lineTo(kCentre + dx * (kSkirtRadius - 0.8), kCentre + dy * (kSkirtRadius - 0.8));
        cr.setSource(Rgb{1, 1, 1}, 0.03 + 0.10 * light);
        cr.stroke();
    }
    cr.arc(kCentre, kCentre, kSkirtRadius - 0.5, 0, 2 * kPi);
    Gradient rim = Gradient::linear(0, kCentre - kSkirtRadius, 0, kCentre + kSkirtRadius);
    rim.add(0.0, {1, 1, 1}, 0.30);
    rim.add(0.5, {1, 1, 1}, 0.04);
    rim.add(1.0, {0, 0, 0}, 0.5);
    cr.setLineWidth(1.0);
    cr.setSource(rim);
    cr.stroke();
}

// The cap is rotationally symmetric, so one drawing serves every frame.
Image capLayer(Rgb colour, double scale)
{
    Image layer = knobLayer(scale);
    Canvas cr(layer.pixels(), scale);

    cr.arc(kCentre, kCentre + 1.2, kCapRadius + 0.6, 0, 2 * kPi);
    cr.setSource(Rgb{0, 0, 0}, 0.6);
    cr.fill();

    cr.arc(kCentre, kCentre, kCapRadius, 0, 2 * kPi);
    Gradient body =
        Gradient::radialBetween(kCentre - 5.0, kCentre - 7.0, 1.0, kCentre, kCentre, kCapRadius);
    body.add(0.0, mix(colour, {1, 1, 1}, 0.35));
    body.add(0.55, colour);
    body.add(1.0, mix(colour, {0, 0, 0}, 0.55));
    cr.setSource(body);
    cr.fill();

    // Fine concentric lathe rings.
    Random random(0xca9u);
    cr.setLineWidth(0.7);
    for (double r = 1.5; r < kCapRadius - 0.5; r += 0.9)
    {
        cr.newPath();
        cr.arc(kCentre, kCentre, r, 0, 2 * kPi);
        const double shade = random.next();
        if (shade < 0.5)
            cr.setSource(Rgb{0, 0, 0}, 0.10 * (0.5 - shade));
        else
            cr.setSource(Rgb{1, 1, 1}, 0.10 * (shade - 0.5));
        cr.stroke();
    }

    cr.newPath();
    cr.arc(kCentre, kCentre, kCapRadius - 0.5, 0, 2 * kPi);
    Gradient bevel = Gradient::linear(0, kCentre - kCapRadius, 0, kCentre + kCapRadius);
    bevel.add(0.0, {1, 1, 1}, 0.35);
    bevel.add(0.5, {1, 1, 1}, 0.0);
    bevel.add(1.0, {0, 0, 0}, 0.35);
    cr.setLineWidth(1.0);
    cr.setSource(bevel);
    cr.stroke();
    return layer;
}

void pointer(Canvas& cr, double degrees)
{
    const double dx = std::cos(radians(degrees)), dy = -std::sin(radians(degrees));
    const double inner = 6.0, outer = kSkirtRadius - 2.0;
    cr.setLineCap(LineCap::Round);
    cr.moveTo(kCentre + dx * inner, kCentre + dy * inner + 0.8);
    cr.lineTo(kCentre + dx * outer, kCentre + dy * outer + 0.8);
    cr.setLineWidth(4.2);
    cr.setSource(Rgb{0, 0, 0}, 0.45);
    cr.stroke();
    cr.moveTo(kCentre + dx * inner, kCentre + dy * inner);
    cr.lineTo(kCentre + dx * outer, kCentre + dy * outer);
    cr.setLineWidth(2.6);
    cr.setSource(Rgb{0.98, 0.96, 0.92});
    cr.stroke();
}

class KnobPainter : public Painter
{
public:
    KnobPainter(Rgb cap, double scale)
        : scale_(scale), base_(sharedStaticLayer(scale)), cap_(capLayer(cap, scale))
    {
    }

    void drawRows(int frame, const Pixels& target, int top) const override
    {
        const double degrees = knobDegrees(knobValueOfFrame(frame));
        Canvas cr(target, scale_, 0, top);
        cr.setSource(*base_, 0, 0);
        cr.paint();
        valueRing(cr, degrees);
        skirt(cr, degrees);
        cr.setSource(cap_, 0, 0);
        cr.paint();
        pointer(cr, degrees);
    }

private:
    double scale_;
    std::shared_ptr<const Image> base_;
    Image cap_;
};

} // namespace

std::unique_ptr<Painter> knobPainter(Rgb cap, double scale)
{
    return std::make_unique<KnobPainter>(cap, scale);
}

} // namespace skin
