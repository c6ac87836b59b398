// The scale menu of the Linux plug-in with real input: Dranvelor.so in vsthost edit, the menu
// opened with the right button and worked with the pointer and the keys, the choice found in the
// settings file and in the next window.
#include "editor_process.h"
#include "settings_folder.h"

#include <gtest/gtest.h>

// Xlib after GoogleTest: its None macro would rename a GoogleTest type.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>

namespace fs = std::filesystem;

namespace
{

constexpr Spot kPanel{20, 20};
constexpr Spot kUnscaled{630, 140};
constexpr Spot k150{945, 210};
constexpr int kItems = 8;

struct MenuWindow
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    // Screen position of item i's middle.
    Spot item(int i) const { return {x + width / 2, y + height * (2 * i + 1) / (2 * kItems)}; }
};

class ScaleMenuX11 : public ::testing::Test
{
protected:
    void SetUp() override
    {
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        // Windows of other clients may go between the listing and the look at them.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    void TearDown() override
    {
        editor.reset();
        if (display)
            XCloseDisplay(display);
    }

    // The previous window closes first, so that the new one is the only "Dranvelor" window.
    void open()
    {
        editor.reset();
        editor = std::make_unique<EditorProcess>();
    }

    // The mapped override-redirect window on the screen, if any.
    std::optional<MenuWindow> shownMenu() const
    {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        std::optional<MenuWindow> found;
        XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
        for (unsigned i = 0; i < count; ++i)
        {
            XWindowAttributes a{};
            if (XGetWindowAttributes(display, children[i], &a) && a.override_redirect &&
                a.map_state == IsViewable)
                found = MenuWindow{a.x, a.y, a.width, a.height};
        }
        XFree(children);
        return found;
    }

    MenuWindow openMenu()
    {
        editor->rightClick(kPanel);
        // The editor opens it at its next idle, and a busy server maps it later still; well
        // before the menu would close for want of input.
        const auto start = std::chrono::steady_clock::now();
        std::optional<MenuWindow> menu = shownMenu();
        while (!menu && std::chrono::steady_clock::now() - start < std::chrono::seconds(20))
            menu = shownMenu();
        if (!menu)
            throw std::runtime_error("no menu after a right click on the panel");
        return *menu;
    }

    // The item whose row shows the check mark: dark pixels left of the labels.
    int checkedItem(const MenuWindow& menu) const
    {
        XImage* shot = XGetImage(display, DefaultRootWindow(display), menu.x, menu.y,
                                 static_cast<unsigned>(menu.width),
                                 static_cast<unsigned>(menu.height), AllPlanes, ZPixmap);
        int checked = -1;
        for (int y = 0; y < menu.height; ++y)
            for (int x = menu.width / 20; x < menu.width / 5; ++x)
                if ((XGetPixel(shot, x, y) & 0xFF) < 0x40)
                    checked = y * kItems / menu.height;
        XDestroyImage(shot);
        return checked;
    }

    void pick(const MenuWindow& menu, int i)
    {
        const Spot at = menu.item(i);
        const Spot origin = editor->origin();
        editor->click({at.x - origin.x, at.y - origin.y});
    }

    // The window's size once the host has had time to follow a resize request.
    Spot settledSize() const
    {
        const auto start = std::chrono::steady_clock::now();
        Spot size = editor->windowSize();
        while (size.x == kUnscaled.x &&
               std::chrono::steady_clock::now() - start < std::chrono::seconds(60))
            size = editor->windowSize();
        return size;
    }

    SettingsFolder settings; // vsthost inherits its XDG_CONFIG_HOME
    Display* display = nullptr;
    std::unique_ptr<EditorProcess> editor;
};

TEST_F(ScaleMenuX11, Choosing150IsSavedResizesTheWindowAndOpensTheNextOne)
{
    open();
    MenuWindow menu = openMenu();
    EXPECT_EQ(checkedItem(menu), 0);
    EXPECT_GE(menu.x, editor->origin().x + kPanel.x); // at the pointer
    pick(menu, 3);
    EXPECT_FALSE(shownMenu());
    EXPECT_EQ(settings.saved(), "scale=150\n");
    // The host hears of the new size, and of no parameter.
    for (const std::string& line : editor->takeTraffic())
        EXPECT_EQ(line.rfind("size ", 0), 0u) << line;
    EXPECT_EQ(settledSize().x, k150.x);

    open();
    EXPECT_EQ(editor->windowSize().y, k150.y);
    menu = openMenu();
    EXPECT_EQ(checkedItem(menu), 3);
    editor->keys("Escape");
    EXPECT_FALSE(shownMenu());
    EXPECT_EQ(settings.saved(), "scale=150\n");
}

TEST_F(ScaleMenuX11, KeysPickAndEscapeOrAClickElsewhereCancel)
{
    open();
    openMenu();
    editor->keys("Down Down Return");
    EXPECT_FALSE(shownMenu());
    EXPECT_EQ(settings.saved(), "scale=100\n");

    openMenu();
    editor->keys("Up Escape");
    EXPECT_FALSE(shownMenu());
    // The panel the menu covered is painted again.
    EXPECT_EQ(pictureMismatches(editor->capture(), Area{0, 0, kKnobLefts[0], 140},
                                skinImage("background.png"), 0, 0),
              0);
    // A press outside only closes the menu: the Bypass button under it does not toggle.
    openMenu();
    editor->click({561, 97});
    EXPECT_FALSE(shownMenu());
    EXPECT_TRUE(editor->takeTraffic().empty());
    EXPECT_EQ(settings.saved(), "scale=100\n");
    // The window still takes input.
    editor->click({561, 97});
    EXPECT_FALSE(editor->takeTraffic().empty());
}

TEST_F(ScaleMenuX11, AnUnusableSettingsFileOpensTheWindowAtAuto)
{
    settings.write("scale=\x01\x02\x03 garbage");
    open();
    EXPECT_EQ(editor->windowSize().x, kUnscaled.x);
    EXPECT_EQ(checkedItem(openMenu()), 0);
    editor->keys("Escape");

    fs::remove(settings.file());
    fs::create_directory(settings.file()); // cannot be read, nor replaced
    open();
    EXPECT_EQ(editor->windowSize().x, kUnscaled.x);
    const MenuWindow menu = openMenu();
    EXPECT_EQ(checkedItem(menu), 0);
    pick(menu, 4); // applies to this window all the same
    EXPECT_TRUE(fs::is_directory(settings.file()));
    EXPECT_EQ(checkedItem(openMenu()), 4);
    editor->keys("Escape");
}

} // namespace
