// The popup menu on Win32: the system's, tracked on the frame's window until the user picks or
// cancels. The system draws it at its own size for the screen, so the scale is not needed.
#include "gui/platform/menu.h"
#include "gui/win32/gdi_handles.h"

namespace VSTGUI
{
namespace platform
{

int32_t showPopupMenu(Window window, const CPoint& position, const std::vector<std::string>& items,
                      int32_t checked, double /*scale*/)
{
    HWND owner = hwnd(window);
    HMENU menu = owner ? CreatePopupMenu() : nullptr;
    if (!menu)
        return -1;
    // Commands are item + 1: 0 is TrackPopupMenu's answer for a cancel.
    UINT_PTR command = 1;
    for (const std::string& item : items)
    {
        const UINT flags = MF_STRING | (command == UINT_PTR(checked) + 1 ? MF_CHECKED : 0u);
        AppendMenuA(menu, flags, command++, item.c_str());
    }
    POINT screen{position.h, position.v};
    ClientToScreen(owner, &screen);
    const BOOL picked = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                       screen.x, screen.y, 0, owner, nullptr);
    DestroyMenu(menu);
    return picked > 0 && picked <= static_cast<BOOL>(items.size()) ? picked - 1 : -1;
}

} // namespace platform
} // namespace VSTGUI
