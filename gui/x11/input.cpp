// Pointer, keys, clock and cursors on X11.
#include "gui/platform/window.h"
#include "gui/x11/x11.h"

#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>

#include <ctime>
#include <map>

namespace VSTGUI
{
namespace platform
{

namespace
{

// The Windows default, which the controls' double-click handling was tuned to.
constexpr uint32_t kDoubleClickTime = 500;

struct Pointer
{
    CPoint position;
    unsigned state = 0;
};

Pointer queryPointer()
{
    Pointer pointer;
    const x11::Connection* connection = x11::Connection::current();
    if (!connection)
        return pointer;
    Display* display = connection->display;
    ::Window root = 0;
    ::Window child = 0;
    int x = 0;
    int y = 0;
    int wx = 0;
    int wy = 0;
    if (XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &wx, &wy,
                      &pointer.state))
        pointer.position = CPoint(x, y);
    return pointer;
}

Bool isLeftPress(Display*, XEvent* event, XPointer)
{
    return event->type == ButtonPress && event->xbutton.button == Button1;
}

// The cursor font's shapes.
constexpr CursorRow<unsigned> kCursorShapes[] = {
    {CursorKind::wait, XC_watch},
    {CursorKind::resizeLeftRight, XC_sb_h_double_arrow},
    {CursorKind::resizeUpDown, XC_sb_v_double_arrow},
    {CursorKind::move, XC_fleur},
    {CursorKind::resizeRising, XC_bottom_left_corner},
    {CursorKind::resizeFalling, XC_bottom_right_corner},
    {CursorKind::notAllowed, XC_X_cursor},
    {CursorKind::hand, XC_hand2}};
static_assert(coversStandardCursors(kCursorShapes));

} // namespace

namespace x11
{

int32_t buttonsOf(unsigned state)
{
    int32_t buttons = 0;
    if (state & Button1Mask)
        buttons |= kLButton;
    if (state & Button2Mask)
        buttons |= kMButton;
    if (state & Button3Mask)
        buttons |= kRButton;
    if (state & ShiftMask)
        buttons |= kShift;
    if (state & ControlMask)
        buttons |= kControl;
    if (state & Mod1Mask)
        buttons |= kAlt;
    return buttons;
}

KeyCode keyCodeOf(XKeyEvent& event)
{
    static const std::map<KeySym, uint8_t> virtualKeys = {{XK_BackSpace, kVirtualKeyBack},
                                                          {XK_Tab, kVirtualKeyTab},
                                                          {XK_ISO_Left_Tab, kVirtualKeyTab},
                                                          {XK_Return, kVirtualKeyReturn},
                                                          {XK_Escape, kVirtualKeyEscape},
                                                          {XK_Home, kVirtualKeyHome},
                                                          {XK_End, kVirtualKeyEnd},
                                                          {XK_Left, kVirtualKeyLeft},
                                                          {XK_Up, kVirtualKeyUp},
                                                          {XK_Right, kVirtualKeyRight},
                                                          {XK_Down, kVirtualKeyDown},
                                                          {XK_Delete, kVirtualKeyDelete},
                                                          {XK_KP_Enter, kVirtualKeyEnter}};
    char text[8] = {};
    KeySym symbol = NoSymbol;
    const int length = XLookupString(&event, text, sizeof text - 1, &symbol, nullptr);
    KeyCode code;
    const auto found = virtualKeys.find(symbol);
    if (found != virtualKeys.end())
        code.virt = found->second;
    else if (length == 1 && static_cast<unsigned char>(text[0]) >= 0x20)
        code.character = text[0];
    if (event.state & ShiftMask)
        code.modifier |= kKeyModifierShift;
    return code;
}

} // namespace x11

int32_t getPhysicalMouseButtons()
{
    return x11::buttonsOf(queryPointer().state);
}

// The server reports logical buttons, after any swap.
bool areMouseButtonsSwapped()
{
    return false;
}

CPoint getPointerScreenPosition()
{
    return queryPointer().position;
}

bool takeLeftButtonDown()
{
    x11::Connection* connection = x11::Connection::current();
    XEvent event;
    return connection && XCheckIfEvent(connection->display, &event, isLeftPress, nullptr);
}

uint32_t getTickCount()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                                 static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

uint32_t getDoubleClickTime()
{
    return kDoubleClickTime;
}

void sleep(uint32_t milliseconds)
{
    timespec pause{static_cast<time_t>(milliseconds / 1000),
                   static_cast<long>(milliseconds % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
}

// The handle is the kind shown.
void* getCursor()
{
    return reinterpret_cast<void*>(static_cast<intptr_t>(x11::world().cursor));
}

// The original cursor is the parent's.
void setCursor(CursorKind kind, void* fallback)
{
    CursorKind& shown = x11::world().cursor;
    shown = findCursorRow(kCursorShapes, kind)
                ? kind
                : static_cast<CursorKind>(reinterpret_cast<intptr_t>(fallback));
    x11::Connection* connection = x11::Connection::current();
    if (!connection)
        return;
    const CursorRow<unsigned>* row = findCursorRow(kCursorShapes, shown);
    for (WindowObject* window : connection->windows)
    {
        if (!window->alive)
            continue;
        if (row)
            XDefineCursor(connection->display, window->xid, connection->fontCursor(row->shape));
        else
            XUndefineCursor(connection->display, window->xid);
    }
    XFlush(connection->display);
}

} // namespace platform
} // namespace VSTGUI
