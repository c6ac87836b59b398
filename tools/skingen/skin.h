// The skin's pictures, each rendered into a cairo surface in layout units at a scale (pixels per
// unit): every scale has the same layout and look, drawn at its own resolution. Sizes below are
// those of scale 1.
#pragma once

#include "canvas.h"

namespace skingen
{

// 630 x 140, opaque: the panel the editor draws its controls on.
Surface renderBackground(double scale);

// 70 x 9450: 135 frames of the knob, frame k turned to the value k / 134, with its shadow and
// value ring in the alpha channel.
Surface renderKnobStrip(Rgb cap, double scale);

// 74 x 60, opaque: the bypass switch off in the upper half, on in the lower half. The
// button's surroundings are cut from the background, whose scale it takes, so it sits
// seamlessly in the panel.
Surface renderBypass(cairo_surface_t* background);

// 330 x 125, opaque: the picture shown when a splash area is clicked.
Surface renderAbout(double scale);

// Cap colours that tell the three knobs apart.
constexpr Rgb kDriveCap = {0.62, 0.13, 0.09};
constexpr Rgb kToneCap = {0.70, 0.45, 0.12};
constexpr Rgb kLevelCap = {0.30, 0.32, 0.35};

// Brand mark: the clipped wave of the logo, drawn into a box of the given size.
void drawLogoMark(cairo_t* cr, double x, double y, double size);

} // namespace skingen
