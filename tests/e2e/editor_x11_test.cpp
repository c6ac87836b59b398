// The Linux plug-in in a real X11 window: Dranvelor.so in vsthost edit, real pointer and key
// input, and what the window then shows and the host then hears.
#include "editor_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace
{

// The smallest area holding every pixel of field that differs from the background.
Area inkOf(const Capture& shown, const Area& field)
{
    Area ink{field.right, field.bottom, field.left, field.top};
    for (int y = field.top; y < field.bottom; ++y)
        for (int x = field.left; x < field.right; ++x)
            if (shown.pixel(x, y) != backgroundOnScreen(x, y))
                ink = Area{std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
                           std::max(ink.bottom, y + 1)};
    return ink;
}

// Twice the offset of the ink's centre from the field's centre, per axis.
void expectCentred(const Capture& shown, const Area& field)
{
    const Area ink = inkOf(shown, field);
    ASSERT_LT(ink.left, ink.right) << "no text in the field at x " << field.left;
    EXPECT_GE(ink.right - ink.left, 15) << "a value of four or five characters";
    EXPECT_NEAR(ink.left + ink.right, field.left + field.right, 3) << "at x " << field.left;
    EXPECT_NEAR(ink.top + ink.bottom, field.top + field.bottom, 4) << "at x " << field.left;
}

std::string setting(const char* name, float value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%s=%.9g", name, static_cast<double>(value));
    return text;
}

TEST(EditorX11, OpeningShowsTheSkinExactlyAndCentredValues)
{
    EditorProcess editor({"Drive=0.25", "Tone=0.5", "Level=1", "Bypass=0"});
    const Capture shown = editor.capture();

    EXPECT_EQ(knobMismatches(shown, 0, "knob_drive.png", 33), 0);
    EXPECT_EQ(knobMismatches(shown, 1, "knob_tone.png", 67), 0);
    EXPECT_EQ(knobMismatches(shown, 2, "knob_level.png", 134), 0);
    EXPECT_EQ(pictureMismatches(shown, kBypassArea, skinImage("bypass.png"), 0, 0), 0);
    const Picture& background = skinImage("background.png");
    EXPECT_EQ(pictureMismatches(shown, Area{0, 0, 630, kKnobTop}, background, 0, 0), 0);
    EXPECT_EQ(pictureMismatches(shown, Area{0, 0, kKnobLefts[0], 140}, background, 0, 0), 0);
    for (int knob = 0; knob < 3; ++knob)
        expectCentred(shown, fieldOf(knob));
    // The same text looks the same in every field.
    EditorProcess same({"Drive=1", "Level=1"});
    EXPECT_EQ(same.capture().area(fieldOf(0)), shown.area(fieldOf(2)));
}

TEST(EditorX11, DraggingDriveUpAutomatesRisingValuesAndTheFieldFollows)
{
    EditorProcess editor({"Drive=0.5"});
    editor.drag(kDriveKnobCentre, -60);
    const std::vector<std::string> traffic = editor.takeTraffic();

    ASSERT_GE(traffic.size(), 3u);
    EXPECT_EQ(traffic.front(), "begin 0");
    EXPECT_EQ(traffic.back(), "end 0");
    const std::vector<float> values = automated(traffic, 0);
    ASSERT_FALSE(values.empty());
    ASSERT_EQ(values.size() + 2, traffic.size()) << "only index 0 is automated";
    for (size_t i = 1; i < values.size(); ++i)
        EXPECT_GT(values[i], values[i - 1]);
    EXPECT_NEAR(values.back(), 0.8f, 0.011f); // 60 pixels of 0.005 from 0.5

    // The window shows what a fresh one shows for the final value.
    const Capture dragged = editor.capture();
    EditorProcess fresh({setting("Drive", values.back())});
    const Capture expected = fresh.capture();
    EXPECT_EQ(dragged.area(kDriveField), expected.area(kDriveField));
    const Area knob{kKnobLefts[0], kKnobTop, kKnobLefts[0] + kKnobSize, kKnobTop + kKnobSize};
    EXPECT_EQ(dragged.area(knob), expected.area(knob));
}

TEST(EditorX11, BypassButtonTogglesTheParameterAndItsPicture)
{
    EditorProcess editor({"Bypass=0"});
    editor.click(kBypassCentre);
    EXPECT_EQ(editor.takeTraffic(), (std::vector<std::string>{"begin 3", "automate 3 1", "end 3"}));
    EXPECT_EQ(pictureMismatches(editor.capture(), kBypassArea, skinImage("bypass.png"), 0, 30), 0);

    editor.tap(kBypassCentre); // the press counts though the button is up when it is handled
    EXPECT_EQ(editor.takeTraffic(), (std::vector<std::string>{"begin 3", "automate 3 0", "end 3"}));
    EXPECT_EQ(pictureMismatches(editor.capture(), kBypassArea, skinImage("bypass.png"), 0, 0), 0);
}

TEST(EditorX11, TypedValuesAreTakenOnReturnAndDroppedOnEscape)
{
    EditorProcess editor({"Drive=0.5", "Level=1"}); // the Level field shows 10.00

    editor.click(kDriveFieldCentre);
    editor.keys("1 2 Return");
    EXPECT_EQ(automated(editor.takeTraffic(), 0), std::vector<float>{1.0f});
    Capture shown = editor.capture();
    EXPECT_EQ(shown.area(kDriveField), shown.area(kLevelField));

    editor.click(kDriveFieldCentre);
    editor.keys("BackSpace 7");
    EXPECT_NE(editor.capture().area(kDriveField), shown.area(kDriveField)) << "the box shows 7";
    editor.keys("Escape");
    EXPECT_TRUE(automated(editor.takeTraffic(), 0).empty());
    EXPECT_EQ(editor.capture().pixels, shown.pixels);
}

TEST(EditorX11, TheWheelTurnsTheKnobUnderThePointer)
{
    EditorProcess editor({"Tone=0.5"});
    const Capture before = editor.capture();
    const Spot toneCentre{kKnobLefts[1] + kKnobSize / 2, kKnobTop + kKnobSize / 2};
    editor.wheel(toneCentre, 3);
    const std::vector<float> values = automated(editor.takeTraffic(), 1);
    ASSERT_FALSE(values.empty());
    EXPECT_GT(values.back(), 0.5f);
    const Area knob{kKnobLefts[1], kKnobTop, kKnobLefts[1] + kKnobSize, kKnobTop + kKnobSize};
    EXPECT_NE(editor.capture().area(knob), before.area(knob));
}

TEST(EditorX11, SplashAreaShowsTheAboutPictureUntilClicked)
{
    EditorProcess editor;
    const Capture before = editor.capture();
    const Picture& about = skinImage("about.png");
    const Area display{150, 7, 150 + about.width, 7 + about.height};

    editor.click(kLeftSplashCentre);
    EXPECT_EQ(pictureMismatches(editor.capture(), display, about, 0, 0), 0);
    editor.click(kPictureCentre);
    EXPECT_EQ(editor.capture().pixels, before.pixels);
    EXPECT_TRUE(editor.takeTraffic().empty());
}

} // namespace
