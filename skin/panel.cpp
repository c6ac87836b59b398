// The background panel and the bypass switch that sits in it.
#include "skin/layout.h"
#include "skin/pictures.h"
#include "skin/theme.h"

#include <cmath>

namespace skin
{

namespace
{

// The recessed plate that carries the knobs; the about picture covers exactly this area.
constexpr double kPlateX = kAboutLeft;
constexpr double kPlateY = kAboutTop;
constexpr double kPlateWidth = kAboutWidth;
constexpr double kPlateHeight = kAboutHeight;

void bevelLines(Canvas& cr, double width, double height)
{
    cr.setLineWidth(1.0);
    cr.setSource(Rgb{1.0, 1.0, 1.0}, 0.14);
    cr.moveTo(0, 0.5);
    cr.lineTo(width, 0.5);
    cr.stroke();
    cr.setSource(Rgb{0.0, 0.0, 0.0}, 0.6);
    cr.moveTo(0, height - 0.5);
    cr.lineTo(width, height - 0.5);
    cr.stroke();
}

// A recess is lit along its lower edge and shadowed along its upper one; the caller fills
// it in between.
void recessLight(Canvas& cr, double x, double y, double w, double h, double radius)
{
    cr.roundedRect(x, y + 1.0, w, h, radius);
    cr.setSource(Rgb{1.0, 1.0, 1.0}, 0.10);
    cr.fill();
}

void recessShade(Canvas& cr, double x, double y, double w, double h, double radius)
{
    Gradient shade = Gradient::linear(0, y, 0, y + 5.0);
    shade.add(0.0, {0, 0, 0}, 0.55);
    shade.add(1.0, {0, 0, 0}, 0.0);
    cr.roundedRect(x, y, w, h, radius);
    cr.setSource(shade);
    cr.fill();
}

void recess(Canvas& cr, double x, double y, double w, double h, double radius, Rgb fill)
{
    recessLight(cr, x, y, w, h, radius);
    cr.roundedRect(x, y, w, h, radius);
    cr.setSource(fill);
    cr.fill();
    recessShade(cr, x, y, w, h, radius);
}

void screw(Canvas& cr, double cx, double cy, double angle)
{
    cr.arc(cx, cy + 0.8, 4.6, 0, 2 * kPi);
    cr.setSource(Rgb{0, 0, 0}, 0.5);
    cr.fill();
    Gradient head = Gradient::radialBetween(cx - 1.5, cy - 1.8, 0.5, cx, cy, 4.5);
    head.add(0.0, {0.78, 0.78, 0.80});
    head.add(0.6, {0.45, 0.45, 0.48});
    head.add(1.0, {0.22, 0.22, 0.24});
    cr.arc(cx, cy, 4.0, 0, 2 * kPi);
    cr.setSource(head);
    cr.fill();
    // Cross slot.
    cr.setLineWidth(1.2);
    cr.setLineCap(LineCap::Round);
    cr.setSource(Rgb{0.08, 0.08, 0.09}, 0.9);
    for (int i = 0; i < 2; ++i)
    {
        const double a = angle + i * kPi / 2;
        cr.moveTo(cx - 2.6 * std::cos(a), cy - 2.6 * std::sin(a));
        cr.lineTo(cx + 2.6 * std::cos(a), cy + 2.6 * std::sin(a));
        cr.stroke();
    }
}

void knobLabels(Canvas& cr)
{
    cr.selectFont(Font::Bold, 10.5);
    for (int i = 0; i < 3; ++i)
        engravedText(cr, kKnobLabels[i], kKnobs[i].centreX(), 27.5, Align::Centre, 1.8, kPrint);
}

// Dark value windows under the knobs, where the editor writes the values in white.
void valueSlots(Canvas& cr)
{
    for (const Box& field : kFields)
    {
        const double x = field.left - 4.0;
        const double y = field.top - 2.0;
        recess(cr, x, y, field.width() + 8.0, field.height() + 4.0, 3.0, kSlot);
        cr.roundedRect(x + 0.5, y + 0.5, field.width() + 7.0, field.height() + 3.0, 2.5);
        cr.setLineWidth(1.0);
        cr.setSource(Rgb{0, 0, 0}, 0.8);
        cr.stroke();
    }
}

void logoArea(Canvas& cr)
{
    const Box& area = kLogoArea;
    drawLogoMark(cr, area.centreX() - 20.0, area.top + 1.0, 40.0);
    cr.selectFont(Font::Bold, 8.0);
    engravedText(cr, "OSTRAVELK", area.centreX(), area.bottom - 4.0, Align::Centre, 1.6, kPrintDim);
}

void nameArea(Canvas& cr)
{
    const Box& area = kNameArea;
    cr.selectFont(Font::BoldItalic, 22.0);
    cr.newPath();
    cr.textPath("Dranvelor", area.centreX(), area.bottom - 3.0 + 1.0, Align::Centre, 0.3);
    cr.setSource(Rgb{0, 0, 0}, 0.6);
    cr.fill();
    cr.textPath("Dranvelor", area.centreX(), area.bottom - 3.0, Align::Centre, 0.3);
    Gradient gold = Gradient::linear(0, area.top, 0, area.bottom);
    gold.add(0.0, {1.0, 0.80, 0.45});
    gold.add(1.0, kAmberDeep);
    cr.setSource(gold);
    cr.fill();
    cr.selectFont(Font::Bold, 7.0);
    engravedText(cr, "MONO OVERDRIVE", area.centreX(), area.bottom + 10.0, Align::Centre, 2.2,
                 kPrintDim);
}

void bypassLabel(Canvas& cr)
{
    const Box& button = kBypassButton;
    cr.selectFont(Font::Bold, 10.5);
    engravedText(cr, "BYPASS", button.centreX(), button.bottom + 15.5, Align::Centre, 1.8, kPrint);
}

} // namespace

void drawBackground(Canvas& cr)
{
    brushedMetal(cr, 0, 0, kPanelWidth, kPanelHeight, kPanelTop, kPanelBottom, 0.045, 0x5eed1234u);
    bevelLines(cr, kPanelWidth, kPanelHeight);

    recessLight(cr, kPlateX, kPlateY, kPlateWidth, kPlateHeight, 7.0);
    cr.save();
    cr.roundedRect(kPlateX, kPlateY, kPlateWidth, kPlateHeight, 7.0);
    cr.clip();
    brushedMetal(cr, kPlateX, kPlateY, kPlateWidth, kPlateHeight, kPlateTop, kPlateBottom, 0.02,
                 0x0b1a7e5u);
    cr.restore();
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
}

namespace
{

void bypassState(Canvas& cr, bool on)
{
    const double w = kBypassButton.width();
    const double h = kBypassButton.height();
    recess(cr, 0.5, 0.5, w - 1.0, h - 1.0, 6.0, {0.03, 0.03, 0.035});

    // The cap sinks by a pixel and loses its top light when pressed.
    const double sink = on ? 1.0 : 0.0;
    const double x = 3.0, y = 3.0 + sink, cw = w - 6.0, ch = h - 7.0;
    cr.roundedRect(x, y + 1.5, cw, ch, 4.0);
    cr.setSource(Rgb{0, 0, 0}, on ? 0.3 : 0.6);
    cr.fill();
    Gradient face = Gradient::linear(0, y, 0, y + ch);
    face.add(0.0, on ? Rgb{0.17, 0.17, 0.18} : Rgb{0.33, 0.33, 0.35});
    face.add(1.0, on ? Rgb{0.22, 0.22, 0.23} : Rgb{0.16, 0.16, 0.17});
    cr.roundedRect(x, y, cw, ch, 4.0);
    cr.setSource(face);
    cr.fill();
    cr.roundedRect(x + 0.5, y + 0.5, cw - 1.0, ch - 1.0, 3.5);
    cr.setLineWidth(1.0);
    cr.setSource(Rgb{1, 1, 1}, on ? 0.05 : 0.16);
    cr.stroke();

    // Grip ribs on the right of the cap.
    cr.setLineWidth(1.0);
    for (int i = 0; i < 5; ++i)
    {
        const double rx = x + 36.5 + i * 5.0;
        cr.moveTo(rx, y + 6.0);
        cr.lineTo(rx, y + ch - 6.0);
        cr.setSource(Rgb{0, 0, 0}, 0.45);
        cr.stroke();
        cr.moveTo(rx + 1.0, y + 6.0);
        cr.lineTo(rx + 1.0, y + ch - 6.0);
        cr.setSource(Rgb{1, 1, 1}, 0.08);
        cr.stroke();
    }

    // The lamp: dark glass when off, glowing red when bypassed.
    const double lx = x + 15.0, ly = y + ch / 2.0;
    if (on)
    {
        Gradient glow = Gradient::radialBetween(lx, ly, 1.0, lx, ly, 11.0);
        glow.add(0.0, {1.0, 0.25, 0.08}, 0.55);
        glow.add(1.0, {1.0, 0.25, 0.08}, 0.0);
        cr.arc(lx, ly, 11.0, 0, 2 * kPi);
        cr.setSource(glow);
        cr.fill();
    }
    cr.arc(lx, ly, 5.0, 0, 2 * kPi);
    cr.setSource(Rgb{0, 0, 0}, 0.8);
    cr.fill();
    Gradient lens = Gradient::radialBetween(lx - 1.2, ly - 1.4, 0.3, lx, ly, 4.0);
    if (on)
    {
        lens.add(0.0, {1.0, 0.85, 0.6});
        lens.add(0.5, {1.0, 0.30, 0.10});
        lens.add(1.0, {0.75, 0.10, 0.04});
    }
    else
    {
        lens.add(0.0, {0.55, 0.30, 0.28});
        lens.add(0.4, {0.28, 0.06, 0.05});
        lens.add(1.0, {0.14, 0.03, 0.03});
    }
    cr.arc(lx, ly, 4.0, 0, 2 * kPi);
    cr.setSource(lens);
    cr.fill();
}

} // namespace

namespace
{

// Each state lies over the panel as the window shows it: the frame's pixels are those of the
// background where the button's corner falls on a whole pixel, so the switch sits seamlessly in
// the panel at every scale.
class BypassPainter : public Painter
{
public:
    explicit BypassPainter(double scale) : scale_(scale) {}

    void drawRows(int frame, const Pixels& target, int top) const override
    {
        const int panelLeft = static_cast<int>(std::floor(kBypassButton.left * scale_ + 0.5));
        const int panelTop = static_cast<int>(std::floor(kBypassButton.top * scale_ + 0.5));
        startOpaque(target);
        {
            Canvas panel(target, scale_, panelLeft, panelTop + top);
            drawBackground(panel);
        }
        Canvas cr(target, scale_, 0, top);
        bypassState(cr, frame == 1);
    }

private:
    double scale_;
};

} // namespace

std::unique_ptr<Painter> bypassPainter(double scale)
{
    return std::make_unique<BypassPainter>(scale);
}

} // namespace skin
