// The popup menu the frame shows for a right click on the panel: the system's menu on Win32
// (gui/win32/menu.cpp), a menu the toolkit draws in an override-redirect window on X11
// (gui/x11/menu.cpp) and a scripted stand-in (gui/software/menu.cpp, driven by
// gui/software/menu_control.h).
#pragma once

#include "gui/platform/draw.h"

#include <string>
#include <vector>

namespace VSTGUI
{
namespace platform
{

// Shows items at position (window pixels) with item checked marked (none when out of range),
// drawn at scale where the toolkit draws it, and waits for the user: the index picked, or -1
// when the menu was cancelled or could not be shown.
int32_t showPopupMenu(Window window, const CPoint& position, const std::vector<std::string>& items,
                      int32_t checked, double scale);

} // namespace platform
} // namespace VSTGUI
