// What the X11 platform keeps for the process, in one place. The connection to the server is
// shared by the frame windows, their menus and the LV2 UI's own window: the first of them opens
// it and the last closes it, so that a host whose editors are all closed keeps no client of ours
// on its server.
#pragma once

#include "gui/vstgui_types.h"

#include <X11/Xlib.h>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace VSTGUI
{
namespace platform
{

struct WindowObject;

namespace x11
{

struct Drag;

// The atoms the windows' protocols use, looked up in one request when the connection opens.
struct Atoms
{
    Atom xdndAware;
    Atom xdndTypeList;
    Atom xdndEnter;
    Atom xdndPosition;
    Atom xdndStatus;
    Atom xdndLeave;
    Atom xdndDrop;
    Atom xdndFinished;
    Atom xdndSelection;
    Atom xdndActionCopy;
    Atom uriList;       // text/uri-list
    Atom plainTextUtf8; // text/plain;charset=utf-8
    Atom utf8String;
    Atom plainText; // text/plain
    Atom dropData;  // the property a drop's data is delivered in
    Atom wmProtocols;
    Atom wmDeleteWindow;
    Atom netWmName;
};

// The connection and what lives as long as it, created and reset together.
class Connection
{
public:
    // Counts one use, opening the connection for the first; null when the server cannot be
    // reached.
    static Connection* retain();
    // The open connection, null while nothing uses one.
    static Connection* current();
    // Drops one use; the last closes the connection.
    void release();

    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // True when a request of this connection failed since the last call; syncs first.
    bool requestFailed();
    // The cursor font's shape, created at its first use; the server frees it with the connection.
    Cursor fontCursor(unsigned shape);
    // Whether the window manager asked to close window, one of ours that is no frame window,
    // since the last call.
    bool takeCloseRequest(::Window window);

    Display* const display;
    const Atoms atoms;
    std::vector<WindowObject*> windows; // the open frame windows, in the order they were created
    std::unique_ptr<Drag> drag;         // the drop under way: one pointer, so one at a time
    std::vector<::Window> closeRequests;
    uint32_t eventTime = 0;  // when the event being handled was taken from the queue
    int32_t dispatching = 0; // events being handled: a control's own loop runs inside one

private:
    friend struct World;
    explicit Connection(Display* display);
    // Notes the errors of this connection, never fatal: a host may destroy its window before it
    // closes the editor.
    static int onError(Display* display, XErrorEvent* error);
    static void installHandler();
    static void removeHandler();

    int32_t uses = 0;
    bool failed = false;
    std::map<unsigned, Cursor> cursors;
};

// The process's part, which outlives the connections.
struct World
{
    World() = default;
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    std::unique_ptr<Connection> connection;
    // Errors of other connections go on to the handler that was there before ours. Ours goes
    // with the last connection, unless a handler was put over it since (another copy of the
    // toolkit: the LV2 UI beside the VST plug-in) that passes errors on to it: ours then stays
    // under it, and is not put on again.
    XErrorHandler previousHandler = nullptr;
    bool handlerInstalled = false;
    double screenScale = 0.0; // Xft.dpi over 96; 0 until read
    int32_t windowClassUses = 0;
    CursorKind cursor = CursorKind::original; // what the frame windows show
};

World& world();

// Xft.dpi (or a pattern that matches it, as Xft reads it) of a resource string as xrdb loads it,
// over 96; 1 when there is none or it is no positive number.
double scaleOfResources(const char* resources);

} // namespace x11
} // namespace platform
} // namespace VSTGUI
