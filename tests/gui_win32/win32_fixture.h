// A real top-level window standing in for the host's window, and a view that records its events.
#pragma once

#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/platform/module.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace win32_fixture
{

using namespace VSTGUI;

class PaintedView : public CView
{
public:
    PaintedView(const CRect& rect, const CColor& fill) : CView(rect), colour(fill) {}

    void draw(CDrawContext* context) override
    {
        context->setFillColor(colour);
        context->drawRect(size, kDrawFilled);
        CView::draw(context);
    }
    void onMouseDown(CDrawContext*, CPoint& where, int32_t) override { clicks.push_back(where); }
    bool onWheel(CDrawContext*, const CPoint&, float distance) override
    {
        wheel.push_back(distance);
        return true;
    }

    CColor colour;
    std::vector<CPoint> clicks;
    std::vector<float> wheel;
};

inline int& hostWheelMessages()
{
    static int count = 0;
    return count;
}

inline LRESULT CALLBACK hostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSEWHEEL)
        ++hostWheelMessages();
    return DefWindowProcA(window, message, wParam, lParam);
}

// Dispatches every message waiting. Input sent with SendInput and painting asked for are waiting
// by the time the call that asked returns, so nothing needs more time than that.
inline void pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

class HostWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        VSTGUI::platform::setModuleHandle(GetModuleHandleA(nullptr));
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = hostProcedure;
        windowClass.hInstance = static_cast<HINSTANCE>(VSTGUI::platform::getModuleHandle());
        windowClass.lpszClassName = "TestHostWindow";
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        RegisterClassA(&windowClass);
        host = CreateWindowExA(
            0, "TestHostWindow", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300,
            nullptr, nullptr, static_cast<HINSTANCE>(VSTGUI::platform::getModuleHandle()), nullptr);
        ASSERT_NE(host, nullptr);
        SetForegroundWindow(host);
        hostWheelMessages() = 0;
        pump();
    }
    void TearDown() override
    {
        DestroyWindow(host);
        UnregisterClassA("TestHostWindow",
                         static_cast<HINSTANCE>(VSTGUI::platform::getModuleHandle()));
    }

    static HWND handleOf(const CFrame& frame) { return reinterpret_cast<HWND>(frame.getWindow()); }

    HWND host = nullptr;
};

} // namespace win32_fixture
