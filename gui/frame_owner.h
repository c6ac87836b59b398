// What a frame asks of whoever owns it (the plug-in's editor): the toolkit's only way up.
#pragma once

#include "gui/vstgui_types.h"

#include <cstdint>

namespace VSTGUI
{

class IFrameOwner
{
public:
    // A right click on the panel that no control took; where is in frame coordinates.
    virtual void onPanelRightClick(const CPoint& where) = 0;
    // A control tracks the mouse in a loop of its own: the owner and its host idle meanwhile.
    virtual void doIdleStuff() = 0;
    // Asks the host to give the frame's window this size in device pixels; false when it cannot,
    // and the frame then makes do with the room it has.
    virtual bool requestWindowSize(int32_t width, int32_t height) = 0;
    // 0 circular, 2 linear knob dragging.
    virtual int32_t knobMode() const = 0;
    // An edit gesture of the control with this tag begins or ends.
    virtual void beginEdit(int32_t tag) = 0;
    virtual void endEdit(int32_t tag) = 0;
    // The window now lies on a screen of another density: the owner picks the scale again.
    virtual void screenChanged() = 0;

protected:
    ~IFrameOwner() = default;
};

} // namespace VSTGUI
