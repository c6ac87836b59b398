// The top-level window vsthost edit shows an editor in, one implementation per window system.
#pragma once

#include "screenshot.h"

#include <string>
#include <vector>

class HostWindow
{
public:
    // Throws ToolError when there is no window system to show it on.
    explicit HostWindow(const std::string& title);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    // What the plug-in gets as the parent of its editor: an HWND, or an X11 window id.
    void* parent() const;
    bool setClientSize(int width, int height);
    void show();
    // Handles the window's pending events; false once the user has asked to close it.
    bool handleEvents();
    // Waits until an event arrives or milliseconds have passed.
    void waitForEvents(unsigned milliseconds);
    // The serials of the sync requests handleEvents met since the last call: client messages
    // DRANVELOR_SYNC on X11, which a test sends after its input; none on Windows.
    std::vector<long> takeSyncRequests();
    // The client area as the screen shows it, the editor's window included. Throws ToolError.
    RgbImage capture();

private:
    struct State;
    State* state_;
};
