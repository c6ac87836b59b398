// The benchmark's host window on X11: the plug-in library loaded with dlopen.
#include "bench/window_host.h"

// Xlib after the plug-in interface, whose names its macros would otherwise rename.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>
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
    Display* display = nullptr;
    ::Window window = 0;
    void* library = nullptr;
};

WindowHost::WindowHost() : platform(new Platform)
{
    platform->display = XOpenDisplay(nullptr);
    platform->library = dlopen(benchPluginPath(), RTLD_NOW | RTLD_LOCAL);
    if (!platform->display || !platform->library)
    {
        std::fprintf(stderr, "needs an X display and %s\n", benchPluginPath());
        std::exit(1);
    }
    effect = instantiate();
    dispatch(effOpen);
    Display* display = platform->display;
    platform->window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kHostWidth, kHostHeight, 0,
                            0, BlackPixel(display, DefaultScreen(display)));
    XMapWindow(display, platform->window);
    XSync(display, False);
}

WindowHost::~WindowHost()
{
    dispatch(effClose);
    XDestroyWindow(platform->display, platform->window);
    XCloseDisplay(platform->display);
    delete platform;
}

AEffect* WindowHost::instantiate()
{
    using Entry = AEffect*(VSTCALLBACK*)(audioMasterCallback);
    return reinterpret_cast<Entry>(dlsym(platform->library, "VSTPluginMain"))(hostCallback);
}

void WindowHost::open()
{
    dispatch(effEditOpen, reinterpret_cast<void*>(std::uintptr_t{platform->window}));
}

void WindowHost::close()
{
    dispatch(effEditClose);
    XClearWindow(platform->display, platform->window);
    XSync(platform->display, False);
}

bool WindowHost::shows(int x, int y)
{
    XImage* pixel = XGetImage(platform->display, platform->window, x, y, 1, 1, AllPlanes, ZPixmap);
    const bool shown = pixel && (XGetPixel(pixel, 0, 0) & 0xFFFFFF) != 0;
    if (pixel)
        XDestroyImage(pixel);
    return shown;
}

// The plug-in reads its own connection's events in its idle call; this host has none to handle.
void WindowHost::handleMessages() {}

double processMemory()
{
    long pages = 0, resident = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return 0.0;
    const bool read = std::fscanf(statm, "%ld %ld", &pages, &resident) == 2;
    std::fclose(statm);
    return read ? static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) : 0.0;
}

double committedMemory()
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0.0;
    char line[256];
    double kilobytes = 0.0;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmData: %lf kB", &kilobytes) == 1)
            break;
    std::fclose(status);
    return kilobytes * 1024.0;
}
