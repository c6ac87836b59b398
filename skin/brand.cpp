// The brand: the logo mark and the about picture.
#include "skin/layout.h"
#include "skin/pictures.h"
#include "skin/theme.h"

#include <algorithm>
#include <cmath>

namespace skin
{

namespace
{

// One and a half periods of a sine driven into hard clipping: the sound of the product.
void clippedWave(Canvas& cr, double x, double cy, double width, double amplitude)
{
    const int steps = 96;
    for (int i = 0; i <= steps; ++i)
    {
        const double t = i / double(steps);
        const double s = std::clamp(1.8 * std::sin(t * 3.0 * kPi), -1.0, 1.0);
        if (i == 0)
            cr.moveTo(x + t * width, cy - s * amplitude);
        else
            cr.lineTo(x + t * width, cy - s * amplitude);
    }
}

} // namespace

void drawLogoMark(Canvas& cr, double x, double y, double size)
{
    const double r = size / 2.0;
    const double cx = x + r, cy = y + r;
    cr.save();
    cr.newPath();
    cr.arc(cx, cy + 1.0, r - 1.0, 0, 2 * kPi);
    cr.setSource(Rgb{0, 0, 0}, 0.5);
    cr.fill();
    cr.arc(cx, cy, r - 1.0, 0, 2 * kPi);
    Gradient disc = Gradient::radialBetween(cx, cy - r * 0.4, r * 0.1, cx, cy, r);
    disc.add(0.0, {0.16, 0.14, 0.13});
    disc.add(1.0, {0.05, 0.05, 0.055});
    cr.setSource(disc);
    cr.fillPreserve();
    cr.setLineWidth(std::max(1.5, size / 22.0));
    cr.setSource(kAmberDeep);
    cr.stroke();

    cr.arc(cx, cy, r - 2.0, 0, 2 * kPi);
    cr.clip();
    cr.setLineJoin(LineJoin::Round);
    cr.setLineCap(LineCap::Round);
    clippedWave(cr, cx - r * 0.72, cy, r * 1.44, r * 0.36);
    cr.setLineWidth(size / 8.0);
    cr.setSource(kAmber, 0.25);
    cr.strokePreserve();
    cr.setLineWidth(size / 17.0);
    cr.setSource(mix(kAmber, {1, 1, 1}, 0.25));
    cr.stroke();
    cr.restore();
}

void drawAbout(Canvas& cr)
{
    brushedMetal(cr, 0, 0, kAboutWidth, kAboutHeight, {0.10, 0.10, 0.105}, {0.06, 0.06, 0.065},
                 0.03, 0xab07u);

    // Warm light from behind the logo.
    Gradient glow = Gradient::radialBetween(58, 52, 5, 58, 52, 120);
    glow.add(0.0, kAmberDeep, 0.22);
    glow.add(1.0, kAmberDeep, 0.0);
    cr.setSource(glow);
    cr.paint();

    cr.rectangle(0.5, 0.5, kAboutWidth - 1.0, kAboutHeight - 1.0);
    cr.setLineWidth(1.0);
    cr.setSource(Rgb{0, 0, 0}, 1);
    cr.stroke();
    cr.rectangle(3.5, 3.5, kAboutWidth - 7.0, kAboutHeight - 7.0);
    cr.setSource(kAmberDeep, 0.6);
    cr.stroke();

    drawLogoMark(cr, 22, 20, 64);

    cr.selectFont(Font::BoldItalic, 36.0);
    cr.newPath();
    cr.textPath("Dranvelor", 104, 58 + 1.5, Align::Left, 0.4);
    cr.setSource(Rgb{0, 0, 0}, 0.7);
    cr.fill();
    cr.textPath("Dranvelor", 104, 58, Align::Left, 0.4);
    Gradient gold = Gradient::linear(0, 30, 0, 60);
    gold.add(0.0, {1.0, 0.82, 0.50});
    gold.add(1.0, kAmberDeep);
    cr.setSource(gold);
    cr.fill();

    cr.selectFont(Font::Bold, 9.0);
    engravedText(cr, "MONO OVERDRIVE", 106, 75, Align::Left, 2.6, kPrintDim);

    cr.moveTo(22, 93.5);
    cr.lineTo(kAboutWidth - 22, 93.5);
    cr.setSource(kAmberDeep, 0.5);
    cr.stroke();

    cr.selectFont(Font::Bold, 11.0);
    engravedText(cr, "Ostravelk", 22, 110, Align::Left, 0.6, kPrint);
    cr.selectFont(Font::Regular, 11.0);
    engravedText(cr, "Morvandell series", kAboutWidth / 2.0, 110, Align::Centre, 0.3, kPrintDim);
    engravedText(cr, "Version 1.0.0", kAboutWidth - 22, 110, Align::Right, 0.3, kPrint);
}

} // namespace skin
