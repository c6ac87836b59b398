// The Linux window at a scale: the host's content-scale call before opening and while open, and
// the X server's Xft.dpi, with real input at the scaled positions.
#include "editor_process.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

namespace
{

// Pixels of the Drive knob at scale that differ from its frame drawn for that scale over the
// background.
int scaledKnobMismatches(const Capture& shown, double scale, int frame)
{
    const auto at = [scale](int units) { return static_cast<int>(units * scale + 0.5); };
    const Picture& under = skinAt("background", scale);
    const Picture& frames = skinAt("knob_drive", scale);
    const int side = static_cast<int>(std::ceil(kKnobSize * scale - 1e-9));
    int mismatches = 0;
    for (int y = at(kKnobTop); y < at(kKnobTop + kKnobSize); ++y)
        for (int x = at(kKnobLefts[0]); x < at(kKnobLefts[0] + kKnobSize); ++x)
            mismatches += shown.pixel(x, y) != onScreen(frames, x - at(kKnobLefts[0]),
                                                        frame * side + y - at(kKnobTop),
                                                        onScreen(under, x, y, 0));
    return mismatches;
}

TEST(EditorScaleX11, TheHostFactorSizesTheWindowAndANewOneWhileOpenAsksForItsSize)
{
    EditorProcess editor({"Drive=0.25"}, 1.5, {"--scale", "1.5", "--rescale", "2"});
    EXPECT_TRUE(editor.waitForSize(945, 210));
    ASSERT_TRUE(editor.waitForLine("size 1260 280"));
    editor.setScale(2.0);
    EXPECT_TRUE(editor.waitForSize(1260, 280));
    // The host resizes its window first; the editor has drawn the new skin once waitForSize has
    // seen it idle.
    EXPECT_EQ(scaledKnobMismatches(editor.capture(), 2.0, 33), 0);
}

class EditorXftDpi : public ::testing::TestWithParam<int>
{
};

// On screens of 125 to 300 %, the window takes the screen's scale, is drawn sharp for it and
// takes real input at the scaled positions as at 1x.
TEST_P(EditorXftDpi, TheWindowTakesTheScreensScaleIsSharpAndActsAsAt1x)
{
    const int dpi = GetParam();
    const double scale = dpi / 96.0;
    if (screenWidth() < std::ceil(630 * scale))
        GTEST_SKIP() << "the screen is too narrow for the window (editor_x11_e2e_tests_large)";
    const std::string text = "Xft.dpi: " + std::to_string(dpi) + "\n";
    const ServerResources resources(text.c_str());
    EditorProcess editor({"Drive=0.5", "Bypass=0"}, scale);
    const auto size = [scale](int units)
    { return static_cast<int>(std::ceil(units * scale - 1e-3)); };
    ASSERT_TRUE(editor.waitForSize(size(630), size(140)));
    // Drawn once waitForSize has seen it idle: the knob at its frame of Drive 0.5.
    EXPECT_EQ(scaledKnobMismatches(editor.capture(), scale, 67), 0);
    EXPECT_EQ(sharpnessFault(editor.capture(), scale), "");

    editor.drag(kDriveKnobCentre, -60); // 60 layout units, 120 pixels
    const std::vector<float> values = automated(editor.takeTraffic(), 0);
    ASSERT_FALSE(values.empty());
    for (size_t i = 1; i < values.size(); ++i)
        EXPECT_GT(values[i], values[i - 1]);
    EXPECT_NEAR(values.back(), 0.8f, 0.011f); // as far as at 1x

    editor.click(kBypassCentre);
    EXPECT_EQ(editor.takeTraffic(), (std::vector<std::string>{"begin 3", "automate 3 1", "end 3"}));

    editor.click(kDriveFieldCentre);
    editor.keys("1 2 Return");
    EXPECT_EQ(automated(editor.takeTraffic(), 0), std::vector<float>{1.0f});
}

INSTANTIATE_TEST_SUITE_P(Screens, EditorXftDpi, ::testing::Values(120, 168, 192));
// Windows wider than the usual test screen.
INSTANTIATE_TEST_SUITE_P(LargeScreens, EditorXftDpi, ::testing::Values(240, 288));

} // namespace
