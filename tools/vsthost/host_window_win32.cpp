// The host window of vsthost edit on Windows.
#include "host_window.h"
#include "tool_error.h"

#include <windows.h>

namespace
{

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
const char kWindowClass[] = "VsthostEditorHost";

// Set when the user closes the window: the editor must be closed before its parent goes.
bool closeRequested = false;

LRESULT CALLBACK hostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE)
    {
        closeRequested = true;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The client area as the screen shows it, child windows included.
RgbImage captureClientArea(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT client;
    GetClientRect(window, &client);
    RgbImage image;
    image.width = client.right;
    image.height = client.bottom;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const bool captured =
        bitmap != nullptr && SelectObject(memoryDc, bitmap) != nullptr &&
        BitBlt(memoryDc, 0, 0, image.width, image.height, windowDc, 0, 0, SRCCOPY) != 0;
    GdiFlush();
    if (captured)
    {
        const int stride = (image.width * 3 + 3) & ~3;
        image.rgb.resize(static_cast<std::size_t>(image.width * image.height * 3));
        for (int y = 0; y < image.height; ++y)
        {
            const auto* row = static_cast<const std::uint8_t*>(bits) + y * stride;
            std::uint8_t* out = &image.rgb[static_cast<std::size_t>(y * image.width * 3)];
            for (int x = 0; x < image.width; ++x)
            {
                out[3 * x] = row[3 * x + 2];
                out[3 * x + 1] = row[3 * x + 1];
                out[3 * x + 2] = row[3 * x];
            }
        }
    }
    DeleteDC(memoryDc);
    if (bitmap != nullptr)
    {
        DeleteObject(bitmap);
    }
    ReleaseDC(window, windowDc);
    if (!captured)
    {
        throw ToolError(kExitFailure, "cannot capture the editor window");
    }
    return image;
}

} // namespace

struct HostWindow::State
{
    HWND window = nullptr;
};

HostWindow::HostWindow(const std::string& title) : state_(new State)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = hostWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);
    // At the top left, so that a small screen shows all of it for screenshots.
    state_->window = CreateWindowExA(0, kWindowClass, title.c_str(), kWindowStyle, 0, 0, 400, 300,
                                     nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (state_->window == nullptr)
    {
        delete state_;
        throw ToolError(kExitFailure, "cannot create the host window (is there a display?)");
    }
}

HostWindow::~HostWindow()
{
    DestroyWindow(state_->window);
    delete state_;
}

void* HostWindow::parent() const
{
    return state_->window;
}

bool HostWindow::setClientSize(int width, int height)
{
    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    return SetWindowPos(state_->window, nullptr, 0, 0, frame.right - frame.left,
                        frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != 0;
}

void HostWindow::show()
{
    ShowWindow(state_->window, SW_SHOWNORMAL);
    UpdateWindow(state_->window);
}

bool HostWindow::handleEvents()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return !closeRequested;
}

void HostWindow::waitForEvents(unsigned milliseconds)
{
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
}

std::vector<long> HostWindow::takeSyncRequests()
{
    return {};
}

RgbImage HostWindow::capture()
{
    return captureClientArea(state_->window);
}
