// The popup menu stand-in: records each menu and answers with the scripted pick.
#include "gui/software/menu_control.h"

namespace VSTGUI
{
namespace software
{
namespace
{
struct Menus
{
    std::vector<PopupMenuRecord> shown;
    int32_t answer = -1;
};

Menus& menus()
{
    static Menus instance;
    return instance;
}
} // namespace

const std::vector<PopupMenuRecord>& shownMenus()
{
    return menus().shown;
}

void answerMenusWith(int32_t index)
{
    menus().answer = index;
}

void resetMenus()
{
    menus() = Menus();
}

} // namespace software

namespace platform
{

int32_t showPopupMenu(Window window, const CPoint& position, const std::vector<std::string>& items,
                      int32_t checked, double scale)
{
    software::menus().shown.push_back({window, position, items, checked, scale});
    const int32_t answer = software::menus().answer;
    return answer >= 0 && answer < static_cast<int32_t>(items.size()) ? answer : -1;
}

} // namespace platform
} // namespace VSTGUI
