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

int32_t cursorKind = 0;
std::map<int32_t, Cursor> cursors; // font cursors of the open connection, by kind

struct Pointer
{
    CPoint position;
    unsigned state = 0;
};

Pointer queryPointer()
{
    Pointer pointer;
    Display* display = x11::display();
    if (!display)
        return pointer;
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

Cursor cursorFor(int32_t kind)
{
    static const unsigned shapes[] = {0,
                                      XC_watch,
                                      XC_sb_h_double_arrow,
                                      XC_sb_v_double_arrow,
                                      XC_fleur,
                                      XC_bottom_left_corner,
                                      XC_bottom_right_corner,
                                      0,
                                      XC_X_cursor,
                                      XC_hand2};
    const auto found = cursors.find(kind);
    if (found != cursors.end())
        return found->second;
    const Cursor cursor = XCreateFontCursor(x11::display(), shapes[kind]);
    cursors[kind] = cursor;
    return cursor;
}

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

void forgetCursors()
{
    // Closing the connection frees them on the server.
    cursors.clear();
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
    Display* display = x11::display();
    XEvent event;
    return display && XCheckIfEvent(display, &event, isLeftPress, nullptr);
}

uint32_t getTickCount()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                                 static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

uint32_t getMessageTime()
{
    return x11::messageTime();
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

void* getCursor()
{
    return reinterpret_cast<void*>(static_cast<intptr_t>(cursorKind));
}

// Kinds outside the standard shapes show the fallback, itself a kind, and 0 the parent's cursor.
void setCursor(int32_t kind, void* fallback)
{
    const bool standard = (kind >= 1 && kind <= 6) || kind == 8 || kind == 9;
    cursorKind = standard ? kind : static_cast<int32_t>(reinterpret_cast<intptr_t>(fallback));
    Display* display = x11::display();
    if (!display)
        return;
    const bool known = (cursorKind >= 1 && cursorKind <= 6) || cursorKind == 8 || cursorKind == 9;
    for (WindowObject* window : x11::frameWindows())
    {
        if (!window->alive)
            continue;
        if (known)
            XDefineCursor(display, window->xid, cursorFor(cursorKind));
        else
            XUndefineCursor(display, window->xid);
    }
    XFlush(display);
}

} // namespace platform
} // namespace VSTGUI
