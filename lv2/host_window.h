// The X11 window the editor opens in: a child of the host's window, or a top-level window of its
// own for hosts that do not embed. It lives on a connection of its own, so that its requests
// never mix with the editor's or the host's.
#pragma once

#include <X11/Xlib.h>

#include <memory>

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
    // Reads the window's events; true when the window manager asked to close it.
    bool closeRequested();

private:
    HostWindow(Display* display, ::Window window);
    void makeTopLevel(const char* title, int width, int height);

    Display* display;
    ::Window window;
    Atom deleteWindow = None;
};
