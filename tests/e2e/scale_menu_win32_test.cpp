// The scale menu of the Windows plug-in with real input: the DLL in a host window under Wine, the
// system's popup menu opened with the right button and worked through the X server, the choice
// found in the settings file under %APPDATA% and in the next window.
#include "settings_folder.h"
#include "window_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{

constexpr Spot kPanel{20, 20};
constexpr int kItems = 8;
constexpr UINT kGetMenuHandle = 0x01E1; // MN_GETHMENU

// The system's popup menu on the screen, as a person sees it.
struct ShownMenu
{
    HMENU menu = nullptr;
    int checked = -1;
    RECT items[kItems] = {};
};

bool menuShown()
{
    HWND window = FindWindowA("#32768", nullptr);
    return window && IsWindowVisible(window);
}

// Waits for the menu window and reads its items; throws when none appears.
ShownMenu waitForMenu()
{
    if (!pollUntil(menuShown))
        throw std::runtime_error("no menu after a right click on the panel");
    ShownMenu shown;
    shown.menu =
        reinterpret_cast<HMENU>(SendMessageA(FindWindowA("#32768", nullptr), kGetMenuHandle, 0, 0));
    if (!shown.menu || GetMenuItemCount(shown.menu) != kItems)
        throw std::runtime_error("the popup menu is not the scale menu");
    for (int i = 0; i < kItems; ++i)
    {
        if (GetMenuState(shown.menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED)
            shown.checked = i;
        GetMenuItemRect(nullptr, shown.menu, static_cast<UINT>(i), &shown.items[i]);
    }
    return shown;
}

// Client position of the host window at an item's middle.
Spot middleOf(HWND host, const RECT& item)
{
    POINT point{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ScreenToClient(host, &point);
    return {point.x, point.y};
}

class ScaleMenuWin32 : public ::testing::Test
{
protected:
    void TearDown() override { session.reset(); }

    // A new instance of the plug-in with its window open; the previous one is gone first.
    void open()
    {
        session.reset();
        session = std::make_unique<WindowSession>();
        session->openEditor();
    }

    // Right-clicks the panel and does what choose asks with the menu shown; answers the item the
    // menu checked.
    template <typename Choose> int withMenu(Choose choose)
    {
        int checked = -1;
        session->perform(
            [&]
            {
                input::rightClick(session->hostWindow(), kPanel.x, kPanel.y);
                const ShownMenu shown = waitForMenu();
                checked = shown.checked;
                choose(shown);
                // The menu's own loop would take the input that follows.
                pollUntil([] { return !menuShown(); });
            });
        EXPECT_FALSE(menuShown());
        return checked;
    }

    void pick(const ShownMenu& shown, int item)
    {
        const Spot at = middleOf(session->hostWindow(), shown.items[item]);
        input::click(session->hostWindow(), at.x, at.y);
    }

    // The size the plug-in answers the host.
    Spot requestedSize()
    {
        ERect* rect = nullptr;
        session->dispatch(effEditGetRect, 0, 0, &rect);
        return {rect->right - rect->left, rect->bottom - rect->top};
    }

    // APPDATA, where the plug-in looks before asking the shell.
    SettingsFolder settings;
    std::unique_ptr<WindowSession> session;
};

TEST_F(ScaleMenuWin32, Choosing150IsSavedResizesTheWindowAndOpensTheNextOne)
{
    open();
    EXPECT_EQ(withMenu([&](const ShownMenu& shown) { pick(shown, 3); }), 0);
    EXPECT_EQ(settings.saved(), "scale=150\n");
    // The host hears of the new size, and of no parameter.
    EXPECT_EQ(WindowSession::takeTraffic(), std::vector<std::string>{"size 945 210"});
    EXPECT_EQ(requestedSize().x, 945);
    RECT client{};
    GetClientRect(session->hostWindow(), &client);
    EXPECT_EQ(client.right, 945);

    open();
    EXPECT_EQ(requestedSize().y, 210);
    EXPECT_EQ(withMenu([](const ShownMenu&) { input::keys("Escape"); }), 3);
    EXPECT_EQ(settings.saved(), "scale=150\n");
}

TEST_F(ScaleMenuWin32, AnUnusableSettingsFileOpensTheWindowAtAuto)
{
    settings.write("scale=\x01\x02 garbage");
    open();
    EXPECT_EQ(requestedSize().x, 630);
    EXPECT_EQ(withMenu([](const ShownMenu&) { input::keys("Escape"); }), 0);

    fs::remove(settings.file());
    fs::create_directory(settings.file()); // cannot be read, nor replaced
    open();
    EXPECT_EQ(requestedSize().x, 630);
    EXPECT_EQ(withMenu([&](const ShownMenu& shown) { pick(shown, 4); }), 0);
    EXPECT_TRUE(fs::is_directory(settings.file()));
    // The choice holds for this window all the same.
    EXPECT_EQ(withMenu([](const ShownMenu&) { input::keys("Escape"); }), 4);
}

} // namespace
