// The host window of vsthost edit on X11: a top-level window on a connection of the tool's own,
// whose id the plug-in gets as its parent.
#include "host_window.h"
#include "tool_error.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>
#include <unistd.h>

#include <cstdint>

namespace
{

// The channel of a pixel from a true-colour image, whatever the masks' positions.
std::uint8_t channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0)
    {
        return 0;
    }
    int shift = 0;
    while (((mask >> shift) & 1u) == 0)
    {
        ++shift;
    }
    const unsigned long maximum = mask >> shift;
    return static_cast<std::uint8_t>(((pixel & mask) >> shift) * 255u / maximum);
}

} // namespace

struct HostWindow::State
{
    Display* display = nullptr;
    Window window = 0;
    Atom deleteWindow = 0;
    Atom syncRequest = 0;
    bool closeRequested = false;
    std::vector<long> syncRequests;
};

HostWindow::HostWindow(const std::string& title) : state_(new State)
{
    state_->display = XOpenDisplay(nullptr);
    if (state_->display == nullptr)
    {
        delete state_;
        throw ToolError(kExitFailure, "cannot create the host window (is there a display?)");
    }
    Display* display = state_->display;
    // At the top left, so that a small screen shows all of it for screenshots.
    state_->window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 400, 300, 0,
                                         BlackPixel(display, DefaultScreen(display)),
                                         WhitePixel(display, DefaultScreen(display)));
    XStoreName(display, state_->window, title.c_str());
    // Whose window it is, for window managers and for tests that start several hosts.
    const long pid = static_cast<long>(getpid());
    XChangeProperty(display, state_->window, XInternAtom(display, "_NET_WM_PID", False),
                    XA_CARDINAL, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&pid),
                    1);
    state_->deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    state_->syncRequest = XInternAtom(display, "DRANVELOR_SYNC", False);
    XSetWMProtocols(display, state_->window, &state_->deleteWindow, 1);
    XSelectInput(display, state_->window, StructureNotifyMask);
}

HostWindow::~HostWindow()
{
    XDestroyWindow(state_->display, state_->window);
    XCloseDisplay(state_->display);
    delete state_;
}

void* HostWindow::parent() const
{
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(state_->window));
}

bool HostWindow::setClientSize(int width, int height)
{
    XResizeWindow(state_->display, state_->window, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
    XSync(state_->display, False);
    return true;
}

void HostWindow::show()
{
    XMapRaised(state_->display, state_->window);
    XSync(state_->display, False);
}

bool HostWindow::handleEvents()
{
    while (XPending(state_->display) > 0)
    {
        XEvent event;
        XNextEvent(state_->display, &event);
        if (event.type != ClientMessage)
        {
            continue;
        }
        if (event.xclient.message_type == state_->syncRequest)
        {
            state_->syncRequests.push_back(event.xclient.data.l[0]);
        }
        else if (static_cast<Atom>(event.xclient.data.l[0]) == state_->deleteWindow)
        {
            state_->closeRequested = true;
        }
    }
    return !state_->closeRequested;
}

void HostWindow::waitForEvents(unsigned milliseconds)
{
    if (XPending(state_->display) > 0)
    {
        return;
    }
    pollfd connection{ConnectionNumber(state_->display), POLLIN, 0};
    poll(&connection, 1, static_cast<int>(milliseconds));
}

std::vector<long> HostWindow::takeSyncRequests()
{
    std::vector<long> taken;
    taken.swap(state_->syncRequests);
    return taken;
}

RgbImage HostWindow::capture()
{
    Display* display = state_->display;
    XSync(display, False);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, state_->window, &attributes);
    XImage* shot = XGetImage(display, state_->window, 0, 0, static_cast<unsigned>(attributes.width),
                             static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (shot == nullptr)
    {
        throw ToolError(kExitFailure, "cannot capture the editor window");
    }
    RgbImage image;
    image.width = attributes.width;
    image.height = attributes.height;
    image.rgb.reserve(static_cast<std::size_t>(image.width * image.height * 3));
    for (int y = 0; y < image.height; ++y)
    {
        for (int x = 0; x < image.width; ++x)
        {
            const unsigned long pixel = XGetPixel(shot, x, y);
            image.rgb.push_back(channel(pixel, shot->red_mask));
            image.rgb.push_back(channel(pixel, shot->green_mask));
            image.rgb.push_back(channel(pixel, shot->blue_mask));
        }
    }
    XDestroyImage(shot);
    return image;
}
