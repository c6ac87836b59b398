// The frame's child window on X11: the process's server connection, the window inside the host's
// window (whose id the host passes as the parent), its picture and how it reaches the screen.
#include "gui/frame.h"
#include "gui/platform/window.h"
#include "gui/x11/x11.h"

#include <cairo-xlib.h>
#include <dlfcn.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace VSTGUI
{
namespace platform
{

EditColourHandler editColourHandler = nullptr;

namespace
{

Display* connection = nullptr;
int32_t connectionUses = 0;
int32_t classUses = 0;
bool failedRequest = false;
XErrorHandler previousHandler = nullptr;

// The handler is process-wide: errors of the host's own connections go on to its handler, ours
// are noted and never fatal (a host may destroy its window before it closes the editor).
int onError(Display* display, XErrorEvent* error)
{
    if (display == connection)
    {
        failedRequest = true;
        return 0;
    }
    return previousHandler ? previousHandler(display, error) : 0;
}

// No motion: controls that follow the pointer read it from the server while they do.
constexpr long kEventMask =
    ExposureMask | ButtonPressMask | KeyPressMask | FocusChangeMask | StructureNotifyMask;

ImageObject screenImage{1, 1, CAIRO_FORMAT_RGB24}; // what a device of no window draws into

// cairo's pixman allocates its implementations when it is loaded and never frees them: unloaded
// with the plug-in, they would be lost at every reload. cairo and what it uses stay loaded.
const bool cairoKept = dlopen("libcairo.so.2", RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE) != nullptr;

struct XWindow : WindowObject
{
    ::Window parent = 0;
};

XWindow* xwindow(Window window)
{
    return static_cast<XWindow*>(window);
}

} // namespace

namespace x11
{

Display* display()
{
    return connection;
}

Display* retainDisplay()
{
    if (!connection)
    {
        connection = XOpenDisplay(nullptr);
        if (!connection)
            return nullptr;
        previousHandler = XSetErrorHandler(onError);
    }
    ++connectionUses;
    return connection;
}

void releaseDisplay()
{
    if (connectionUses == 0 || --connectionUses > 0)
        return;
    XSync(connection, False);
    // Someone who replaced the handler since keeps it.
    const XErrorHandler current = XSetErrorHandler(previousHandler);
    if (current != onError)
        XSetErrorHandler(current);
    forgetCursors();
    XCloseDisplay(connection);
    connection = nullptr;
}

bool requestFailed()
{
    XSync(connection, False);
    const bool failed = failedRequest;
    failedRequest = false;
    return failed;
}

void present(WindowObject& window, const CRect& rect)
{
    if (!window.alive || rect.isEmpty())
        return;
    window.shown->beginPixels();
    cairo_t* cr = cairo_create(window.screen);
    cairo_rectangle(cr, rect.left, rect.top, rect.width(), rect.height());
    cairo_clip(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, window.shown->surface, 0, 0);
    cairo_paint(cr);
    if (window.editBox)
        drawEditBox(cr, *window.editBox);
    cairo_destroy(cr);
    cairo_surface_flush(window.screen);
    XFlush(connection);
}

} // namespace x11

Device getWindowDevice(Window window)
{
    Device device = new DeviceObject;
    device->window = window;
    device->target = window ? window->shown : &screenImage;
    return device;
}

void releaseWindowDevice(Window window, Device device)
{
    if (window && !device->damage.isEmpty())
        x11::present(*window, device->damage);
    delete device;
}

CPoint getWindowScreenOrigin(Window window)
{
    if (!window || !window->alive)
        return CPoint();
    int x = 0;
    int y = 0;
    ::Window child = 0;
    XTranslateCoordinates(connection, window->xid, DefaultRootWindow(connection), 0, 0, &x, &y,
                          &child);
    return CPoint(x, y);
}

// Component services and a window class are Win32 notions; the class count only tells the frame
// when it is first.
void initThreadServices() {}
void exitThreadServices() {}

bool retainWindowClass()
{
    return classUses++ == 0;
}

void releaseWindowClass()
{
    if (classUses > 0)
        --classUses;
}

Window createFrameWindow(CFrame* frame, void* parent, int32_t width, int32_t height)
{
    const auto parentId = static_cast<::Window>(reinterpret_cast<uintptr_t>(parent));
    if (!parentId || width <= 0 || height <= 0)
        return nullptr;
    Display* display = x11::retainDisplay();
    if (!display)
        return nullptr;
    x11::requestFailed(); // forget the failures of earlier requests
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, parentId, &attributes) || x11::requestFailed() ||
        attributes.c_class != InputOutput)
    {
        x11::releaseDisplay();
        return nullptr;
    }
    XSetWindowAttributes settings{};
    settings.event_mask = kEventMask;
    settings.background_pixmap = None; // the picture covers every pixel: no flash of background
    settings.bit_gravity = NorthWestGravity;
    const ::Window xid =
        XCreateWindow(display, parentId, 0, 0, static_cast<unsigned>(width),
                      static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                      CWEventMask | CWBackPixmap | CWBitGravity, &settings);
    if (x11::requestFailed())
    {
        x11::releaseDisplay();
        return nullptr;
    }
    auto* window = new XWindow;
    window->xid = xid;
    window->parent = parentId;
    window->frame = frame;
    window->shown = new ImageObject(width, height, CAIRO_FORMAT_RGB24);
    window->screen = cairo_xlib_surface_create(display, xid, attributes.visual, width, height);
    x11::addWindow(window);
    XMapWindow(display, xid);
    XFlush(display);
    return window;
}

void destroyFrameWindow(Window window)
{
    if (!window)
        return;
    window->frame = nullptr;
    x11::forgetDrag(*window);
    x11::removeWindow(window);
    cairo_surface_destroy(window->screen);
    if (window->alive)
        XDestroyWindow(connection, window->xid);
    delete window->shown;
    delete xwindow(window);
    x11::releaseDisplay();
}

void resizeWindow(Window window, int32_t width, int32_t height)
{
    if (!window || width <= 0 || height <= 0)
        return;
    auto* resized = new ImageObject(width, height, CAIRO_FORMAT_RGB24);
    delete window->shown;
    window->shown = resized;
    if (!window->alive)
        return;
    XResizeWindow(connection, window->xid, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
    XRaiseWindow(connection, window->xid);
    cairo_xlib_surface_set_size(window->screen, width, height);
    XFlush(connection);
}

// The host's window is the parent: it answers audioMasterSizeWindow or stays as it is.
bool resizeAncestors(Window window, int32_t width, int32_t height)
{
    resizeWindow(window, width, height);
    return false;
}

// Xft.dpi of the server's resource string (what xrdb loaded), over 96; one server, one factor.
double getScreenScale(void*)
{
    Display* server = x11::retainDisplay();
    if (!server)
        return 1.0;
    double dpi = 0.0;
    if (const char* resources = XResourceManagerString(server))
    {
        static const char kName[] = "Xft.dpi:";
        for (const char* line = resources; line && *line; line = std::strchr(line, '\n'))
        {
            line += *line == '\n' ? 1 : 0;
            if (std::strncmp(line, kName, sizeof kName - 1) == 0)
            {
                dpi = std::strtod(line + sizeof kName - 1, nullptr);
                break;
            }
        }
    }
    x11::releaseDisplay();
    return dpi > 0.0 && std::isfinite(dpi) ? dpi / 96.0 : 1.0;
}

CPoint getPluginWindowPosition(Window)
{
    return CPoint();
}

CRect getParentWindowRect(Window window)
{
    if (!window || !window->alive)
        return CRect();
    ::Window root = 0;
    int x = 0;
    int y = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned border = 0;
    unsigned depth = 0;
    x11::requestFailed();
    if (!XGetGeometry(connection, xwindow(window)->parent, &root, &x, &y, &width, &height, &border,
                      &depth) ||
        x11::requestFailed())
        return CRect();
    return CRect(x, y, x + static_cast<int32_t>(width), y + static_cast<int32_t>(height));
}

} // namespace platform
} // namespace VSTGUI
