// The test program is its own module: the resources linked into it are found through its handle.
#include "gui/platform/module.h"

#include <windows.h>

namespace
{
[[maybe_unused]] const bool moduleHandleSet =
    (VSTGUI::platform::setModuleHandle(GetModuleHandleA(nullptr)), true);
} // namespace
