// The frame's child window on X11: the window inside the host's window (whose id the host passes
// as the parent), its picture and how it reaches the screen.
#include "gui/frame.h"
#include "gui/platform/window.h"
#include "gui/x11/x11.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdint>

namespace VSTGUI
{
namespace platform
{

namespace
{

// No motion: controls that follow the pointer read it from the server while they do.
constexpr long kEventMask =
    ExposureMask | ButtonPressMask | KeyPressMask | FocusChangeMask | StructureNotifyMask;

// cairo's pixman allocates its implementations when it is loaded and never frees them: unloaded
// with the plug-in, they would be lost at every reload. cairo and what it uses stay loaded.
const bool cairoKept = dlopen("libcairo.so.2", RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE) != nullptr;

} // namespace

namespace x11
{

// Only pictures in memory reach the window: cairo's xlib backend keeps the colours and glyphs
// drawn on a window with the display, and closing the display does not free them.
void present(WindowObject& window, const CRect& rect)
{
    if (!window.alive || rect.isEmpty())
        return;
    window.shown->beginPixels();
    cairo_surface_t* picture = window.shown->surface;
    CPoint origin;
    if (window.editBox)
    {
        picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, rect.width(), rect.height());
        origin = CPoint(rect.left, rect.top);
        cairo_t* composed = cairo_create(picture);
        cairo_translate(composed, -rect.left, -rect.top);
        cairo_set_operator(composed, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(composed, window.shown->surface, 0, 0);
        cairo_paint(composed);
        drawEditBox(composed, *window.editBox);
        cairo_destroy(composed);
    }
    window.screen->put(picture, rect, origin);
    if (picture != window.shown->surface)
        cairo_surface_destroy(picture);
    XFlush(window.connection->display);
}

} // namespace x11

// A device of no window draws into its own scratch picture.
Device getWindowDevice(Window window)
{
    Device device = new DeviceObject;
    device->window = window;
    if (window)
        device->target = window->shown;
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
    Display* display = window->connection->display;
    int x = 0;
    int y = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, window->xid, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return CPoint(x, y);
}

// Component services and a window class are Win32 notions; the class count only tells the frame
// when it is first.
void initThreadServices() {}
void exitThreadServices() {}

bool retainWindowClass()
{
    return x11::world().windowClassUses++ == 0;
}

void releaseWindowClass()
{
    int32_t& uses = x11::world().windowClassUses;
    if (uses > 0)
        --uses;
}

Window createFrameWindow(CFrame* frame, void* parent, int32_t width, int32_t height)
{
    const auto parentId = static_cast<::Window>(reinterpret_cast<uintptr_t>(parent));
    if (!parentId || width <= 0 || height <= 0)
        return nullptr;
    x11::Connection* connection = x11::Connection::retain();
    if (!connection)
        return nullptr;
    Display* display = connection->display;
    connection->requestFailed(); // forget the failures of earlier requests
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, parentId, &attributes) || connection->requestFailed() ||
        attributes.c_class != InputOutput)
    {
        connection->release();
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
    if (connection->requestFailed())
    {
        connection->release();
        return nullptr;
    }
    auto* window = new WindowObject;
    window->connection = connection;
    window->xid = xid;
    window->parent = parentId;
    window->frame = frame;
    window->shown = new ImageObject(width, height, CAIRO_FORMAT_RGB24);
    window->screen =
        new x11::WindowPicture(display, xid, attributes.visual, attributes.depth, width, height);
    connection->windows.push_back(window);
    XMapWindow(display, xid);
    XFlush(display);
    return window;
}

void destroyFrameWindow(Window window)
{
    if (!window)
        return;
    x11::Connection& connection = *window->connection;
    window->frame = nullptr;
    x11::forgetDrag(*window);
    auto& windows = connection.windows;
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
    delete window->screen;
    if (window->alive)
        XDestroyWindow(connection.display, window->xid);
    delete window->shown;
    delete window;
    connection.release();
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
    Display* display = window->connection->display;
    XResizeWindow(display, window->xid, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
    XRaiseWindow(display, window->xid);
    window->screen->setSize(width, height);
    XFlush(display);
}

// The host's window is the parent: it answers audioMasterSizeWindow or stays as it is.
bool resizeAncestors(Window window, int32_t width, int32_t height)
{
    resizeWindow(window, width, height);
    return false;
}

// One server, one factor, read once: hosts ask before every opening and often while no window
// is open, and Xlib reads the server's resources only when a connection opens anyway.
double getScreenScale(void*)
{
    x11::World& world = x11::world();
    if (world.screenScale > 0.0)
        return world.screenScale;
    if (const x11::Connection* connection = x11::Connection::current())
    {
        world.screenScale = x11::scaleOfResources(XResourceManagerString(connection->display));
    }
    else if (Display* display = XOpenDisplay(nullptr))
    {
        world.screenScale = x11::scaleOfResources(XResourceManagerString(display));
        XCloseDisplay(display);
    }
    else
    {
        world.screenScale = 1.0; // without a server there is no window to scale
    }
    return world.screenScale;
}

CPoint getPluginWindowPosition(Window)
{
    return CPoint();
}

CRect getParentWindowRect(Window window)
{
    if (!window || !window->alive)
        return CRect();
    x11::Connection& connection = *window->connection;
    ::Window root = 0;
    int x = 0;
    int y = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned border = 0;
    unsigned depth = 0;
    connection.requestFailed();
    if (!XGetGeometry(connection.display, window->parent, &root, &x, &y, &width, &height, &border,
                      &depth) ||
        connection.requestFailed())
        return CRect();
    return CRect(x, y, x + static_cast<int32_t>(width), y + static_cast<int32_t>(height));
}

} // namespace platform
} // namespace VSTGUI
