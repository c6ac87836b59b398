// The benchmark's host window on Win32: the plug-in DLL loaded with LoadLibrary.
#include "bench/window_host.h"

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstdlib>

namespace
{
VstIntPtr VSTCALLBACK hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}
} // namespace

struct WindowHost::Platform
{
    HWND window = nullptr;
    HMODULE library = nullptr;
};

WindowHost::WindowHost() : platform(new Platform)
{
    platform->library = LoadLibraryA(benchPluginPath());
    if (!platform->library)
    {
        std::fprintf(stderr, "cannot load %s\n", benchPluginPath());
        std::exit(1);
    }
    effect = instantiate();
    dispatch(effOpen);

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "DranvelorBenchHost";
    RegisterClassA(&windowClass);
    // Borderless in the screen's corner: a 2x window reaches the right edge of a 1280-pixel
    // screen, and pixels off the screen cannot be read back.
    platform->window = CreateWindowA("DranvelorBenchHost", "bench", WS_POPUP, 0, 0, kHostWidth,
                                     kHostHeight, nullptr, nullptr, windowClass.hInstance, nullptr);
    ShowWindow(platform->window, SW_SHOW);
    handleMessages();
}

WindowHost::~WindowHost()
{
    dispatch(effClose);
    DestroyWindow(platform->window);
    delete platform;
}

AEffect* WindowHost::instantiate()
{
    using Entry = AEffect*(VSTCALLBACK*)(audioMasterCallback);
    return reinterpret_cast<Entry>(
        reinterpret_cast<void*>(GetProcAddress(platform->library, "VSTPluginMain")))(hostCallback);
}

void WindowHost::open()
{
    dispatch(effEditOpen, platform->window);
}

void WindowHost::close()
{
    dispatch(effEditClose);
    InvalidateRect(platform->window, nullptr, TRUE);
    UpdateWindow(platform->window);
    handleMessages();
}

bool WindowHost::shows(int x, int y)
{
    HDC device = GetDC(platform->window);
    const COLORREF pixel = GetPixel(device, x, y);
    ReleaseDC(platform->window, device);
    // The plug-in's window is erased to the button face when it is shown, before it paints.
    return pixel != CLR_INVALID && (pixel & 0xFFFFFF) != 0 &&
           (pixel & 0xFFFFFF) != GetSysColor(COLOR_BTNFACE);
}

void WindowHost::handleMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

double processMemory()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0.0;
    return static_cast<double>(counters.WorkingSetSize);
}

double committedMemory()
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(),
                              reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return 0.0;
    return static_cast<double>(counters.PrivateUsage);
}
