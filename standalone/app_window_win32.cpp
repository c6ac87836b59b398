// The top-level window on Windows; the frames are child windows of it and of its bar child.
#include "standalone/app_window.h"

#include <windows.h>

#include <stdexcept>

namespace standalone
{
namespace
{

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
const char kWindowClass[] = "DranvelorStandalone";
const char kBarClass[] = "DranvelorStandaloneBar";

// Set when the user closes the window: the frames must be closed before their parents go.
bool closeRequested = false;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE)
    {
        closeRequested = true;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void registerClass(const char* name)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
}

} // namespace

struct AppWindow::State
{
    HWND window = nullptr;
    HWND bar = nullptr;
};

AppWindow::AppWindow(const std::string& title) : state(new State)
{
    registerClass(kWindowClass);
    registerClass(kBarClass);
    state->window =
        CreateWindowExA(0, kWindowClass, title.c_str(), kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                        630, 192, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (state->window)
        state->bar =
            CreateWindowExA(0, kBarClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 140, 630,
                            52, state->window, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!state->window || !state->bar)
    {
        if (state->window)
            DestroyWindow(state->window);
        delete state;
        throw std::runtime_error("cannot open the window");
    }
}

AppWindow::~AppWindow()
{
    DestroyWindow(state->window);
    delete state;
}

void* AppWindow::editorParent() const
{
    return state->window;
}

void* AppWindow::barParent() const
{
    return state->bar;
}

void AppWindow::layOut(int width, int editorHeight, int barHeight)
{
    RECT frame = {0, 0, width, editorHeight + barHeight};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    SetWindowPos(state->window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(state->bar, nullptr, 0, editorHeight, width, barHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void AppWindow::show()
{
    ShowWindow(state->window, SW_SHOWNORMAL);
    UpdateWindow(state->window);
}

bool AppWindow::handleEvents()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return !closeRequested;
}

void AppWindow::waitForEvents(unsigned milliseconds)
{
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
}

} // namespace standalone
