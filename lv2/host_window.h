// The X11 window the editor opens in: a child of the host's window, or a top-level window of its
// own for hosts that do not embed. It lives on the toolkit's connection, whose error trap keeps
// a host that destroys its window first from ending the process.
#pragma once

#include <X11/Xlib.h>

#include <memory>

namespace VSTGUI::platform::x11
{
class Connection;
}

class HostWindow
{
public:
    // A child of parent, or a top-level window titled title when parent is 0; null when the
    // display cannot be opened or parent is no window.
    static std::unique_ptr<HostWindow> create(::Window parent, int width, int height,
                                              const char* title);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    ::Window id() const { return window; }
    void raise();
    void resize(int width, int height);
    // Reads the connection's events; true when the window manager asked to close the window.
    bool closeRequested();

private:
    HostWindow(VSTGUI::platform::x11::Connection* connection, ::Window window);
    void makeTopLevel(const char* title, int width, int height);

    VSTGUI::platform::x11::Connection* connection;
    ::Window window;
};
