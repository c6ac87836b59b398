// Layout units to device pixels and back. Views lay out in units of the 1x picture; the frame
// and its draw contexts carry the factor. Edges round to the nearest pixel, so that neighbouring
// rectangles still tile at any factor.
#pragma once

#include "gui/vstgui_types.h"

#include <cmath>

namespace VSTGUI
{

// Factors within this of each other draw the same.
constexpr double kScaleTolerance = 1e-3;

inline bool sameScale(double a, double b)
{
    return std::fabs(a - b) < kScaleTolerance;
}

inline CCoord toDevice(CCoord units, double scale)
{
    return static_cast<CCoord>(std::floor(units * scale + 0.5));
}

inline CPoint toDevice(const CPoint& point, double scale)
{
    return CPoint(toDevice(point.h, scale), toDevice(point.v, scale));
}

inline CRect toDevice(const CRect& rect, double scale)
{
    return CRect(toDevice(rect.left, scale), toDevice(rect.top, scale), toDevice(rect.right, scale),
                 toDevice(rect.bottom, scale));
}

// A whole number of pixels that holds the size: rounded up.
inline CCoord deviceSize(CCoord units, double scale)
{
    return static_cast<CCoord>(std::ceil(units * scale - kScaleTolerance));
}

// The layout unit a device pixel lies in.
inline CPoint toLayout(const CPoint& device, double scale)
{
    return CPoint(static_cast<CCoord>(std::floor((device.h + 0.5) / scale)),
                  static_cast<CCoord>(std::floor((device.v + 0.5) / scale)));
}

// The smallest layout rectangle whose pixels cover a device rectangle.
inline CRect toLayout(const CRect& device, double scale)
{
    return CRect(static_cast<CCoord>(std::floor(device.left / scale)),
                 static_cast<CCoord>(std::floor(device.top / scale)),
                 static_cast<CCoord>(std::ceil(device.right / scale)),
                 static_cast<CCoord>(std::ceil(device.bottom / scale)));
}

} // namespace VSTGUI
