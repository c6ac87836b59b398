// The whole product in a real window: the built DLL in a host window, real pointer and key
// input, and what the window then shows and the host then hears.
#include "window_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <psapi.h>
#include <string>
#include <thread>

namespace
{

// A field as it should look: its text in the fields' font, white and centred, over the
// background.
std::vector<unsigned> referenceField(const Area& field, const char* text)
{
    const int width = field.right - field.left;
    const int height = field.bottom - field.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP image = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previousImage = SelectObject(memory, image);
    auto* words = static_cast<unsigned*>(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            words[y * width + x] = backgroundOnScreen(field.left + x, field.top + y);

    LOGFONTA description{};
    description.lfHeight = -11;
    description.lfWeight = FW_NORMAL;
    description.lfCharSet = ANSI_CHARSET;
    description.lfOutPrecision = OUT_STRING_PRECIS;
    description.lfClipPrecision = CLIP_STROKE_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfPitchAndFamily = FF_SWISS | VARIABLE_PITCH;
    std::strcpy(description.lfFaceName, "Arial");
    HFONT font = CreateFontIndirectA(&description);
    HGDIOBJ previousFont = SelectObject(memory, font);
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, RGB(255, 255, 255));
    RECT box{0, 0, width, height};
    DrawTextA(memory, text, -1, &box, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    GdiFlush();

    std::vector<unsigned> result(words, words + width * height);
    for (unsigned& p : result)
        p &= 0xFFFFFF;
    SelectObject(memory, previousFont);
    DeleteObject(font);
    SelectObject(memory, previousImage);
    DeleteObject(image);
    DeleteDC(memory);
    return result;
}

class EditorWindowTest : public ::testing::Test
{
protected:
    void click(Spot where)
    {
        session.perform([&] { input::click(session.hostWindow(), where.x, where.y); });
    }
    void dragDrive(int dy)
    {
        session.perform(
            [&] { input::drag(session.hostWindow(), kDriveKnobCentre.x, kDriveKnobCentre.y, dy); });
    }
    void typeIntoDriveField(const char* text)
    {
        click(kDriveFieldCentre);
        session.perform([&] { input::type(text); });
    }
    WindowSession session;
};

TEST_F(EditorWindowTest, OpeningShowsTheKnobFramesAndTextsOfTheParameters)
{
    session.setParameter(0, 0.25f);
    session.setParameter(1, 0.5f);
    session.setParameter(2, 1.0f);
    session.setParameter(3, 0.0f);
    session.openEditor();
    const Capture shown = session.capture();

    EXPECT_EQ(knobMismatches(shown, 0, "knob_drive.png", 33), 0);
    EXPECT_EQ(knobMismatches(shown, 1, "knob_tone.png", 67), 0);
    EXPECT_EQ(knobMismatches(shown, 2, "knob_level.png", 134), 0);
    EXPECT_EQ(shown.area(fieldOf(0)), referenceField(fieldOf(0), "2.50"));
    EXPECT_EQ(shown.area(fieldOf(1)), referenceField(fieldOf(1), "5.00"));
    EXPECT_EQ(shown.area(fieldOf(2)), referenceField(fieldOf(2), "10.00"));
    EXPECT_EQ(pictureMismatches(shown, kBypassArea, skinImage("bypass.png"), 0, 0), 0);
}

TEST_F(EditorWindowTest, DraggingDriveUpInLinearModeAutomatesRisingValues)
{
    session.openEditor();
    dragDrive(-60);
    const std::vector<std::string> traffic = WindowSession::takeTraffic();

    ASSERT_GE(traffic.size(), 3u);
    EXPECT_EQ(traffic.front(), "begin 0");
    EXPECT_EQ(traffic.back(), "end 0");
    const std::vector<float> values = automated(traffic, 0);
    ASSERT_FALSE(values.empty());
    ASSERT_EQ(values.size() + 2, traffic.size()) << "only index 0 is automated";
    for (size_t i = 1; i < values.size(); ++i)
        EXPECT_GT(values[i], values[i - 1]);
    EXPECT_NEAR(values.back(), 0.8f, 0.011f); // 60 pixels of 0.005 from 0.5
    EXPECT_NEAR(session.getParameter(0), values.back(), 1e-5f);

    char text[16];
    std::snprintf(text, sizeof text, "%2.2f", static_cast<double>(values.back() * 10.0f));
    EXPECT_EQ(session.capture().area(kDriveField), referenceField(kDriveField, text));
}

TEST_F(EditorWindowTest, TypedDriveValuesAreCheckedAndRepeatsSendNothing)
{
    session.setParameter(2, 1.0f); // the Level field then shows 10.00
    session.openEditor();

    typeIntoDriveField("12\r");
    std::vector<std::string> traffic = WindowSession::takeTraffic();
    EXPECT_EQ(automated(traffic, 0), std::vector<float>{1.0f});
    EXPECT_EQ(session.getParameter(0), 1.0f);
    Capture shown = session.capture();
    EXPECT_EQ(shown.area(kDriveField), shown.area(kLevelField));
    EXPECT_EQ(shown.area(kDriveField), referenceField(kDriveField, "10.00"));

    typeIntoDriveField("abc\r");
    traffic = WindowSession::takeTraffic();
    EXPECT_TRUE(automated(traffic, 0).empty());
    EXPECT_EQ(session.getParameter(0), 1.0f);
    EXPECT_EQ(session.capture().area(kDriveField), referenceField(kDriveField, "10.00"));

    typeIntoDriveField("10.00\r");
    traffic = WindowSession::takeTraffic();
    ASSERT_FALSE(traffic.empty());
    for (const std::string& line : traffic)
        EXPECT_TRUE(line == "begin 5" || line == "end 5") << line;
    EXPECT_EQ(traffic.front(), "begin 5");
}

TEST_F(EditorWindowTest, BypassButtonTogglesTheParameterAndItsPicture)
{
    session.openEditor();
    click(kBypassCentre);
    EXPECT_EQ(WindowSession::takeTraffic(),
              (std::vector<std::string>{"begin 3", "automate 3 1", "end 3"}));
    EXPECT_EQ(pictureMismatches(session.capture(), kBypassArea, skinImage("bypass.png"), 0, 30), 0);

    click(kBypassCentre);
    EXPECT_EQ(WindowSession::takeTraffic(),
              (std::vector<std::string>{"begin 3", "automate 3 0", "end 3"}));
    EXPECT_EQ(pictureMismatches(session.capture(), kBypassArea, skinImage("bypass.png"), 0, 0), 0);
}

TEST_F(EditorWindowTest, SplashAreaShowsTheAboutPictureUntilClicked)
{
    session.openEditor();
    const Capture before = session.capture();
    const Picture& about = skinImage("about.png");
    const Area display{150, 7, 150 + about.width, 7 + about.height};

    click(kLeftSplashCentre);
    EXPECT_EQ(pictureMismatches(session.capture(), display, about, 0, 0), 0);
    click(kPictureCentre);
    EXPECT_EQ(session.capture().pixels, before.pixels);
    EXPECT_TRUE(WindowSession::takeTraffic().empty());
}

TEST_F(EditorWindowTest, RightSplashAreaSelectsLinearDraggingAcrossReopening)
{
    session.openEditor();
    // Circular first, through the left area: a drag straight up from the centre then points
    // the knob at the top, the middle of its sweep.
    click(kLeftSplashCentre);
    click(kPictureCentre);
    session.closeEditor();
    session.dispatch(effSetEditKnobMode, 0, 2);
    session.openEditor();
    dragDrive(-40);
    std::vector<float> values = automated(WindowSession::takeTraffic(), 0);
    ASSERT_FALSE(values.empty());
    EXPECT_NEAR(values.back(), 0.5f, 0.02f);

    session.setParameter(0, 0.5f);
    click(kRightSplashCentre);
    click(kPictureCentre);
    session.closeEditor();
    session.dispatch(effSetEditKnobMode, 0, 0);
    session.openEditor();
    dragDrive(-40);
    values = automated(WindowSession::takeTraffic(), 0);
    ASSERT_FALSE(values.empty());
    EXPECT_NEAR(values.back(), 0.7f, 0.011f);
}

TEST_F(EditorWindowTest, ChangesWhileClosedAreShownAtTheNextOpen)
{
    session.openEditor();
    session.closeEditor();
    session.setParameter(0, 1.0f);
    session.openEditor();
    EXPECT_EQ(knobMismatches(session.capture(), 0, "knob_drive.png", 134), 0);
}

TEST_F(EditorWindowTest, AutomationFromAnotherThreadIsDrawnAtTheNextIdleOnly)
{
    session.openEditor();
    const Capture before = session.capture();
    std::thread automation([&] { session.setParameter(0, 0.9f); });
    automation.join();
    session.settle(false);
    EXPECT_EQ(session.capture().pixels, before.pixels);

    session.settle();
    EXPECT_EQ(knobMismatches(session.capture(), 0, "knob_drive.png", 120), 0);
}

TEST_F(EditorWindowTest, ShortClicksAreNotLost)
{
    session.openEditor();
    session.perform([&] { input::tap(session.hostWindow(), kBypassCentre.x, kBypassCentre.y); });
    EXPECT_EQ(WindowSession::takeTraffic(),
              (std::vector<std::string>{"begin 3", "automate 3 1", "end 3"}));

    session.perform(
        [&] { input::tap(session.hostWindow(), kDriveFieldCentre.x, kDriveFieldCentre.y); });
    session.perform([&] { input::type("3\r"); });
    std::vector<std::string> traffic = WindowSession::takeTraffic();
    EXPECT_EQ(automated(traffic, 0), std::vector<float>{0.3f});
    ASSERT_FALSE(traffic.empty());
    EXPECT_EQ(traffic.front(), "begin 5");
}

TEST_F(EditorWindowTest, AnyNonZeroBypassShowsOnAndOneClickTurnsItOff)
{
    session.setParameter(3, 0.3f);
    session.openEditor();
    EXPECT_EQ(pictureMismatches(session.capture(), kBypassArea, skinImage("bypass.png"), 0, 30), 0);
    click(kBypassCentre);
    EXPECT_EQ(WindowSession::takeTraffic(),
              (std::vector<std::string>{"begin 3", "automate 3 0", "end 3"}));
    EXPECT_EQ(session.getParameter(3), 0.0f);
    EXPECT_EQ(pictureMismatches(session.capture(), kBypassArea, skinImage("bypass.png"), 0, 0), 0);
}

TEST_F(EditorWindowTest, ClosingWithTheDriveFieldOpenEndsItsEdit)
{
    session.openEditor();
    click(kDriveFieldCentre);
    session.closeEditor();
    EXPECT_EQ(WindowSession::takeTraffic(), (std::vector<std::string>{"begin 5", "end 5"}));
}

// The host's audio thread automates everything while its UI thread opens, idles and closes the
// window: nothing crashes, and the window then shows the last values.
TEST_F(EditorWindowTest, AutomationStormWhileTheWindowOpensAndCloses)
{
    std::atomic<bool> running{true};
    std::atomic<long> blocks{0};
    float last[4] = {};
    std::thread audio(
        [&]
        {
            std::vector<float> in(64, 0.25f), out(64);
            unsigned seed = 1;
            for (long block = 0; running.load(std::memory_order_relaxed); ++block)
            {
                if (block % 8 == 0)
                    session.dispatch(effSetProgram, 0, block / 8 % 16);
                for (VstInt32 index = 0; index < 4; ++index)
                {
                    seed = seed * 1664525u + 1013904223u;
                    last[index] = static_cast<float>(seed >> 8) / 16777216.0f;
                    session.setParameter(index, last[index]);
                }
                session.process(in.data(), out.data(), 64);
                blocks.store(block + 1);
            }
        });
    // Each window stays open for two idle calls at least, and until the storm has gone through two
    // program changes and their blocks, however the two threads are scheduled.
    int stormed = 0;
    for (int opening = 0; opening < 12; ++opening)
    {
        session.dispatch(effEditOpen, 0, 0, session.hostWindow());
        const long start = blocks.load();
        int settled = 0;
        if (session.settleUntil([&] { return ++settled > 2 && blocks.load() >= start + 16; }))
            ++stormed;
        session.closeEditor();
    }
    running = false;
    audio.join();
    EXPECT_EQ(stormed, 12);

    session.openEditor();
    const Capture shown = session.capture();
    const char* const strips[] = {"knob_drive.png", "knob_tone.png", "knob_level.png"};
    for (int knob = 0; knob < 3; ++knob)
    {
        const int frame = static_cast<int>(last[knob] * 9380.0f) / 70; // as the knob rounds
        EXPECT_EQ(knobMismatches(shown, knob, strips[knob], frame), 0) << knob;
        char text[16];
        std::snprintf(text, sizeof text, "%2.2f", static_cast<double>(last[knob] * 10.0f));
        EXPECT_EQ(shown.area(fieldOf(knob)), referenceField(fieldOf(knob), text)) << knob;
    }
    const int bypassTop = last[3] != 0.0f ? 30 : 0;
    EXPECT_EQ(pictureMismatches(shown, kBypassArea, skinImage("bypass.png"), 0, bypassTop), 0);
}

// Free slots of the process's GDI handle table: Wine does not count objects per process, so
// objects in use are found as the slots that can no longer be had.
int freeGdiSlots()
{
    static std::vector<HBRUSH> brushes(70000);
    size_t count = 0;
    while (count < brushes.size() && (brushes[count] = CreateSolidBrush(RGB(1, 2, 3))))
        ++count;
    for (size_t i = 0; i < count; ++i)
        DeleteObject(brushes[i]);
    return static_cast<int>(count);
}

BOOL CALLBACK countWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int childWindows(HWND window)
{
    int count = 0;
    EnumChildWindows(window, countWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

size_t privateBytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

TEST_F(EditorWindowTest, OpeningAndClosingTwoHundredTimesLeaksNothing)
{
    session.openEditor(); // first use: window class, blend library, caches
    session.closeEditor();
    session.settle();
    const int gdiBefore = freeGdiSlots();
    const size_t memoryBefore = privateBytes();

    for (int i = 0; i < 200; ++i)
    {
        session.dispatch(effEditOpen, 0, 0, session.hostWindow());
        session.settle();
        session.closeEditor();
    }
    session.settle();

    EXPECT_EQ(freeGdiSlots(), gdiBefore);
    EXPECT_EQ(childWindows(session.hostWindow()), 0);
    // One leaked window would hold its three decoded film strips, about 8 MB.
    EXPECT_LT(privateBytes(), memoryBefore + 4 * 1024 * 1024);
}

} // namespace

namespace
{

// The scale the window should take on this prefix's screen: run through scripts/wine-dpi.sh,
// DRANVELOR_EXPECTED_SCALE tells it; 0 (the tests skip) otherwise.
double expectedScale()
{
    const char* scale = std::getenv("DRANVELOR_EXPECTED_SCALE");
    return scale ? std::atof(scale) : 0.0;
}

Spot scaled(Spot where, double scale)
{
    return Spot{static_cast<int>(where.x * scale + 0.5), static_cast<int>(where.y * scale + 0.5)};
}

TEST_F(EditorWindowTest, OnADenseScreenTheWindowIsScaledAndInputLandsOnTheLayout)
{
    const double scale = expectedScale();
    if (scale == 0.0)
        GTEST_SKIP() << "needs a prefix with LogPixels set (scripts/wine-dpi.sh)";
    session.setParameter(0, 0.5f);
    session.setParameter(3, 0.0f);
    session.openEditor();
    HWND frame = FindWindowExA(session.hostWindow(), nullptr, nullptr, nullptr);
    ASSERT_NE(frame, nullptr);
    RECT client{};
    GetClientRect(frame, &client);
    EXPECT_EQ(client.right, static_cast<int>(630 * scale + 0.5));
    EXPECT_EQ(client.bottom, static_cast<int>(140 * scale + 0.5));
    // Drawn for the screen's scale: as sharp as at 1x, unlike a stretched 1x picture.
    EXPECT_EQ(sharpnessFault(session.capture(), scale), ""); // drawn once opened

    const Spot drive = scaled(kDriveKnobCentre, scale);
    session.perform(
        [&]
        { input::drag(session.hostWindow(), drive.x, drive.y, static_cast<int>(-60 * scale)); });
    const std::vector<float> values = automated(WindowSession::takeTraffic(), 0);
    ASSERT_FALSE(values.empty());
    for (size_t i = 1; i < values.size(); ++i)
        EXPECT_GT(values[i], values[i - 1]);
    EXPECT_NEAR(values.back(), 0.8f, 0.011f); // 60 layout units, as far as at 1x

    click(scaled(kBypassCentre, scale));
    EXPECT_EQ(WindowSession::takeTraffic(),
              (std::vector<std::string>{"begin 3", "automate 3 1", "end 3"}));

    click(scaled(kDriveFieldCentre, scale));
    session.perform([&] { input::type("12\r"); });
    EXPECT_EQ(automated(WindowSession::takeTraffic(), 0), std::vector<float>{1.0f});
}

} // namespace
