// Drawing objects and device state as GDI keeps them: stock objects that are never deleted,
// selections that answer the previous object.
#include "gui/platform/device_state.h"

namespace VSTGUI
{
namespace platform
{

namespace
{
PenObject stockPen;     // black, solid, one pixel
BrushObject stockBrush; // white
FontObject stockFont{"System", {"System", -16, 700, false, false, false}};
CreatedObjects created; // a process-wide tally
} // namespace

DeviceState::DeviceState() : pen(&stockPen), brush(&stockBrush), font(&stockFont) {}

Pen createPen(PenStyle style, int32_t width, const CColor& color)
{
    ++created.pens;
    return new PenObject{style, width < 1 ? 1 : width, color};
}

Brush createBrush(const CColor& color)
{
    ++created.brushes;
    return new BrushObject{color};
}

Font createFont(const FontDescription& description)
{
    ++created.fonts;
    Font font = new FontObject{description.face, description};
    font->description.face = font->face.c_str();
    return font;
}

CreatedObjects createdObjects()
{
    return created;
}

SelectedObjects getSelectedObjects(Device device)
{
    const DeviceState& d = stateOf(device);
    return {d.pen, d.brush, d.font};
}

Pen selectPen(Device device, Pen pen)
{
    Pen previous = stateOf(device).pen;
    stateOf(device).pen = pen ? pen : &stockPen;
    return previous;
}

Brush selectBrush(Device device, Brush brush)
{
    Brush previous = stateOf(device).brush;
    stateOf(device).brush = brush ? brush : &stockBrush;
    return previous;
}

Font selectFont(Device device, Font font)
{
    Font previous = stateOf(device).font;
    stateOf(device).font = font ? font : &stockFont;
    return previous;
}

void deletePen(Pen pen)
{
    if (pen != &stockPen)
        delete pen;
}

void deleteBrush(Brush brush)
{
    if (brush != &stockBrush)
        delete brush;
}

void deleteFont(Font font)
{
    if (font != &stockFont)
        delete font;
}

void setTextColor(Device device, const CColor& color)
{
    stateOf(device).textColor = color;
}

void setBackgroundColor(Device device, const CColor& color)
{
    stateOf(device).backgroundColor = color;
}

void setTransparentTextBackground(Device device, bool transparent)
{
    stateOf(device).transparentBackground = transparent;
}

void setRasterMix(Device device, RasterMix mix)
{
    stateOf(device).mix = mix;
}

void setClipRect(Device device, const CRect& rect)
{
    stateOf(device).clipped = true;
    stateOf(device).clip = rect;
}

} // namespace platform
} // namespace VSTGUI
