#include "lv2/host_window.h"

#include "gui/platform/edit.h"
#include "gui/x11/connection.h"

#include <X11/Xutil.h>

#include <cstring>

using VSTGUI::platform::x11::Connection;

std::unique_ptr<HostWindow> HostWindow::create(::Window parent, int width, int height,
                                               const char* title)
{
    Connection* connection = Connection::retain();
    if (!connection)
        return nullptr;
    Display* display = connection->display;
    connection->requestFailed(); // forget the failures of earlier requests
    ::Window window = 0;
    XWindowAttributes attributes{};
    if (!parent || (XGetWindowAttributes(display, parent, &attributes) &&
                    !connection->requestFailed() && attributes.c_class == InputOutput))
    {
        window = XCreateSimpleWindow(display, parent ? parent : DefaultRootWindow(display), 0, 0,
                                     static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                     0, 0);
    }
    if (window && connection->requestFailed())
        window = 0;
    if (!window)
    {
        connection->release();
        return nullptr;
    }
    std::unique_ptr<HostWindow> created(new HostWindow(connection, window));
    if (!parent)
        created->makeTopLevel(title, width, height);
    XMapWindow(display, window);
    XFlush(display);
    return created;
}

HostWindow::HostWindow(Connection* server, ::Window xid) : connection(server), window(xid) {}

HostWindow::~HostWindow()
{
    XDestroyWindow(connection->display, window);
    connection->takeCloseRequest(window); // a request not taken goes with the window
    connection->release();
}

void HostWindow::makeTopLevel(const char* title, int width, int height)
{
    Display* display = connection->display;
    XStoreName(display, window, title);
    XChangeProperty(display, window, connection->atoms.netWmName, connection->atoms.utf8String, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(title),
                    static_cast<int>(std::strlen(title)));
    Atom deleteWindow = connection->atoms.wmDeleteWindow;
    XSetWMProtocols(display, window, &deleteWindow, 1);
    // The picture has one size.
    XSizeHints* hints = XAllocSizeHints();
    if (hints)
    {
        hints->flags = PMinSize | PMaxSize;
        hints->min_width = hints->max_width = width;
        hints->min_height = hints->max_height = height;
        XSetWMNormalHints(display, window, hints);
        XFree(hints);
    }
}

void HostWindow::raise()
{
    XMapRaised(connection->display, window);
    XFlush(connection->display);
}

void HostWindow::resize(int width, int height)
{
    XResizeWindow(connection->display, window, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
    XFlush(connection->display);
}

// The frame windows' events share the connection: they go through the toolkit's dispatch, which
// keeps the close requests of other windows of ours.
bool HostWindow::closeRequested()
{
    VSTGUI::platform::processWindowEvents();
    return connection->takeCloseRequest(window);
}
