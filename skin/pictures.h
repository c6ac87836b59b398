// The painters of the skin's pictures, each drawing in layout units at its scale.
#pragma once

#include "skin/canvas.h"
#include "skin/skin.h"

namespace skin
{

// 630 x 140, opaque: the panel the editor draws its controls on.
void drawBackground(Canvas& canvas);
// 70 x 70 per frame, 135 frames: the knob turned to the value frame / 134, with its shadow and
// value ring in the alpha channel.
std::unique_ptr<Painter> knobPainter(Rgb cap, double scale);
// 74 x 30 per frame, opaque: the bypass switch off, then on, over the panel behind it.
std::unique_ptr<Painter> bypassPainter(double scale);
// 330 x 125, opaque: the picture shown when a splash area is clicked.
void drawAbout(Canvas& canvas);

// Opaque pictures start black, and whatever covers a pixel partly blends with that black, so
// that their edge pixels stay opaque.
void startOpaque(const Pixels& target);

// Cap colours that tell the three knobs apart.
constexpr Rgb kDriveCap = {0.62, 0.13, 0.09};
constexpr Rgb kToneCap = {0.70, 0.45, 0.12};
constexpr Rgb kLevelCap = {0.30, 0.32, 0.35};

// Brand mark: the clipped wave of the logo, drawn into a box of the given size.
void drawLogoMark(Canvas& canvas, double x, double y, double size);

} // namespace skin
