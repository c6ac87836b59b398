// The plug-in's window in a black host window of the platform's own, for the window benchmark.
#pragma once

#include "host/vst_interface.h"

class WindowHost
{
public:
    // Loads the plug-in and shows the host window; exits with a message when it cannot.
    WindowHost();
    ~WindowHost();
    WindowHost(const WindowHost&) = delete;
    WindowHost& operator=(const WindowHost&) = delete;

    VstIntPtr dispatch(VstInt32 opcode, void* ptr = nullptr)
    {
        return effect->dispatcher(effect, opcode, 0, 0, ptr, 0.0f);
    }
    void open();
    // Closes the editor and paints the host window black again, so that the next picture is
    // seen when it comes.
    void close();
    // Whether the editor's picture is on the screen: its bottom-right pixel, painted last, is
    // not black.
    bool painted();
    // What a host does between two idle calls: handles the window messages that have arrived.
    void handleMessages();

private:
    struct Platform;
    Platform* platform = nullptr;
    AEffect* effect = nullptr;
};

inline constexpr int kHostWidth = 630;
inline constexpr int kHostHeight = 140;
