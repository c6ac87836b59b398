// The frame's child window under a real host window: painting from the back buffer, clicks and
// the wheel through the window procedure, the shared window class, cursors and sizes.
#include "win32_fixture.h"

#include <cstdio>
#include <utility>

namespace
{

using namespace VSTGUI;
using namespace win32_fixture;

using FrameWindow = HostWindow;

std::string expectedClassName()
{
    char name[64];
    std::snprintf(name, sizeof name, "Plugin%p", VSTGUI::platform::getModuleHandle());
    return name;
}

bool classRegistered()
{
    WNDCLASSA info;
    return GetClassInfoA(static_cast<HINSTANCE>(VSTGUI::platform::getModuleHandle()),
                         expectedClassName().c_str(), &info) != 0;
}

// A left click with the real pointer at a client position of window.
void realClick(HWND window, LONG x, LONG y)
{
    POINT target{x, y};
    ClientToScreen(window, &target);
    SetCursorPos(target.x, target.y);
    INPUT inputs[2]{};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, inputs, sizeof(INPUT)), 2u);
    pump();
}

// A group at (20, 10) holding a red view at (10, 10) of it, 40 x 40.
PaintedView* addGroupWithView(CFrame& frame)
{
    auto* group = new CViewContainer(CRect(20, 10, 120, 90), &frame);
    auto* view = new PaintedView(CRect(10, 10, 50, 50), kRedCColor);
    group->addView(view);
    frame.addView(group);
    return view;
}

TEST_F(FrameWindow, ChildWindowShowsTheTreeFromTheBackBuffer)
{
    auto* frame = new CFrame(CRect(0, 0, 200, 100), host, nullptr);
    HWND window = handleOf(*frame);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetParent(window), host);
    EXPECT_TRUE(IsWindowVisible(window));
    char name[64];
    GetClassNameA(window, name, sizeof name);
    EXPECT_EQ(std::string(name), expectedClassName());

    frame->setBackgroundColor(kBlueCColor);
    frame->addView(new PaintedView(CRect(10, 10, 50, 50), kRedCColor));
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    pump();

    HDC device = GetDC(window);
    EXPECT_EQ(GetPixel(device, 20, 20), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(device, 100, 50), RGB(0, 0, 255));
    ReleaseDC(window, device);
    delete frame;
}

TEST_F(FrameWindow, RealClickReachesTheViewInItsParentsCoordinates)
{
    auto* frame = new CFrame(CRect(0, 0, 200, 100), host, nullptr);
    PaintedView* view = addGroupWithView(*frame);
    pump();

    realClick(handleOf(*frame), 35, 25);

    ASSERT_EQ(view->clicks.size(), 1u);
    EXPECT_EQ(view->clicks[0], CPoint(15, 15));
    delete frame;
}

TEST_F(FrameWindow, AtAScaleTheLayoutIsDrawnAndClickedInScaledPixels)
{
    auto* frame = new CFrame(CRect(0, 0, 200, 100), host, nullptr, 1.5);
    HWND window = handleOf(*frame);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 150);
    frame->setBackgroundColor(kBlueCColor);
    PaintedView* view = addGroupWithView(*frame);
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    pump();

    // The view covers layout (30, 20) to (70, 60): pixels 45 to 104 and 30 to 89.
    HDC device = GetDC(window);
    EXPECT_EQ(GetPixel(device, 45, 30), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(device, 104, 89), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(device, 44, 30), RGB(0, 0, 0)); // the group's own black around it
    EXPECT_EQ(GetPixel(device, 105, 89), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(device, 29, 14), RGB(0, 0, 255)); // the frame's blue around the group
    EXPECT_EQ(GetPixel(device, 180, 135), RGB(0, 0, 255));
    ReleaseDC(window, device);

    realClick(window, 52, 37); // layout (35, 25)
    ASSERT_EQ(view->clicks.size(), 1u);
    EXPECT_EQ(view->clicks[0], CPoint(15, 15));

    // A screen change without an editor has nobody to pick a scale: nothing changes.
    SendMessageA(window, 0x02E3 /* WM_DPICHANGED_AFTERPARENT */, 0, 0);
    EXPECT_EQ(frame->getScale(), 1.5);
    delete frame;
}

TEST_F(FrameWindow, WheelNotchIsOneStepAndStillReachesTheParent)
{
    auto* frame = new CFrame(CRect(0, 0, 200, 100), host, nullptr);
    auto* view = new PaintedView(CRect(10, 10, 50, 50), kRedCColor);
    frame->addView(view);

    POINT target{20, 20};
    ClientToScreen(handleOf(*frame), &target);
    SendMessageA(handleOf(*frame), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA),
                 MAKELPARAM(target.x, target.y));
    ASSERT_EQ(view->wheel.size(), 1u);
    EXPECT_FLOAT_EQ(view->wheel[0], 1.0f);
    EXPECT_EQ(hostWheelMessages(), 1);

    SendMessageA(handleOf(*frame), WM_MOUSEWHEEL,
                 MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)),
                 MAKELPARAM(target.x, target.y));
    ASSERT_EQ(view->wheel.size(), 2u);
    EXPECT_FLOAT_EQ(view->wheel[1], -2.0f);
    delete frame;
}

TEST_F(FrameWindow, FramesShareOneClassUntilTheLastWindowGoes)
{
    EXPECT_FALSE(classRegistered());
    auto* first = new CFrame(CRect(0, 0, 100, 100), host, nullptr);
    auto* second = new CFrame(CRect(0, 0, 100, 100), host, nullptr);
    ASSERT_NE(handleOf(*second), nullptr);
    EXPECT_TRUE(classRegistered());
    delete first;
    EXPECT_TRUE(classRegistered());
    EXPECT_TRUE(IsWindow(handleOf(*second)));
    delete second;
    EXPECT_FALSE(classRegistered());
}

TEST_F(FrameWindow, HostClosingItsWindowClosesTheFrame)
{
    auto* frame = new CFrame(CRect(0, 0, 100, 100), host, nullptr);
    EXPECT_TRUE(frame->isOpen());
    DestroyWindow(host);
    host = nullptr;
    EXPECT_FALSE(frame->isOpen());
    EXPECT_EQ(frame->getParentWindow(), nullptr);
    frame->idle();
    delete frame;
    EXPECT_FALSE(classRegistered());
}

TEST_F(FrameWindow, EachKindShowsItsSystemCursorAndSevenTheSavedOne)
{
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    SetCursor(arrow);
    auto* frame = new CFrame(CRect(0, 0, 100, 100), host, nullptr);
    const std::pair<CursorKind, LPCSTR> shapes[] = {{CursorKind::wait, IDC_WAIT},
                                                    {CursorKind::resizeLeftRight, IDC_SIZEWE},
                                                    {CursorKind::resizeUpDown, IDC_SIZENS},
                                                    {CursorKind::move, IDC_SIZEALL},
                                                    {CursorKind::resizeRising, IDC_SIZENESW},
                                                    {CursorKind::resizeFalling, IDC_SIZENWSE},
                                                    {CursorKind::notAllowed, IDC_NO},
                                                    {CursorKind::hand, IDC_HAND}};
    for (const auto& [kind, shape] : shapes)
    {
        frame->setCursor(kind);
        EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, shape)) << static_cast<int>(kind);
    }
    frame->setCursor(static_cast<CursorKind>(7));
    EXPECT_EQ(GetCursor(), arrow);
    delete frame;
}

TEST_F(FrameWindow, SizesAndPositions)
{
    auto* frame = new CFrame(CRect(0, 0, 120, 80), host, nullptr);
    EXPECT_FALSE(frame->setSize(120, 80));

    // The host window is much larger than the frame's: the frame window is the outer one.
    int32_t x = -1;
    int32_t y = -1;
    EXPECT_TRUE(frame->getPosition(x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);

    // Without a host that resizes, the frame grows its window up to the host's own window.
    EXPECT_TRUE(frame->setSize(150, 90));
    RECT client;
    GetClientRect(handleOf(*frame), &client);
    EXPECT_EQ(client.right, 150);
    EXPECT_EQ(client.bottom, 90);
    delete frame;
}

} // namespace
