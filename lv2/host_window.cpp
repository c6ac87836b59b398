#include "lv2/host_window.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstring>

namespace
{

// The default X error handler ends the process, and a host may destroy its window before it
// cleans the UI up. Requests on this connection run inside a trap that notes their errors;
// errors of other connections go on to whoever handled them before.
class ErrorTrap
{
public:
    explicit ErrorTrap(Display* display)
    {
        trapped = display;
        failure = false;
        previous = XSetErrorHandler(onError);
    }
    ~ErrorTrap()
    {
        XSync(trapped, False);
        // A handler installed since stays.
        const XErrorHandler current = XSetErrorHandler(previous);
        if (current != onError)
            XSetErrorHandler(current);
        trapped = nullptr;
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    bool failed() const
    {
        XSync(trapped, False);
        return failure;
    }

private:
    static int onError(Display* display, XErrorEvent* error)
    {
        if (display == trapped)
        {
            failure = true;
            return 0;
        }
        return previous ? previous(display, error) : 0;
    }

    inline static Display* trapped = nullptr;
    inline static bool failure = false;
    inline static XErrorHandler previous = nullptr;
};

} // namespace

std::unique_ptr<HostWindow> HostWindow::create(::Window parent, int width, int height,
                                               const char* title)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return nullptr;
    ::Window window = 0;
    {
        ErrorTrap trap(display);
        XWindowAttributes attributes{};
        if (!parent || (XGetWindowAttributes(display, parent, &attributes) && !trap.failed() &&
                        attributes.c_class == InputOutput))
        {
            window = XCreateSimpleWindow(display, parent ? parent : DefaultRootWindow(display), 0,
                                         0, static_cast<unsigned>(width),
                                         static_cast<unsigned>(height), 0, 0, 0);
        }
        if (window && trap.failed())
            window = 0;
    }
    if (!window)
    {
        XCloseDisplay(display);
        return nullptr;
    }
    std::unique_ptr<HostWindow> created(new HostWindow(display, window));
    if (!parent)
        created->makeTopLevel(title, width, height);
    ErrorTrap trap(display);
    XMapWindow(display, window);
    return created;
}

HostWindow::HostWindow(Display* connection, ::Window xid) : display(connection), window(xid) {}

HostWindow::~HostWindow()
{
    {
        ErrorTrap trap(display);
        XDestroyWindow(display, window);
    }
    XCloseDisplay(display);
}

void HostWindow::makeTopLevel(const char* title, int width, int height)
{
    ErrorTrap trap(display);
    XStoreName(display, window, title);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(title),
                    static_cast<int>(std::strlen(title)));
    deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
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
    ErrorTrap trap(display);
    XMapRaised(display, window);
}

void HostWindow::resize(int width, int height)
{
    ErrorTrap trap(display);
    XResizeWindow(display, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
}

bool HostWindow::closeRequested()
{
    bool requested = false;
    while (XPending(display) > 0)
    {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == ClientMessage && deleteWindow != None &&
            static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow)
            requested = true;
    }
    return requested;
}
