// The benchmark's host window on Win32: the plug-in DLL loaded with LoadLibrary.
#include "bench/window_host.h"

#include <windows.h>

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
};

WindowHost::WindowHost() : platform(new Platform)
{
    HMODULE library = LoadLibraryA(DRANVELOR_PLUGIN_PATH);
    if (!library)
    {
        std::fprintf(stderr, "cannot load %s\n", DRANVELOR_PLUGIN_PATH);
        std::exit(1);
    }
    using Entry = AEffect*(VSTCALLBACK*)(audioMasterCallback);
    effect = reinterpret_cast<Entry>(
        reinterpret_cast<void*>(GetProcAddress(library, "VSTPluginMain")))(hostCallback);
    dispatch(effOpen);

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "DranvelorBenchHost";
    RegisterClassA(&windowClass);
    RECT frame{0, 0, kHostWidth, kHostHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    platform->window = CreateWindowA("DranvelorBenchHost", "bench", WS_OVERLAPPEDWINDOW, 40, 40,
                                     frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                     nullptr, windowClass.hInstance, nullptr);
    ShowWindow(platform->window, SW_SHOW);
    handleMessages();
}

WindowHost::~WindowHost()
{
    dispatch(effClose);
    DestroyWindow(platform->window);
    delete platform;
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

bool WindowHost::painted()
{
    HDC device = GetDC(platform->window);
    const COLORREF pixel = GetPixel(device, kHostWidth - 1, kHostHeight - 1);
    ReleaseDC(platform->window, device);
    return pixel != CLR_INVALID && (pixel & 0xFFFFFF) != 0;
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
