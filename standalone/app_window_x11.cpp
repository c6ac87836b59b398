// The top-level window on X11, on a connection of its own (the toolkit's frames keep theirs);
// the frames are child windows of it, whose ids they get as parents.
#include "standalone/app_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace standalone
{

struct AppWindow::State
{
    Display* display = nullptr;
    ::Window window = 0;
    ::Window bar = 0;
    Atom deleteWindow = 0;
    bool closeRequested = false;
    bool destroyed = false; // by another client: it and the frames in it are gone
};

namespace
{

void* asParent(::Window window)
{
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window));
}

} // namespace

AppWindow::AppWindow(const std::string& title) : state(new State)
{
    state->display = XOpenDisplay(nullptr);
    if (!state->display)
    {
        delete state;
        throw std::runtime_error("cannot open the window (is there a display?)");
    }
    Display* display = state->display;
    const int screen = DefaultScreen(display);
    state->window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 630, 192, 0,
                                        BlackPixel(display, screen), BlackPixel(display, screen));
    state->bar = XCreateSimpleWindow(display, state->window, 0, 140, 630, 52, 0,
                                     BlackPixel(display, screen), BlackPixel(display, screen));
    XStoreName(display, state->window, title.c_str());
    XChangeProperty(display, state->window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.c_str()),
                    static_cast<int>(title.size()));
    XClassHint classHint{const_cast<char*>("dranvelor"), const_cast<char*>("Dranvelor")};
    XSetClassHint(display, state->window, &classHint);
    state->deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, state->window, &state->deleteWindow, 1);
    XSelectInput(display, state->window, StructureNotifyMask);
    XMapWindow(display, state->bar);
    XSync(display, False);
}

AppWindow::~AppWindow()
{
    if (!state->destroyed)
        XDestroyWindow(state->display, state->window);
    XCloseDisplay(state->display);
    delete state;
}

void* AppWindow::editorParent() const
{
    return asParent(state->window);
}

void* AppWindow::barParent() const
{
    return asParent(state->bar);
}

void AppWindow::layOut(int width, int editorHeight, int barHeight)
{
    Display* display = state->display;
    const auto w = static_cast<unsigned>(width);
    const auto h = static_cast<unsigned>(editorHeight + barHeight);
    // The picture has one size at each scale: the window manager keeps it.
    XSizeHints* hints = XAllocSizeHints();
    if (hints)
    {
        hints->flags = PMinSize | PMaxSize;
        hints->min_width = hints->max_width = width;
        hints->min_height = hints->max_height = editorHeight + barHeight;
        XSetWMNormalHints(display, state->window, hints);
        XFree(hints);
    }
    XResizeWindow(display, state->window, w, h);
    XMoveResizeWindow(display, state->bar, 0, editorHeight, w, static_cast<unsigned>(barHeight));
    XSync(display, False);
}

void AppWindow::show()
{
    XMapRaised(state->display, state->window);
    XSync(state->display, False);
}

bool AppWindow::handleEvents()
{
    while (XPending(state->display) > 0)
    {
        XEvent event;
        XNextEvent(state->display, &event);
        if (event.type == ClientMessage &&
            static_cast<Atom>(event.xclient.data.l[0]) == state->deleteWindow)
            state->closeRequested = true;
        if (event.type == DestroyNotify && event.xdestroywindow.window == state->window)
            state->destroyed = state->closeRequested = true;
    }
    return !state->closeRequested;
}

void AppWindow::waitForEvents(unsigned milliseconds)
{
    if (XPending(state->display) > 0)
        return;
    pollfd connection{ConnectionNumber(state->display), POLLIN, 0};
    poll(&connection, 1, static_cast<int>(milliseconds));
}

} // namespace standalone
