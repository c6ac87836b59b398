// What the program remembers comes back at the next start, shares the file with the windows'
// scale, and a damaged, strange or unreadable file means defaults, never a block or a crash.
#include "standalone/saved_state.h"

#include "editor/scale_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

using namespace standalone;
namespace fs = std::filesystem;

namespace
{

class SavedStateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char name[] = "/tmp/dranvelor-state-XXXXXX";
        folder = mkdtemp(name);
        file = folder / "settings.ini";
    }
    void TearDown() override { fs::remove_all(folder); }
    void write(const std::string& text)
    {
        std::ofstream out(file, std::ios::binary);
        out << text;
    }
    std::string contents()
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path folder;
    fs::path file;
};

StreamRequest usbStream()
{
    StreamRequest stream;
    stream.hostApi = "ALSA";
    stream.input = "USB Interface (hw:1,0):2";
    stream.output = "USB Interface (hw:1,0):3,4";
    stream.rate = 96000.0;
    stream.buffer = 128;
    return stream;
}

} // namespace

TEST_F(SavedStateTest, ComesBackAsItWasSavedBesideTheWindowsScale)
{
    write("# kept\nscale=150\n");
    ASSERT_TRUE(writeState(file, usbStream(), false, {0.7f, 0.3f, 0.8f, 1.0f}));
    const SavedState state = readState(file);
    EXPECT_EQ(*state.stream.hostApi, "ALSA");
    EXPECT_EQ(*state.stream.input, "USB Interface (hw:1,0):2");
    EXPECT_EQ(*state.stream.output, "USB Interface (hw:1,0):3,4");
    EXPECT_EQ(*state.stream.rate, 96000.0);
    EXPECT_EQ(*state.stream.buffer, 128);
    EXPECT_EQ(state.muted, false);
    EXPECT_EQ(*state.parameters[0], 0.7f);
    EXPECT_EQ(*state.parameters[1], 0.3f);
    EXPECT_EQ(*state.parameters[2], 0.8f);
    EXPECT_EQ(*state.parameters[3], 1.0f);
    EXPECT_EQ(readUserScale(file), 1.5);
    EXPECT_NE(contents().find("# kept\n"), std::string::npos);
    EXPECT_NE(contents().find("drive=0.7\n"), std::string::npos);

    // Saving again replaces the program's lines and keeps the rest.
    ASSERT_TRUE(writeState(file, usbStream(), true, {0.1f, 0.3f, 0.8f, 0.0f}));
    ASSERT_TRUE(writeUserScale(file, 2.0));
    const SavedState again = readState(file);
    EXPECT_EQ(again.muted, true);
    EXPECT_EQ(*again.parameters[0], 0.1f);
    EXPECT_EQ(contents().find("drive=0.7"), std::string::npos);
    EXPECT_EQ(readUserScale(file), 2.0);
}

TEST_F(SavedStateTest, NothingRememberedOnTheFirstStart)
{
    const SavedState state = readState(file);
    EXPECT_FALSE(state.muted.has_value());
    EXPECT_FALSE(state.stream.input.has_value());
    EXPECT_FALSE(state.parameters[0].has_value());
}

TEST_F(SavedStateTest, DamagedValuesReadAsNotRemembered)
{
    write("standalone.rate=22050\nstandalone.buffer=99999\nstandalone.mute=yes\n"
          "drive=2\ntone=abc\nlevel=\nbypass=nan\nstandalone.input=\n\x01\x02garbage\n"
          "standalone.output=system:1,2\n");
    const SavedState state = readState(file);
    EXPECT_FALSE(state.stream.rate.has_value());
    EXPECT_FALSE(state.stream.buffer.has_value());
    EXPECT_FALSE(state.muted.has_value());
    for (const auto& value : state.parameters)
        EXPECT_FALSE(value.has_value());
    EXPECT_FALSE(state.stream.input.has_value());
    EXPECT_EQ(*state.stream.output, "system:1,2");
}

TEST_F(SavedStateTest, AFileThatIsNoSettingsFileNeverBlocksOrBreaks)
{
    // A named pipe would block a reader that opened it.
    ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
    EXPECT_FALSE(readState(file).muted.has_value());
    fs::remove(file);

    fs::create_directory(file);
    EXPECT_FALSE(readState(file).stream.rate.has_value());
    EXPECT_FALSE(writeState(file, usbStream(), false, {}));
    fs::remove(file);

    write(std::string(200 * 1024, 'x'));
    EXPECT_FALSE(readState(file).stream.rate.has_value());

    // A device name with a line break stays one setting.
    StreamRequest odd = usbStream();
    odd.input = "Two\nLines:1";
    fs::remove(file);
    ASSERT_TRUE(writeState(file, odd, false, {}));
    EXPECT_EQ(*readState(file).stream.input, "Two Lines:1");
    EXPECT_EQ(*readState(file).stream.rate, 96000.0);
}
