// Test control of the software popup menu: what the last menu showed and the answer the next one
// gives, as a user's pick or cancel.
#pragma once

#include "gui/platform/menu.h"

#include <string>
#include <vector>

namespace VSTGUI
{
namespace software
{

struct PopupMenuRecord
{
    platform::Window window = nullptr;
    CPoint position;
    std::vector<std::string> items;
    int32_t checked = -1;
    double scale = 1.0;
};

// The menus shown since the last reset, oldest first.
const std::vector<PopupMenuRecord>& shownMenus();
// The index the next menus answer; -1, a cancel, after a reset.
void answerMenusWith(int32_t index);
void resetMenus();

} // namespace software
} // namespace VSTGUI
