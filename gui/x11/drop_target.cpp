// Drops onto the frame window on X11 through the XDND protocol (version 5): file lists
// (text/uri-list) and text (text/plain). The data is fetched at the first position message, so
// that the views see the items from the drag's entry on, as they do with OLE.
#include "gui/drag_container.h"
#include "gui/frame.h"
#include "gui/platform/drag_payload.h"
#include "gui/platform/window.h"
#include "gui/x11/x11.h"

#include <X11/Xatom.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace VSTGUI
{
namespace platform
{

namespace
{

constexpr long kVersion = 5;

// The offered types: three in the message, or all of them in the source's type list.
std::vector<Atom> offeredTypes(x11::Connection& connection, const XClientMessageEvent& event)
{
    std::vector<Atom> types;
    if (!(event.data.l[1] & 1))
    {
        for (int i = 2; i < 5; ++i)
            if (event.data.l[i] != None)
                types.push_back(static_cast<Atom>(event.data.l[i]));
        return types;
    }
    Atom actual = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(connection.display, static_cast<::Window>(event.data.l[0]),
                           connection.atoms.xdndTypeList, 0, 64, False, XA_ATOM, &actual, &format,
                           &count, &remaining, &data) == Success &&
        data && format == 32)
    {
        const auto* list = reinterpret_cast<const unsigned long*>(data);
        types.assign(list, list + count);
    }
    if (data)
        XFree(data);
    connection.requestFailed(); // a source that went away offers nothing
    return types;
}

// Files are preferred, as a file list also carries its names as text.
Atom chooseType(const x11::Atoms& atoms, const std::vector<Atom>& types)
{
    for (Atom wanted : {atoms.uriList, atoms.plainTextUtf8, atoms.utf8String, atoms.plainText})
        for (Atom type : types)
            if (type == wanted)
                return type;
    return None;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// file://host/path with %-escapes to /path; other schemes are not files.
bool fileOfUri(const std::string& uri, std::string& path)
{
    const std::string scheme = "file://";
    if (uri.compare(0, scheme.size(), scheme) != 0)
        return false;
    const std::size_t slash = uri.find('/', scheme.size());
    if (slash == std::string::npos)
        return false;
    path.clear();
    for (std::size_t i = slash; i < uri.size(); ++i)
    {
        if (uri[i] == '%' && i + 2 < uri.size() && hexValue(uri[i + 1]) >= 0 &&
            hexValue(uri[i + 2]) >= 0)
        {
            path += static_cast<char>(hexValue(uri[i + 1]) * 16 + hexValue(uri[i + 2]));
            i += 2;
        }
        else
        {
            path += uri[i];
        }
    }
    return true;
}

DragPayload payloadOf(const std::string& data, bool uriList)
{
    DragPayload payload;
    if (!uriList)
    {
        payload.offersText = true;
        payload.text = data;
        return payload;
    }
    std::size_t start = 0;
    while (start < data.size())
    {
        std::size_t end = data.find('\n', start);
        if (end == std::string::npos)
            end = data.size();
        std::string line = data.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string path;
        if (!line.empty() && line[0] != '#' && fileOfUri(line, path))
            payload.files.push_back(path);
        start = end + 1;
    }
    payload.offersFiles = true;
    return payload;
}

void send(x11::Connection& connection, Atom message, long l1, long l2, long l3, long l4)
{
    const x11::Drag& drag = *connection.drag;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = drag.source;
    event.xclient.message_type = message;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(drag.window->xid);
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    event.xclient.data.l[4] = l4;
    XSendEvent(connection.display, drag.source, False, NoEventMask, &event);
    XFlush(connection.display);
}

void finish(x11::Connection& connection)
{
    const bool entered = connection.drag->entered;
    if (entered)
        DragSession::drop(connection.drag->window->frame);
    send(connection, connection.atoms.xdndFinished, entered ? 1 : 0,
         entered ? static_cast<long>(connection.atoms.xdndActionCopy) : 0, 0, 0);
    connection.drag.reset();
}

void enter(x11::Connection& connection, WindowObject& window, const XClientMessageEvent& event)
{
    if (connection.drag && connection.drag->entered)
        DragSession::leave(connection.drag->window->frame);
    connection.drag = std::make_unique<x11::Drag>();
    x11::Drag& drag = *connection.drag;
    drag.window = &window;
    drag.source = static_cast<::Window>(event.data.l[0]);
    if ((event.data.l[1] >> 24) <= kVersion)
        drag.type = chooseType(connection.atoms, offeredTypes(connection, event));
}

void position(x11::Connection& connection, const XClientMessageEvent& event)
{
    x11::Drag& drag = *connection.drag;
    if (drag.type != None && !drag.requested)
    {
        drag.requested = true;
        XConvertSelection(connection.display, connection.atoms.xdndSelection, drag.type,
                          connection.atoms.dropData, drag.window->xid,
                          static_cast<Time>(event.data.l[3]));
    }
    if (drag.entered)
        DragSession::over(drag.window->frame);
    // An empty rectangle: every move is reported.
    const bool wanted = drag.type != None;
    send(connection, connection.atoms.xdndStatus, wanted ? 1 : 0, 0, 0,
         wanted ? static_cast<long>(connection.atoms.xdndActionCopy) : 0);
}

void arrived(x11::Connection& connection, const XSelectionEvent& event)
{
    x11::Drag& drag = *connection.drag;
    std::string data;
    if (event.property != None)
    {
        Atom actual = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long remaining = 0;
        unsigned char* bytes = nullptr;
        if (XGetWindowProperty(connection.display, drag.window->xid, event.property, 0, 1 << 20,
                               True, AnyPropertyType, &actual, &format, &count, &remaining,
                               &bytes) == Success &&
            bytes && format == 8)
            data.assign(reinterpret_cast<const char*>(bytes), count);
        if (bytes)
            XFree(bytes);
    }
    drag.payload = payloadOf(data, drag.type == connection.atoms.uriList);
    drag.entered = !data.empty() && DragSession::enter(drag.window->frame, &drag.payload);
    if (drag.dropPending)
        finish(connection);
}

} // namespace

namespace x11
{

void dropEvent(Connection& connection, WindowObject& window, XEvent& event)
{
    if (!window.frame || !window.dropTarget)
        return;
    const std::unique_ptr<Drag>& drag = connection.drag;
    if (event.type == SelectionNotify)
    {
        if (drag && drag->window == &window && event.xselection.property != None)
            arrived(connection, event.xselection);
        else if (drag && drag->window == &window && drag->dropPending)
            finish(connection);
        return;
    }
    const XClientMessageEvent& message = event.xclient;
    const Atoms& atoms = connection.atoms;
    if (message.message_type == atoms.xdndEnter)
    {
        enter(connection, window, message);
        return;
    }
    if (!drag || drag->window != &window ||
        drag->source != static_cast<::Window>(message.data.l[0]))
        return;
    if (message.message_type == atoms.xdndPosition)
    {
        position(connection, message);
    }
    else if (message.message_type == atoms.xdndLeave)
    {
        if (drag->entered)
            DragSession::leave(window.frame);
        connection.drag.reset();
    }
    else if (message.message_type == atoms.xdndDrop)
    {
        // The data may still be on its way: the drop completes when it comes.
        if (drag->requested && !drag->entered)
            drag->dropPending = true;
        else
            finish(connection);
    }
}

void forgetDrag(WindowObject& window)
{
    std::unique_ptr<Drag>& drag = window.connection->drag;
    if (drag && drag->window == &window)
        drag.reset();
}

} // namespace x11

bool registerDropTarget(Window window, CFrame*)
{
    if (!window || !window->alive)
        return false;
    const long version = kVersion;
    XChangeProperty(window->connection->display, window->xid, window->connection->atoms.xdndAware,
                    XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&version),
                    1);
    window->dropTarget = true;
    return true;
}

void revokeDropTarget(Window window)
{
    if (!window)
        return;
    window->dropTarget = false;
    x11::forgetDrag(*window);
    if (window->alive)
        XDeleteProperty(window->connection->display, window->xid,
                        window->connection->atoms.xdndAware);
}

} // namespace platform
} // namespace VSTGUI
