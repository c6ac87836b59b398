// The user's scale on the software platform: which right clicks open the scale menu, what a
// choice leaves in the per-user settings file, and what a new window makes of that file.
#include "editor/cklv_editor.h"
#include "editor/scale_settings.h"
#include "effect/cklv.h"
#include "gui/frame.h"
#include "gui/software/menu_control.h"
#include "gui/software/test_control.h"
#include "gui/software/window_control.h"
#include "host/plugin/plugin_effect.h"
#include "tests/e2e/settings_folder.h"
#include "tests/host/recording_host.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace VSTGUI;
namespace fs = std::filesystem;

namespace
{

constexpr CPoint kPanel(20, 20);
constexpr CPoint kDriveKnobCentre(205, 70);
constexpr CPoint kDriveFieldCentre(205, 123);
constexpr CPoint kBypassCentre(561, 97);
constexpr CPoint kLinearSplashCentre(554, 56);
constexpr int kAuto = 0;
constexpr int k150 = 3;

// One instance of the effect with its window, as a host holds it.
class Window
{
public:
    Window() : effect(static_cast<CKLV*>(createPluginEffect(RecordingHost::callback))) {}

    VstIntPtr dispatch(VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr)
    {
        AEffect* record = effect->getAeffect();
        return record->dispatcher(record, opcode, 0, value, ptr, 0.0f);
    }
    void open() { dispatch(effEditOpen, 0, &hostWindow); }
    void close() { dispatch(effEditClose); }
    CFrame* frame() { return static_cast<CKLVEditor*>(effect->getEditor())->getFrame(); }

    void press(const CPoint& where, int32_t buttons)
    {
        software::setPhysicalMouseButtons(buttons);
        software::pressMouseButton(frame()->getWindow(), where);
        software::setPhysicalMouseButtons(0);
    }
    // Right-clicks the panel, picks answer (-1 cancels) and answers the item the menu checked.
    int32_t choose(int32_t answer)
    {
        software::answerMenusWith(answer);
        const size_t before = software::shownMenus().size();
        press(kPanel, kRButton);
        EXPECT_EQ(software::shownMenus().size(), before + 1);
        return software::shownMenus().back().checked;
    }
    // The item the menu checks when the window opens now.
    int32_t checkedAfterOpen()
    {
        close();
        open();
        return choose(-1);
    }

    RecordingHost host;
    std::unique_ptr<CKLV> effect;
    int hostWindow = 0;
};

class ScaleMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        software::reset();
        software::resetMenus();
    }
    SettingsFolder config;
};

TEST_F(ScaleMenuTest, OnlyARightClickThatNoControlTakesOpensTheMenu)
{
    Window window;
    window.open();
    window.press(kDriveKnobCentre, kRButton);
    window.press(kDriveFieldCentre, kRButton);
    window.press(kBypassCentre, kRButton);
    window.press(kPanel, kLButton);
    window.press(kPanel, kLButton | kRButton);
    EXPECT_TRUE(software::shownMenus().empty());

    // The splash areas answer only the left button, so a right click there is the panel's.
    window.press(kLinearSplashCentre, kRButton);
    window.press(kPanel, kRButton | kShift);
    ASSERT_EQ(software::shownMenus().size(), 2u);
    const software::PopupMenuRecord& menu = software::shownMenus().front();
    EXPECT_EQ(menu.window, window.frame()->getWindow());
    EXPECT_EQ(menu.position, kLinearSplashCentre);
    EXPECT_EQ(menu.items, (std::vector<std::string>{"Auto", "100 %", "125 %", "150 %", "175 %",
                                                    "200 %", "250 %", "300 %"}));
    EXPECT_EQ(menu.checked, kAuto);
    EXPECT_EQ(menu.scale, 1.0);

    // The splash picture is modal: nothing under it opens the menu.
    window.press(kLinearSplashCentre, kLButton);
    window.press(kPanel, kRButton);
    EXPECT_EQ(software::shownMenus().size(), 2u);
}

TEST_F(ScaleMenuTest, AChoiceIsSavedAndEveryNewWindowOpensWithIt)
{
    Window first;
    first.open();
    EXPECT_EQ(first.choose(-1), kAuto);
    EXPECT_FALSE(fs::exists(config.file())); // a cancel writes nothing

    EXPECT_EQ(first.choose(k150), kAuto);
    EXPECT_EQ(config.saved(), "scale=150\n");
    EXPECT_EQ(first.choose(-1), k150);
    EXPECT_EQ(first.checkedAfterOpen(), k150);

    Window second;
    ERect* rect = nullptr;
    second.dispatch(effEditGetRect, 0, &rect);
    second.open();
    EXPECT_EQ(second.choose(kAuto), k150);
    EXPECT_EQ(config.saved(), "scale=auto\n");
    EXPECT_EQ(first.checkedAfterOpen(), kAuto);
    // Nothing but the settings file is left in its folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(config.file().parent_path()), {}), 1);
}

TEST_F(ScaleMenuTest, ASettingsFileThatCannotBeReadLeavesTheScaleAtAuto)
{
    const std::vector<std::string> unusable = {
        "",
        "scale=1.5\n",
        "scale=150abc\n",
        "scale=400\n",
        "scale=-150\n",
        "scale=0150\n",
        std::string("\x89PNG\r\n\x1a\n\0\0scale", 14),
        "scale\n150\n",
        std::string(100 * 1024, 'x') + "\nscale=150\n",
    };
    for (const std::string& text : unusable)
    {
        config.write(text);
        EXPECT_EQ(readUserScale(config.file()), 0.0) << text.substr(0, 20);
    }
    // Whatever is around the setting, the last scale line counts.
    config.write("# by hand\r\n[window]\r\n  scale = 200 \r\nscale=175\r\n");
    EXPECT_EQ(readUserScale(config.file()), 1.75);

    fs::remove(config.file());
    EXPECT_EQ(readUserScale(config.file()), 0.0);
    fs::create_directory(config.file()); // a folder where the file should be
    EXPECT_EQ(readUserScale(config.file()), 0.0);
    fs::remove(config.file());
    // A FIFO would block the window's opening if it were read.
    ASSERT_EQ(mkfifo(config.file().c_str(), 0600), 0);
    Window window;
    window.open();
    EXPECT_EQ(window.choose(-1), kAuto);
}

TEST_F(ScaleMenuTest, ARewriteKeepsTheOtherSettingsAndDropsTheDamage)
{
    config.write("[window]\nscale=125\ntheme = dark\n\x01\x02garbage\n; note\n");
    EXPECT_TRUE(writeUserScale(config.file(), 1.5));
    EXPECT_EQ(config.saved(), "[window]\ntheme = dark\n; note\nscale=150\n");
    EXPECT_FALSE(writeUserScale(fs::path(), 1.5));
}

TEST_F(ScaleMenuTest, AFailedSaveKeepsTheChoiceToItsOwnWindow)
{
    // The vendor's folder cannot be made: a file stands in its place.
    std::ofstream(config.folder / "Ostravelk") << "in the way";
    Window window;
    window.open();
    window.choose(k150);
    EXPECT_EQ(window.checkedAfterOpen(), k150);

    Window other;
    other.open();
    EXPECT_EQ(other.choose(-1), kAuto);
}

TEST_F(ScaleMenuTest, TheFileLivesUnderTheUsersConfigurationFolder)
{
    const fs::path expected = config.folder / "Ostravelk" / "Morvandell" / "settings.ini";
    EXPECT_EQ(settingsFile("Ostravelk", "Morvandell"), expected);

    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("XDG_CONFIG_HOME", "relative/config", 1); // not absolute: ignored
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(settingsFile("V", "P"), fs::path("/home/someone/.config/V/P/settings.ini"));
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    EXPECT_TRUE(settingsFile("V", "P").empty());
    EXPECT_EQ(readUserScale(settingsFile("V", "P")), 0.0);
    setenv("HOME", home.c_str(), 1);
}

} // namespace
