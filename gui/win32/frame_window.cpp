// The frame's child window on Win32: the shared window class, the window procedure, sizes,
// positions and cursors.
// The system cursors' ids (OCR_) come with this.
#define OEMRESOURCE
#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/platform/module.h"
#include "gui/platform/window.h"

#include <windows.h>

#include <objbase.h>
#include <ole2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace VSTGUI
{
namespace platform
{

namespace
{

int32_t classUses = 0;
char className[64];
// WM_DPICHANGED_AFTERPARENT: the host's window moved to a screen of another density.
constexpr UINT kDpiChangedAfterParent = 0x02E3;

HWND handle(Window window)
{
    return reinterpret_cast<HWND>(window);
}

CFrame* frameOf(HWND window)
{
    return reinterpret_cast<CFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT paint(HWND window, CFrame* frame)
{
    PAINTSTRUCT ps;
    HDC device = BeginPaint(window, &ps);
    const CRect rect(ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom);
    frame->paint(reinterpret_cast<Device>(device), rect);
    EndPaint(window, &ps);
    return 0;
}

// The buttons and modifiers the press message carries. By the time a short click is handled its
// release may already have happened, so the live state would miss the press.
int32_t buttonsOfPress(WPARAM wParam)
{
    int32_t buttons = 0;
    if (wParam & MK_LBUTTON)
        buttons |= kLButton;
    if (wParam & MK_MBUTTON)
        buttons |= kMButton;
    if (wParam & MK_RBUTTON)
        buttons |= kRButton;
    if (wParam & MK_SHIFT)
        buttons |= kShift;
    if (wParam & MK_CONTROL)
        buttons |= kControl;
    if (GetKeyState(VK_MENU) < 0)
        buttons |= kAlt;
    return buttons;
}

void pressButton(CFrame* frame, WPARAM wParam, LPARAM lParam)
{
    frame->mouseDown(
        CPoint(static_cast<CCoord>(LOWORD(lParam)), static_cast<CCoord>(HIWORD(lParam))),
        buttonsOfPress(wParam));
}

void turnWheel(HWND window, CFrame* frame, WPARAM wParam, LPARAM lParam)
{
    const auto delta = static_cast<short>(HIWORD(wParam));
    POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ScreenToClient(window, &point);
    frame->wheel(CPoint(point.x, point.y), kMouseWheelAxisY, static_cast<float>(delta) / 120.0f);
}

LRESULT CALLBACK frameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CFrame* frame = frameOf(window);
    switch (message)
    {
    case WM_DESTROY:
        if (frame)
            frame->windowDestroyed();
        break;
    case WM_PAINT:
    {
        RECT update;
        if (frame && GetUpdateRect(window, &update, FALSE))
            return paint(window, frame);
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (frame)
        {
            pressButton(frame, wParam, lParam);
            return 0;
        }
        break;
    case WM_MOUSEWHEEL:
        // Default processing afterwards passes the wheel on to the parent window.
        if (frame)
            turnWheel(window, frame, wParam, lParam);
        break;
    case kDpiChangedAfterParent:
        if (frame)
            frame->screenChanged();
        return 0;
    case WM_CTLCOLOREDIT:
        if (frame && frame->getFocusView() && editColourHandler)
            return reinterpret_cast<LRESULT>(
                editColourHandler(frame->getFocusView(), reinterpret_cast<Device>(wParam)));
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// GetDpiForWindow exists from Windows 10 1607 on: looked up, never linked.
UINT dpiOfWindow(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && window)
        return getDpiForWindow(window);
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 0;
}

int32_t width(const RECT& r)
{
    return r.right - r.left;
}
int32_t height(const RECT& r)
{
    return r.bottom - r.top;
}

} // namespace

void initThreadServices()
{
    OleInitialize(nullptr);
}

void exitThreadServices()
{
    OleUninitialize();
}

bool retainWindowClass()
{
    if (classUses++ > 0)
        return false;
    std::snprintf(className, sizeof className, "Plugin%p", getModuleHandle());
    WNDCLASSA windowClass{};
    windowClass.style = CS_GLOBALCLASS;
    windowClass.lpfnWndProc = frameProcedure;
    windowClass.hInstance = static_cast<HINSTANCE>(getModuleHandle());
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    return true;
}

void releaseWindowClass()
{
    if (classUses > 0 && --classUses == 0)
        UnregisterClassA(className, static_cast<HINSTANCE>(getModuleHandle()));
}

Window createFrameWindow(CFrame* frame, void* parent, int32_t w, int32_t h)
{
    HWND window = CreateWindowExA(
        0, className, "Window", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, w,
        h, static_cast<HWND>(parent), nullptr, static_cast<HINSTANCE>(getModuleHandle()), nullptr);
    if (window)
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
    return reinterpret_cast<Window>(window);
}

void destroyFrameWindow(Window window)
{
    SetWindowLongPtrA(handle(window), GWLP_USERDATA, 0);
    DestroyWindow(handle(window));
}

void resizeWindow(Window window, int32_t w, int32_t h)
{
    SetWindowPos(handle(window), HWND_TOP, 0, 0, w, h, SWP_NOMOVE);
}

bool resizeAncestors(Window window, int32_t w, int32_t h)
{
    const int32_t frameExtra = 2 * GetSystemMetrics(SM_CYFIXEDFRAME);
    int32_t dx = 0;
    int32_t dy = 0;
    HWND current = handle(window);
    while (dx != frameExtra && current)
    {
        HWND parent = GetParent(current);
        if (!parent)
            break;
        char parentClass[1024];
        GetClassNameA(parent, parentClass, sizeof parentClass);
        if (std::strcmp(parentClass, "MDIClient") == 0)
            break;
        RECT own;
        RECT outer;
        GetWindowRect(current, &own);
        GetWindowRect(parent, &outer);
        SetWindowPos(current, HWND_TOP, 0, 0, w + dx, h + dy, SWP_NOMOVE);
        dx += width(outer) - width(own);
        dy += height(outer) - height(own);
        // A parent this much larger is the host's own window: leave it alone.
        if (dx > 80 || dy > 80)
            return true;
        if (dx < 0)
            dx = 0;
        if (dy < 0)
            dy = 0;
        current = parent;
    }
    if (current)
        SetWindowPos(current, HWND_TOP, 0, 0, w + dx, h + dy, SWP_NOMOVE);
    return false;
}

CPoint getPluginWindowPosition(Window window)
{
    HWND current = handle(window);
    while (current)
    {
        HWND parent = GetParent(current);
        const LONG style = GetWindowLongA(current, GWL_STYLE);
        bool outermost = (style & (WS_BORDER | WS_DLGFRAME)) != 0 || !parent;
        if (!outermost)
        {
            RECT own;
            RECT outer;
            GetWindowRect(current, &own);
            GetWindowRect(parent, &outer);
            outermost = std::abs(width(outer) - width(own)) > 60 ||
                        std::abs(height(outer) - height(own)) > 60;
        }
        if (outermost)
        {
            RECT own;
            GetWindowRect(current, &own);
            POINT corner{own.left, own.top};
            if (parent)
                ScreenToClient(parent, &corner);
            return CPoint(corner.x, corner.y);
        }
        current = parent;
    }
    return CPoint();
}

CRect getParentWindowRect(Window window)
{
    HWND parent = GetParent(handle(window));
    if (!parent)
        return CRect();
    RECT r;
    GetWindowRect(parent, &r);
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    if (HWND grandparent = GetParent(parent))
        MapWindowPoints(nullptr, grandparent, corners, 2);
    return CRect(corners[0].x, corners[0].y, corners[1].x, corners[1].y);
}

double getScreenScale(void* parent)
{
    const UINT dpi = dpiOfWindow(static_cast<HWND>(parent));
    return dpi > 0 ? dpi / 96.0 : 1.0;
}

void* getCursor()
{
    return GetCursor();
}

void setCursor(CursorKind kind, void* fallback)
{
    // The system cursors' resource ids: the numbers behind the IDC_ names.
    static constexpr CursorRow<WORD> shapes[] = {{CursorKind::wait, OCR_WAIT},
                                                 {CursorKind::resizeLeftRight, OCR_SIZEWE},
                                                 {CursorKind::resizeUpDown, OCR_SIZENS},
                                                 {CursorKind::move, OCR_SIZEALL},
                                                 {CursorKind::resizeRising, OCR_SIZENESW},
                                                 {CursorKind::resizeFalling, OCR_SIZENWSE},
                                                 {CursorKind::notAllowed, OCR_NO},
                                                 {CursorKind::hand, OCR_HAND}};
    static_assert(coversStandardCursors(shapes));
    const CursorRow<WORD>* row = findCursorRow(shapes, kind);
    SetCursor(row ? LoadCursorA(nullptr, MAKEINTRESOURCEA(row->shape))
                  : static_cast<HCURSOR>(fallback));
}

} // namespace platform
} // namespace VSTGUI
