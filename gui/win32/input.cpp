// Pointer, key and clock state from Win32.
#include "gui/win32/gdi_handles.h"

namespace VSTGUI
{
namespace platform
{

namespace
{

bool held(int virtualKey)
{
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

} // namespace

// The asynchronous key state reports the physical buttons, before any swap.
int32_t getPhysicalMouseButtons()
{
    int32_t buttons = 0;
    if (held(VK_LBUTTON))
        buttons |= kLButton;
    if (held(VK_MBUTTON))
        buttons |= kMButton;
    if (held(VK_RBUTTON))
        buttons |= kRButton;
    if (held(VK_SHIFT))
        buttons |= kShift;
    if (held(VK_CONTROL))
        buttons |= kControl;
    if (held(VK_MENU))
        buttons |= kAlt;
    return buttons;
}

bool areMouseButtonsSwapped()
{
    return GetSystemMetrics(SM_SWAPBUTTON) != 0;
}

CPoint getPointerScreenPosition()
{
    POINT where{0, 0};
    GetCursorPos(&where);
    return CPoint(where.x, where.y);
}

bool takeLeftButtonDown()
{
    MSG message;
    return PeekMessageA(&message, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE) != 0;
}

uint32_t getTickCount()
{
    return GetTickCount();
}
uint32_t getMessageTime()
{
    return static_cast<uint32_t>(GetMessageTime());
}
uint32_t getDoubleClickTime()
{
    return GetDoubleClickTime();
}
void sleep(uint32_t milliseconds)
{
    Sleep(milliseconds);
}

} // namespace platform
} // namespace VSTGUI
