// The Linux window at a scale: the host's content-scale call before opening and while open, and
// the X server's Xft.dpi, with real input at the scaled positions.
#include "editor_process.h"

#include <gtest/gtest.h>

#include <utility>

namespace
{

// Pixels of a knob at scale that differ from its strip's frame of that scale over the background.
int scaledKnobMismatches(const Capture& shown, double scale, const char* background,
                         const char* strip, int frame)
{
    const auto at = [scale](int units) { return static_cast<int>(units * scale + 0.5); };
    const Picture& under = skin(background);
    const Picture& frames = skin(strip);
    int mismatches = 0;
    for (int y = at(kKnobTop); y < at(kKnobTop + kKnobSize); ++y)
        for (int x = at(kKnobLefts[0]); x < at(kKnobLefts[0] + kKnobSize); ++x)
            mismatches += shown.pixel(x, y) != onScreen(frames, x - at(kKnobLefts[0]),
                                                        at(frame * kKnobSize) + y - at(kKnobTop),
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
    if (!hasSkin("background_200.png") || !hasSkin("knob_drive_200.png"))
        GTEST_SKIP() << "the 2x skin is not made yet";
    // The host resizes its window first; the editor has drawn the new skin once waitForSize has
    // seen it idle.
    EXPECT_EQ(
        scaledKnobMismatches(editor.capture(), 2.0, "background_200.png", "knob_drive_200.png", 33),
        0);
}

TEST(EditorScaleX11, AtXftDpi192TheWindowIsTwiceAsLargeAndActsAsAt1x)
{
    const ServerResources dpi("Xft.dpi: 192\n");
    EditorProcess editor({"Drive=0.5", "Bypass=0"}, 2.0);
    EXPECT_TRUE(editor.waitForSize(1260, 280));

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

} // namespace
