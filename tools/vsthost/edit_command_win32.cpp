// vsthost edit: the plug-in's editor in a top-level window, as a host shows it.
#include "commands.h"
#include "host_context.h"
#include "plugin_instance.h"
#include "screenshot.h"
#include "tool_error.h"

#include <windows.h>

namespace
{

constexpr DWORD kIdleMilliseconds = 20;
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

class HostWindow
{
public:
    explicit HostWindow(const std::string& title)
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = hostWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kWindowClass;
        RegisterClassA(&windowClass);
        // At the top left, so that a small screen shows all of it for screenshots.
        window_ = CreateWindowExA(0, kWindowClass, title.c_str(), kWindowStyle, 0, 0, 400, 300,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (window_ == nullptr)
        {
            throw ToolError(kExitFailure, "cannot create the host window (is there a display?)");
        }
    }
    ~HostWindow() { DestroyWindow(window_); }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND handle() const { return window_; }

    bool setClientSize(int width, int height) const
    {
        RECT frame = {0, 0, width, height};
        AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
        return SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left,
                            frame.bottom - frame.top,
                            SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != 0;
    }

private:
    HWND window_ = nullptr;
};

void fitToEditor(const PluginInstance& plugin, const HostWindow& window)
{
    ERect* rect = nullptr;
    plugin.dispatch(effEditGetRect, 0, 0, &rect);
    if (rect != nullptr && rect->right > rect->left && rect->bottom > rect->top)
    {
        window.setClientSize(rect->right - rect->left, rect->bottom - rect->top);
    }
}

void pumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Calls effEditIdle about every kIdleMilliseconds until the time is up or the window closes.
void runMessageLoop(const PluginInstance& plugin, const Options& options)
{
    const DWORD start = GetTickCount();
    const bool timed = options.seconds.has_value();
    const auto duration = timed ? static_cast<DWORD>(*options.seconds * 1000.0) : 0;
    DWORD nextIdle = start;
    while (!closeRequested)
    {
        pumpMessages();
        const DWORD now = GetTickCount();
        if (timed && now - start >= duration)
        {
            break;
        }
        if (static_cast<LONG>(now - nextIdle) >= 0)
        {
            plugin.dispatch(effEditIdle);
            nextIdle = now + kIdleMilliseconds;
        }
        const DWORD untilIdle =
            static_cast<LONG>(nextIdle - GetTickCount()) > 0 ? nextIdle - GetTickCount() : 0;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, untilIdle, QS_ALLINPUT);
    }
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

int runEdit(const Options& options)
{
    requireArguments(options, 1, {"--set", "--program", "--seconds", "--screenshot", "--trace"},
                     "vsthost edit PLUGIN [options]");
    if (!options.screenshot.empty() && !options.seconds)
    {
        throw ToolError(kExitUsage, "--screenshot needs --seconds (see vsthost --help)");
    }
    HostContext host;
    host.trace = options.trace;
    host.printEdits = true;
    const PluginLibrary library(options.positional[0]);
    PluginInstance plugin(library);
    if (!plugin.hasFlag(effFlagsHasEditor))
    {
        throw ToolError(kExitUnsupported, "the plug-in has no editor");
    }
    plugin.applySettings(options);
    plugin.setSampleRateAndBlockSize(host.sampleRate, host.blockSize);
    plugin.resume();

    const HostWindow window(plugin.text(effGetEffectName).empty() ? library.path()
                                                                  : plugin.text(effGetEffectName));
    host.sizeWindow = [&window](int width, int height)
    { return window.setClientSize(width, height); };
    fitToEditor(plugin, window);
    ShowWindow(window.handle(), SW_SHOWNORMAL);
    plugin.dispatch(effEditOpen, 0, 0, window.handle());
    // Some editors know their size only once open.
    fitToEditor(plugin, window);
    UpdateWindow(window.handle());

    runMessageLoop(plugin, options);
    RgbImage screenshot;
    if (!options.screenshot.empty())
    {
        screenshot = captureClientArea(window.handle());
    }
    plugin.dispatch(effEditClose);
    host.sizeWindow = nullptr;
    if (!options.screenshot.empty())
    {
        saveImage(options.screenshot, screenshot);
    }
    return kExitOk;
}
