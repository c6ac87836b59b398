#include "window_session.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace
{

constexpr DWORD kIdleInterval = 20;
// What the tests wait for takes a few seconds at most on a loaded machine: longer is a fault.
constexpr DWORD kPatience = 60000;
// A click lasts as long as a person's does.
constexpr DWORD kClickHold = 100;
constexpr int kWindowLeft = 40;
constexpr int kWindowTop = 40;
const char kHostClass[] = "DranvelorE2EHost";

std::mutex trafficLock;
std::vector<std::string> traffic;
// The session's window, which the plug-in may ask to resize.
HWND sessionWindow = nullptr;
// Where the pointer was at the latest mouse move this thread handled.
POINT lastPointerMove{-1, -1};

// The plug-in's calls of audioMasterIdle, which its controls make from inside their own loop
// while they follow the mouse.
std::mutex idleLock;
std::condition_variable idleCalled;
long idleCalls = 0;

void record(const char* line)
{
    std::lock_guard<std::mutex> lock(trafficLock);
    traffic.emplace_back(line);
}

void countIdleCall()
{
    {
        std::lock_guard<std::mutex> lock(idleLock);
        ++idleCalls;
    }
    idleCalled.notify_all();
}

// Waits until the plug-in has called audioMasterIdle count more times.
void waitForIdleCalls(long count)
{
    std::unique_lock<std::mutex> lock(idleLock);
    const long target = idleCalls + count;
    if (!idleCalled.wait_for(lock, std::chrono::milliseconds(kPatience),
                             [&] { return idleCalls >= target; }))
        throw std::runtime_error("the control did not follow the mouse");
}

void handleMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    {
        if (message.message == WM_MOUSEMOVE)
            lastPointerMove = message.pt;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

VstIntPtr VSTCALLBACK hostCallback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                   void* ptr, float opt)
{
    char line[64];
    switch (opcode)
    {
    case audioMasterVersion:
        return 2400;
    case audioMasterIdle:
        countIdleCall();
        return 0;
    case audioMasterAutomate:
        std::snprintf(line, sizeof line, "automate %d %g", index, static_cast<double>(opt));
        record(line);
        return 0;
    case audioMasterBeginEdit:
        std::snprintf(line, sizeof line, "begin %d", index);
        record(line);
        return 1;
    case audioMasterEndEdit:
        std::snprintf(line, sizeof line, "end %d", index);
        record(line);
        return 1;
    case audioMasterCanDo:
        return ptr && std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0 ? 1 : 0;
    case audioMasterSizeWindow:
        std::snprintf(line, sizeof line, "size %d %d", index, static_cast<int>(value));
        record(line);
        return sessionWindow && SetWindowPos(sessionWindow, nullptr, 0, 0, index,
                                             static_cast<int>(value), SWP_NOMOVE | SWP_NOZORDER)
                   ? 1
                   : 0;
    default:
        return 0;
    }
}

HMODULE loadPlugin()
{
    // Loaded once: the process-wide state of the library (knob mode, window class) is part of
    // what is tested, as in a host that keeps the library while instances come and go.
    static HMODULE module = LoadLibraryA(DRANVELOR_PLUGIN_PATH);
    if (!module)
        throw std::runtime_error("cannot load " DRANVELOR_PLUGIN_PATH);
    return module;
}

// Input goes through the X server, as a person's does: events injected inside Wine do not reach
// the button state that controls poll while they follow the mouse. Wine gives no handle to wait on
// for a Unix program, so a shell runs xdotool and then makes a file: once the file is there,
// xdotool has sent its events, and the X server has them in order.
void xdotool(const std::string& arguments)
{
    static int calls = 0;
    const std::string done = "/tmp/dranvelor-xdotool-" + std::to_string(GetCurrentProcessId()) +
                             "-" + std::to_string(++calls);
    std::string windowsDone = "Z:" + done;
    for (char& c : windowsDone)
        c = c == '/' ? '\\' : c;
    std::string command = "Z:\\bin\\sh -c \"/usr/bin/xdotool " + arguments + "; : > " + done + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        throw std::runtime_error("cannot run xdotool");
    if (!pollUntil([&]
                   { return GetFileAttributesA(windowsDone.c_str()) != INVALID_FILE_ATTRIBUTES; }))
        throw std::runtime_error("xdotool did not finish");
    DeleteFileA(windowsDone.c_str());
}

} // namespace

WindowSession::WindowSession() : module(loadPlugin())
{
    using Entry = AEffect*(VSTCALLBACK*)(audioMasterCallback);
    const auto entry =
        reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, "VSTPluginMain")));
    if (!entry || !(effect = entry(hostCallback)))
        throw std::runtime_error("the plug-in made no instance");
    dispatch(effOpen);

    WNDCLASSA hostClass{};
    hostClass.lpfnWndProc = DefWindowProcA;
    hostClass.hInstance = GetModuleHandleA(nullptr);
    hostClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    hostClass.lpszClassName = kHostClass;
    RegisterClassA(&hostClass); // fails harmlessly once registered

    ERect* size = nullptr;
    dispatch(effEditGetRect, 0, 0, &size);
    // A borderless window, so that client and screen coordinates differ by a known offset.
    window = CreateWindowExA(0, kHostClass, "Dranvelor", WS_POPUP | WS_VISIBLE, kWindowLeft,
                             kWindowTop, size->right - size->left, size->bottom - size->top,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window)
        throw std::runtime_error("cannot create the host window");
    SetForegroundWindow(window);
    sessionWindow = window;
    takeTraffic();
}

WindowSession::~WindowSession()
{
    closeEditor();
    dispatch(effClose);
    sessionWindow = nullptr;
    DestroyWindow(window);
    handleMessages();
}

VstIntPtr WindowSession::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr)
{
    return effect->dispatcher(effect, opcode, index, value, ptr, 0.0f);
}

void WindowSession::setParameter(VstInt32 index, float value)
{
    effect->setParameter(effect, index, value);
}

float WindowSession::getParameter(VstInt32 index)
{
    return effect->getParameter(effect, index);
}

void WindowSession::process(float* input, float* output, VstInt32 count)
{
    float* inputs[1] = {input};
    float* outputs[1] = {output};
    effect->processReplacing(effect, inputs, outputs, count);
}

void WindowSession::openEditor()
{
    dispatch(effEditOpen, 0, 0, window);
    settle();
}

void WindowSession::closeEditor()
{
    dispatch(effEditClose);
}

void WindowSession::settle(bool idle)
{
    handleMessages();
    if (idle)
        dispatch(effEditIdle);
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    handleMessages();
}

bool WindowSession::settleUntil(const std::function<bool()>& done)
{
    const DWORD start = GetTickCount();
    while (!done())
    {
        if (GetTickCount() - start > kPatience)
            return false;
        settle();
        // Until a message comes, or for one idle interval: done may wait on another thread.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kIdleInterval, QS_ALLINPUT);
    }
    return true;
}

void WindowSession::perform(const std::function<void()>& steps)
{
    // The hand ends with a move to a spot of the background, the other spot each time: once this
    // thread has handled that move, it has handled everything the hand did before it.
    static int performed = 0;
    const int markX = 1 + performed++ % 2;
    POINT mark{markX, 1};
    ClientToScreen(window, &mark);
    lastPointerMove = POINT{-1, -1};
    std::atomic<bool> done{false};
    std::thread hand(
        [&]
        {
            steps();
            input::moveTo(window, markX, 1);
            done = true;
        });
    const bool handled = settleUntil(
        [&] { return done && lastPointerMove.x == mark.x && lastPointerMove.y == mark.y; });
    hand.join();
    if (!handled)
        throw std::runtime_error("the input was not handled");
    settle();
}

bool pollUntil(const std::function<bool()>& state)
{
    for (const DWORD start = GetTickCount(); !state(); Sleep(kIdleInterval))
    {
        if (GetTickCount() - start > kPatience)
            return false;
    }
    return true;
}

Capture WindowSession::capture() const
{
    RECT client;
    GetClientRect(window, &client);
    Capture result;
    result.width = client.right;
    const int height = client.bottom;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = result.width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP image = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, image);
    BitBlt(memory, 0, 0, result.width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* words = static_cast<const unsigned*>(bits);
    result.pixels.assign(words, words + result.width * height);
    for (unsigned& p : result.pixels)
        p &= 0xFFFFFF;
    SelectObject(memory, previous);
    DeleteObject(image);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return result;
}

std::vector<std::string> WindowSession::takeTraffic()
{
    std::lock_guard<std::mutex> lock(trafficLock);
    std::vector<std::string> lines;
    lines.swap(traffic);
    return lines;
}

namespace input
{

void moveTo(HWND window, int x, int y)
{
    POINT point{x, y};
    ClientToScreen(window, &point);
    xdotool("mousemove " + std::to_string(point.x) + " " + std::to_string(point.y));
}

void press()
{
    xdotool("mousedown 1");
}

void release()
{
    xdotool("mouseup 1");
}

void click(HWND window, int x, int y)
{
    moveTo(window, x, y);
    press();
    Sleep(kClickHold);
    release();
}

void rightClick(HWND window, int x, int y)
{
    moveTo(window, x, y);
    xdotool("click 3");
}

void tap(HWND window, int x, int y)
{
    moveTo(window, x, y);
    xdotool("click 1");
}

void drag(HWND window, int x, int y, int dy)
{
    moveTo(window, x, y);
    press();
    const int step = dy < 0 ? -5 : 5;
    for (int moved = step; moved * step <= dy * step; moved += step)
        moveTo(window, x, y + moved);
    // The knob reads the pointer before each idle call it makes while it follows the mouse: two
    // more calls, and it has read where the drag ends.
    waitForIdleCalls(2);
    release();
}

void type(const char* text)
{
    // Key names rather than xdotool's own typing, which loses the keys after a "." under Wine.
    std::string names;
    for (const char* c = text; *c; ++c)
    {
        if (*c == '\r')
            names += " Return";
        else if (*c == '.')
            names += " period";
        else
            names += std::string(" ") + *c;
    }
    keys(names);
}

void keys(const std::string& names)
{
    xdotool("key --delay 60 " + names);
}

} // namespace input
