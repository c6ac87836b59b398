// Events of the frame windows on X11. The plug-in reads its own connection when the host idles
// the editor: hosts call effEditIdle on their user-interface thread many times a second, so the
// window does not rely on hosts that would forward events through _XEventProc.
#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/platform/edit.h"
#include "gui/x11/x11.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <vector>

namespace VSTGUI
{
namespace platform
{

namespace
{

std::vector<WindowObject*> windows;
int32_t dispatching = 0; // events being handled: a control's own loop runs inside one
uint32_t eventTime = 0;

WindowObject* windowOf(::Window xid)
{
    for (WindowObject* window : windows)
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
    XGetInputFocus(x11::display(), &focus, &revert);
    if (focus != window.xid)
        x11::editBoxFocusLost(*window.editBox);
}

void handle(XEvent& event)
{
    WindowObject* window = windowOf(event.xany.window);
    if (!window)
        return;
    eventTime = getTickCount();
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
        x11::dropEvent(*window, event);
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

namespace x11
{

void addWindow(WindowObject* window)
{
    windows.push_back(window);
}

void removeWindow(WindowObject* window)
{
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

const std::vector<WindowObject*>& frameWindows()
{
    return windows;
}

uint32_t messageTime()
{
    return eventTime;
}

} // namespace x11

void processWindowEvents()
{
    // Inside a control's mouse loop only paints go on (dispatchPaintMessage): presses and keys
    // wait for the loop to end, as window messages wait on Windows.
    Display* display = x11::display();
    if (!display || dispatching > 0)
        return;
    x11::retainDisplay(); // a handled event may close the last window
    ++dispatching;
    while (XPending(display) > 0)
    {
        XEvent event;
        XNextEvent(display, &event);
        handle(event);
    }
    --dispatching;
    x11::releaseDisplay();
}

void dispatchPaintMessage()
{
    Display* display = x11::display();
    if (!display)
        return;
    XEvent event;
    while (XCheckTypedEvent(display, Expose, &event))
    {
        handle(event);
        if (event.xexpose.count == 0)
            return;
    }
}

} // namespace platform
} // namespace VSTGUI
