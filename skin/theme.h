// The skin's palette: dark brushed anthracite with warm amber light and cream print.
#pragma once

#include "skin/canvas.h"

namespace skin
{

constexpr Rgb kPanelTop = {0.215, 0.215, 0.225};
constexpr Rgb kPanelBottom = {0.135, 0.135, 0.145};
constexpr Rgb kPlateTop = {0.105, 0.105, 0.112};
constexpr Rgb kPlateBottom = {0.085, 0.085, 0.09};
constexpr Rgb kPrint = {0.91, 0.87, 0.78};
constexpr Rgb kPrintDim = {0.60, 0.57, 0.52};
constexpr Rgb kAmber = {1.0, 0.62, 0.16};
constexpr Rgb kAmberDeep = {0.85, 0.38, 0.06};
constexpr Rgb kSlot = {0.035, 0.035, 0.04};

} // namespace skin
