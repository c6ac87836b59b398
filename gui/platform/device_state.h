// The drawing objects and the per-device state that GDI keeps for a device context, for the
// platforms that keep them themselves (X11 and the memory surfaces). Each platform's
// DeviceObject derives from DeviceState; device_state.cpp implements the object and state
// functions of draw.h on it.
#pragma once

#include "gui/platform/draw.h"

#include <string>

namespace VSTGUI
{
namespace platform
{

struct PenObject
{
    PenStyle style = PenStyle::solid;
    int32_t width = 1;
    CColor color = kBlackCColor;
};

struct BrushObject
{
    CColor color = kWhiteCColor;
};

struct FontObject
{
    std::string face;
    FontDescription description;
};

struct DeviceState
{
    Pen pen;
    Brush brush;
    Font font;
    CPoint position;
    CColor textColor = kBlackCColor;
    CColor backgroundColor = kWhiteCColor;
    bool transparentBackground = false;
    RasterMix mix = RasterMix::copy;
    bool clipped = false;
    CRect clip;

    DeviceState(); // the stock pen, brush and font selected
};

// The platform's device as its state; defined by each platform.
DeviceState& stateOf(Device device);

} // namespace platform
} // namespace VSTGUI
