// Software pointer, buttons and clock, all set by the tests through software/test_control.h.
#include "gui/software/state.h"

namespace VSTGUI
{
namespace software
{

State& state()
{
    static State instance;
    return instance;
}

namespace
{

State& polled()
{
    State& s = state();
    if (s.pollHook)
        s.pollHook();
    return s;
}

} // namespace

void setPointerScreenPosition(const CPoint& position)
{
    state().pointer = position;
}
void setPhysicalMouseButtons(int32_t buttons)
{
    state().buttons = buttons;
}
void setMouseButtonsSwapped(bool swapped)
{
    state().swapped = swapped;
}
void setTickCount(uint32_t milliseconds)
{
    state().ticks = milliseconds;
}
void setMessageTime(uint32_t milliseconds)
{
    state().messageTime = milliseconds;
}
void setDoubleClickTime(uint32_t milliseconds)
{
    state().doubleClickTime = milliseconds;
}
void setScreenScale(double scale)
{
    state().screenScale = scale;
}
void postLeftButtonDown()
{
    ++state().pendingLeftButtonDowns;
}
void setPollHook(std::function<void()> hook)
{
    state().pollHook = std::move(hook);
}

void addPngResource(int32_t id, std::vector<uint8_t> bytes)
{
    state().pngResources[id] = std::move(bytes);
}

void addBitmapResource(int32_t id, int32_t width, int32_t height, std::vector<uint32_t> pixels)
{
    state().bitmapResources[id] = PlainBitmap{width, height, std::move(pixels)};
}

const std::vector<TextRecord>& drawnTexts()
{
    return state().texts;
}

void reset()
{
    state() = State();
}

} // namespace software

namespace platform
{

int32_t getPhysicalMouseButtons()
{
    return software::polled().buttons;
}
bool areMouseButtonsSwapped()
{
    return software::state().swapped;
}
CPoint getPointerScreenPosition()
{
    return software::polled().pointer;
}

bool takeLeftButtonDown()
{
    software::State& s = software::polled();
    if (s.pendingLeftButtonDowns == 0)
        return false;
    --s.pendingLeftButtonDowns;
    return true;
}

uint32_t getTickCount()
{
    return software::polled().ticks;
}
uint32_t getMessageTime()
{
    return software::state().messageTime;
}
uint32_t getDoubleClickTime()
{
    return software::state().doubleClickTime;
}
void sleep(uint32_t milliseconds)
{
    software::state().ticks += milliseconds;
}

} // namespace platform
} // namespace VSTGUI
