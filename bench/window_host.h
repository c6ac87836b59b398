// The plug-in's window in a black host window of the platform's own, for the window benchmark.
#pragma once

#include "host/vst_interface.h"

#include <cstdlib>

// The plug-in the benchmark loads: $DRANVELOR_BENCH_PLUGIN (e.g. a stripped, shipped copy;
// a Windows path under Wine) or the one of this build tree.
inline const char* benchPluginPath()
{
    const char* path = std::getenv("DRANVELOR_BENCH_PLUGIN");
    return path && *path ? path : DRANVELOR_PLUGIN_PATH;
}

class WindowHost
{
public:
    // Loads the plug-in, shows the host window (room for the window at 3x) and instantiates the
    // effect; exits with a message when it cannot.
    WindowHost();
    ~WindowHost();
    WindowHost(const WindowHost&) = delete;
    WindowHost& operator=(const WindowHost&) = delete;

    VstIntPtr dispatch(VstInt32 opcode, void* ptr = nullptr)
    {
        return effect->dispatcher(effect, opcode, 0, 0, ptr, 0.0f);
    }
    // A new effect in place of the current one, as a host that loads a project creates it: its
    // window's next opening is a first one.
    void reinstantiate();
    // The content-scale call of hosts that know the screen's scale, sent before opening; a
    // plug-in that does not scale ignores it.
    void setContentScale(float scale);
    void open();
    // Closes the editor and paints the host window black again, so that the next picture is
    // seen when it comes.
    void close();
    // Whether the editor's picture is on the screen: the bottom-right pixel of the rectangle it
    // answers, painted last, is not black.
    bool painted();
    // What a host does between two idle calls: handles the window messages that have arrived.
    void handleMessages();

private:
    struct Platform;
    AEffect* instantiate();   // through the library's entry point
    bool shows(int x, int y); // whether the host window's pixel shows a picture: not black

    Platform* platform = nullptr;
    AEffect* effect = nullptr;
};

// Room for the window at 3x.
inline constexpr int kHostWidth = 1890;
inline constexpr int kHostHeight = 420;

// The memory the process has in use, in bytes: its resident set on Linux, its working set on
// Windows (pages touched).
double processMemory();
// The memory the process has allocated, in bytes, touched or not: its data segment and private
// mappings on Linux (VmData), its private bytes on Windows.
double committedMemory();
