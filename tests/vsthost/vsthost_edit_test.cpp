// vsthost edit with the test plug-in's editor under a real window system: the window shows the
// editor's pixels, and every gesture the editor reports reaches stdout as it happens.
#include "run_tool.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>

namespace
{

using ::testing::HasSubstr;

const std::string kGain = TEST_GAIN_PLUGIN;

std::uint32_t littleEndian(const std::string& bytes, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
    {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

TEST(VsthostEdit, ShowsTheEditorAndPrintsItsGestures)
{
    const ToolResult result =
        runTool({"edit", kGain, "--seconds", "0.5", "--screenshot", "edit-shot.bmp"});

    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "begin 0\nautomate 0 0.75\nend 0\n");
    const std::string bmp = readFile("edit-shot.bmp");
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(littleEndian(bmp, 2, 4), bmp.size());
    EXPECT_EQ(littleEndian(bmp, 18, 4), 200u); // the editor's rectangle sized the client area
    EXPECT_EQ(littleEndian(bmp, 22, 4), 120u);
    EXPECT_EQ(littleEndian(bmp, 28, 2), 24u);
    const std::size_t rowBytes = 200 * 3; // already a multiple of 4
    ASSERT_EQ(bmp.size(), 54 + rowBytes * 120);
    for (std::size_t at = 54; at < bmp.size(); at += 3)
    {
        // The editor paints everything blue-grey; the file stores blue, green, red.
        ASSERT_EQ(littleEndian(bmp, at, 3), 0x208000u | 0xC0u) << "byte " << at;
    }
}

TEST(VsthostEdit, SavesPngScreenshotsAndAppliesSettingsFirst)
{
    const ToolResult result = runTool({"edit", kGain, "--set", "Gain=0.5", "--trace", "--seconds",
                                       "0.2", "--screenshot", "edit-shot.png"});

    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(readFile("edit-shot.png").substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_THAT(result.err, HasSubstr("host: audioMasterBeginEdit index 0"));
}

TEST(VsthostEdit, RejectsAScreenshotWithoutAnEnd)
{
    const ToolResult result = runTool({"edit", kGain, "--screenshot", "never.bmp"});

    EXPECT_EQ(result.exitCode, 2);
    EXPECT_THAT(result.err, HasSubstr("--screenshot needs --seconds"));
    EXPECT_FALSE(fileExists("never.bmp"));
}

} // namespace
