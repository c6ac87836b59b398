// Events of the frame windows on X11. The plug-in reads its own connection when the host idles
// the editor: hosts call effEditIdle on their user-interface thread many times a second, so the
// window does not rely on hosts that would forward events through _XEventProc.
#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/platform/edit.h"
#include "gui/x11/x11.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace VSTGUI
{
namespace platform
{

namespace
{

WindowObject* windowOf(const x11::Connection& connection, ::Window xid)
{
    for (WindowObject* window : connection.windows)
        if (window->xid == xid)
            return window;
    return nullptr;
}

void paintExposed(WindowObject& window)
{
    const CRect rect = window.exposed;
    window.exposed = CRect();
    if (!window.frame || rect.isEmpty())
        return;
    Device device = getWindowDevice(&window);
    window.frame->paint(device, rect);
    device->damage = x11::united(device->damage, rect);
    releaseWindowDevice(&window, device);
}

void expose(WindowObject& window, const XExposeEvent& event)
{
    window.exposed = x11::united(
        window.exposed, CRect(event.x, event.y, event.x + event.width, event.y + event.height));
    if (event.count == 0)
        paintExposed(window);
}

void press(WindowObject& window, const XButtonEvent& event)
{
    CFrame* frame = window.frame;
    if (!frame)
        return;
    if (event.button >= Button4 && event.button <= 7)
    {
        // Buttons 4 and 5 are the wheel up and down, 6 and 7 its left and right.
        const bool vertical = event.button <= Button5;
        const float distance = event.button == Button4 || event.button == 6 ? 1.0f : -1.0f;
        frame->wheel(CPoint(event.x, event.y), vertical ? kMouseWheelAxisY : kMouseWheelAxisX,
                     distance);
    }
    else if (event.button >= Button1 && event.button <= Button3)
    {
        static const int32_t bits[] = {kLButton, kMButton, kRButton};
        // The press counts even when its release has already arrived.
        const int32_t buttons = x11::buttonsOf(event.state) | bits[event.button - Button1];
        frame->mouseDown(CPoint(event.x, event.y), buttons);
    }
}

void keyDown(WindowObject& window, XKeyEvent& event)
{
    if (window.editBox)
    {
        x11::editBoxKey(*window.editBox, event);
        return;
    }
    if (!window.frame)
        return;
    KeyCode code = x11::keyCodeOf(event);
    if (code.character || code.virt)
        window.frame->onKeyDown(code);
}

// Losing the keyboard to another window ends editing. Focus events also tell of the pointer's
// focus and of moves inside the window, so the server is asked where the focus is now.
void focusOut(WindowObject& window)
{
    if (!window.editBox)
        return;
    ::Window focus = None;
    int revert = 0;
    XGetInputFocus(window.connection->display, &focus, &revert);
    if (focus != window.xid)
        x11::editBoxFocusLost(*window.editBox);
}

// The window manager's request to close a top-level window of ours that is no frame window
// waits for the window's owner to take it.
void noteCloseRequest(x11::Connection& connection, const XClientMessageEvent& event)
{
    if (event.message_type == connection.atoms.wmProtocols &&
        static_cast<Atom>(event.data.l[0]) == connection.atoms.wmDeleteWindow)
        connection.closeRequests.push_back(event.window);
}

void handle(x11::Connection& connection, XEvent& event)
{
    WindowObject* window = windowOf(connection, event.xany.window);
    if (!window)
    {
        if (event.type == ClientMessage)
            noteCloseRequest(connection, event.xclient);
        return;
    }
    connection.eventTime = getTickCount();
    switch (event.type)
    {
    case Expose:
        expose(*window, event.xexpose);
        break;
    case ButtonPress:
        press(*window, event.xbutton);
        break;
    case KeyPress:
        keyDown(*window, event.xkey);
        break;
    case FocusOut:
        focusOut(*window);
        break;
    case ClientMessage:
    case SelectionNotify:
        x11::dropEvent(connection, *window, event);
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == window->xid)
        {
            window->alive = false;
            if (window->frame)
                window->frame->windowDestroyed();
        }
        break;
    default:
        break;
    }
}

} // namespace

uint32_t getMessageTime()
{
    const x11::Connection* connection = x11::Connection::current();
    return connection ? connection->eventTime : 0;
}

void processWindowEvents()
{
    // Inside a control's mouse loop only paints go on (dispatchPaintMessage): presses and keys
    // wait for the loop to end, as window messages wait on Windows.
    x11::Connection* connection = x11::Connection::current();
    if (!connection || connection->dispatching > 0)
        return;
    x11::Connection::retain(); // a handled event may close the last window
    ++connection->dispatching;
    while (XPending(connection->display) > 0)
    {
        XEvent event;
        XNextEvent(connection->display, &event);
        handle(*connection, event);
    }
    --connection->dispatching;
    connection->release();
}

void dispatchPaintMessage()
{
    x11::Connection* connection = x11::Connection::current();
    if (!connection)
        return;
    XEvent event;
    while (XCheckTypedEvent(connection->display, Expose, &event))
    {
        handle(*connection, event);
        if (event.xexpose.count == 0)
            return;
    }
}

} // namespace platform
} // namespace VSTGUI
