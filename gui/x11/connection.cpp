#include "gui/x11/connection.h"
#include "gui/x11/x11.h"

#include <X11/Xresource.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

namespace VSTGUI
{
namespace platform
{
namespace x11
{

namespace
{

struct AtomName
{
    Atom Atoms::*field;
    const char* name;
};

constexpr AtomName kAtomNames[] = {
    {&Atoms::xdndAware, "XdndAware"},
    {&Atoms::xdndTypeList, "XdndTypeList"},
    {&Atoms::xdndEnter, "XdndEnter"},
    {&Atoms::xdndPosition, "XdndPosition"},
    {&Atoms::xdndStatus, "XdndStatus"},
    {&Atoms::xdndLeave, "XdndLeave"},
    {&Atoms::xdndDrop, "XdndDrop"},
    {&Atoms::xdndFinished, "XdndFinished"},
    {&Atoms::xdndSelection, "XdndSelection"},
    {&Atoms::xdndActionCopy, "XdndActionCopy"},
    {&Atoms::uriList, "text/uri-list"},
    {&Atoms::plainTextUtf8, "text/plain;charset=utf-8"},
    {&Atoms::utf8String, "UTF8_STRING"},
    {&Atoms::plainText, "text/plain"},
    {&Atoms::dropData, "DRANVELOR_DROP"},
    {&Atoms::wmProtocols, "WM_PROTOCOLS"},
    {&Atoms::wmDeleteWindow, "WM_DELETE_WINDOW"},
    {&Atoms::netWmName, "_NET_WM_NAME"},
};
static_assert(std::size(kAtomNames) * sizeof(Atom) == sizeof(Atoms), "an atom has no name");

Atoms internAtoms(Display* display)
{
    constexpr int kCount = static_cast<int>(std::size(kAtomNames));
    char* names[kCount];
    for (int i = 0; i < kCount; ++i)
        names[i] = const_cast<char*>(kAtomNames[i].name); // Xlib only reads them
    Atom values[kCount] = {};
    XInternAtoms(display, names, kCount, False, values);
    Atoms atoms{};
    for (int i = 0; i < kCount; ++i)
        atoms.*kAtomNames[i].field = values[i];
    return atoms;
}

} // namespace

World& world()
{
    static World instance;
    return instance;
}

World::~World()
{
    // The plug-in is being unloaded: no handler of its may stay behind.
    Connection::removeHandler();
}

Connection::Connection(Display* connection) : display(connection), atoms(internAtoms(connection)) {}

// The server frees the connection's windows and cursors.
Connection::~Connection()
{
    XCloseDisplay(display);
}

Connection* Connection::retain()
{
    World& state = world();
    if (!state.connection)
    {
        Display* display = XOpenDisplay(nullptr);
        if (!display)
            return nullptr;
        state.connection.reset(new Connection(display));
        installHandler();
    }
    ++state.connection->uses;
    return state.connection.get();
}

Connection* Connection::current()
{
    return world().connection.get();
}

void Connection::release()
{
    if (uses == 0 || --uses > 0)
        return;
    XSync(display, False);
    World& state = world();
    state.connection.reset();
    removeHandler();
}

int Connection::onError(Display* display, XErrorEvent* error)
{
    World& state = world();
    if (state.connection && display == state.connection->display)
    {
        state.connection->failed = true;
        return 0;
    }
    return state.previousHandler ? state.previousHandler(display, error) : 0;
}

// Ours may still be in another handler's chain, put over it since: it is then never installed
// again, which would make the chain a loop.
void Connection::installHandler()
{
    World& state = world();
    if (state.handlerInstalled)
        return;
    state.previousHandler = XSetErrorHandler(onError);
    state.handlerInstalled = true;
}

// A handler put over ours stays, and ours under it.
void Connection::removeHandler()
{
    World& state = world();
    if (!state.handlerInstalled)
        return;
    const XErrorHandler current = XSetErrorHandler(state.previousHandler);
    if (current == onError)
        state.handlerInstalled = false;
    else
        XSetErrorHandler(current);
}

bool Connection::requestFailed()
{
    XSync(display, False);
    const bool answer = failed;
    failed = false;
    return answer;
}

Cursor Connection::fontCursor(unsigned shape)
{
    const auto found = cursors.find(shape);
    if (found != cursors.end())
        return found->second;
    const Cursor cursor = XCreateFontCursor(display, shape);
    cursors.emplace(shape, cursor);
    return cursor;
}

bool Connection::takeCloseRequest(::Window window)
{
    const auto taken = std::remove(closeRequests.begin(), closeRequests.end(), window);
    const bool requested = taken != closeRequests.end();
    closeRequests.erase(taken, closeRequests.end());
    return requested;
}

double scaleOfResources(const char* resources)
{
    if (!resources)
        return 1.0;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    if (!database)
        return 1.0;
    char* type = nullptr;
    XrmValue value{};
    std::string text;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
        text.assign(value.addr, strnlen(value.addr, value.size));
    XrmDestroyDatabase(database);
    const double dpi = std::strtod(text.c_str(), nullptr);
    return dpi > 0.0 && std::isfinite(dpi) ? dpi / 96.0 : 1.0;
}

} // namespace x11
} // namespace platform
} // namespace VSTGUI
