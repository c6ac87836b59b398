// The popup menu on X11, drawn by the toolkit with cairo in an override-redirect window. It runs a
// loop of its own on the plug-in's connection, as a knob drag does, reading only the menu's
// events (the frame's wait in the queue for the next idle) until a pick or a cancel: Escape, a
// press outside, the frame window's destruction, a grab the server refuses or a long time
// without input.
#include "gui/platform/menu.h"
#include "gui/x11/x11.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <cmath>

namespace VSTGUI
{
namespace platform
{

namespace
{

// Layout units, multiplied by the window's scale.
constexpr double kRowHeight = 22.0;
constexpr double kPadding = 3.0;
constexpr double kCheckColumn = 24.0;
constexpr double kRightMargin = 20.0;
constexpr double kMinWidth = 96.0;
constexpr double kFontSize = 12.0;

constexpr int kPollMilliseconds = 50;
constexpr uint32_t kMapTimeout = 1000;
constexpr uint32_t kGrabTimeout = 250;
// Longer than anyone reads six items; a host that stalls its own windows meanwhile gets them
// back.
constexpr uint32_t kIdleTimeout = 30000;

constexpr int32_t kCancelled = -1;
constexpr int32_t kPending = -2;

constexpr long kMenuEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask |
                             PointerMotionMask | KeyPressMask | StructureNotifyMask;
constexpr unsigned kPointerEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;

class PopupMenu
{
public:
    PopupMenu(x11::Connection& server, const std::vector<std::string>& labels, int32_t checkedItem,
              double scale)
        : connection(server), display(server.display), items(labels), checked(checkedItem),
          rowHeight(scaled(kRowHeight, scale)), padding(scaled(kPadding, scale)),
          checkColumn(scaled(kCheckColumn, scale)), fontSize(kFontSize * scale), lineWidth(scale)
    {
        width = std::max(scaled(kMinWidth, scale),
                         checkColumn + widestLabel() + scaled(kRightMargin, scale));
        height = 2 * padding + rowHeight * static_cast<int>(items.size());
    }
    ~PopupMenu()
    {
        delete windowPicture;
        if (xid)
        {
            XUngrabPointer(display, CurrentTime);
            XUngrabKeyboard(display, CurrentTime);
            XDestroyWindow(display, xid);
            XFlush(display);
        }
    }
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    // Shows the menu with its corner next to (x, y) on the root window and waits for the user.
    int32_t run(int x, int y, ::Window owner)
    {
        frame = owner;
        if (!open(x, y) || !grab())
            return kCancelled;
        uint32_t lastInput = getTickCount();
        while (answer == kPending)
        {
            XEvent event;
            if (XCheckIfEvent(display, &event, &PopupMenu::isMenuEvent,
                              reinterpret_cast<XPointer>(this)))
            {
                if (handle(event))
                    lastInput = getTickCount();
                continue;
            }
            if (frameDestroyed() || getTickCount() - lastInput > kIdleTimeout)
                return kCancelled;
            wait();
        }
        return answer;
    }

private:
    static int scaled(double units, double scale)
    {
        return static_cast<int>(std::lround(units * scale));
    }

    static Bool isMenuEvent(Display*, XEvent* event, XPointer self)
    {
        return event->xany.window == reinterpret_cast<PopupMenu*>(self)->xid;
    }

    void setFont(cairo_t* cr) const
    {
        cairo_select_font_face(cr, "Arial", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, fontSize);
    }

    int widestLabel() const
    {
        cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
        cairo_t* cr = cairo_create(scratch);
        setFont(cr);
        double widest = 0.0;
        for (const std::string& item : items)
        {
            cairo_text_extents_t extents;
            cairo_text_extents(cr, item.c_str(), &extents);
            widest = std::max(widest, extents.x_advance);
        }
        cairo_destroy(cr);
        cairo_surface_destroy(scratch);
        return static_cast<int>(std::ceil(widest));
    }

    // The menu opens to the lower right of the point, or to the left and above where the
    // screen ends, never under the point itself: the release of the opening click picks nothing.
    bool open(int x, int y)
    {
        const int screen = DefaultScreen(display);
        const int left = x + width < DisplayWidth(display, screen) ? x + 1 : std::max(0, x - width);
        const int top =
            y + height < DisplayHeight(display, screen) ? y + 1 : std::max(0, y - height);
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.save_under = True;
        attributes.event_mask = kMenuEvents;
        attributes.background_pixel = WhitePixel(display, screen);
        xid = XCreateWindow(
            display, RootWindow(display, screen), left, top, static_cast<unsigned>(width),
            static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
            CWOverrideRedirect | CWSaveUnder | CWEventMask | CWBackPixel, &attributes);
        if (!xid || connection.requestFailed())
            return false;
        windowPicture = new x11::WindowPicture(display, xid, DefaultVisual(display, screen),
                                               DefaultDepth(display, screen), width, height);
        XMapRaised(display, xid);
        XFlush(display);
        return waitFor([this] { return isMapped(); }, kMapTimeout);
    }

    bool isMapped()
    {
        XEvent event;
        return XCheckTypedWindowEvent(display, xid, MapNotify, &event);
    }

    // The pointer must be ours, or a press elsewhere would go unnoticed and the menu stay open;
    // the keyboard is welcome but optional. A grab that another client holds may end shortly.
    bool grab()
    {
        const bool pointer = waitFor(
            [this]
            {
                return XGrabPointer(display, xid, False, kPointerEvents, GrabModeAsync,
                                    GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
            },
            kGrabTimeout);
        if (pointer)
            XGrabKeyboard(display, xid, False, GrabModeAsync, GrabModeAsync, CurrentTime);
        return pointer;
    }

    template <typename Condition> bool waitFor(Condition condition, uint32_t timeout)
    {
        const uint32_t start = getTickCount();
        while (!condition())
        {
            if (getTickCount() - start > timeout)
                return false;
            wait();
        }
        return true;
    }

    void wait() const
    {
        XFlush(display);
        pollfd input{ConnectionNumber(display), POLLIN, 0};
        poll(&input, 1, kPollMilliseconds);
    }

    // A host that destroys its window destroys the frame's with it.
    bool frameDestroyed()
    {
        XEvent event;
        if (!XCheckTypedWindowEvent(display, frame, DestroyNotify, &event))
            return false;
        XPutBackEvent(display, &event); // the frame still hears of it
        return true;
    }

    int32_t itemAt(int x, int y) const
    {
        if (x < 0 || x >= width || y < padding)
            return kCancelled;
        const int row = (y - padding) / rowHeight;
        return row < static_cast<int>(items.size()) ? row : kCancelled;
    }

    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }

    void highlight(int32_t item)
    {
        if (item == highlighted)
            return;
        highlighted = item;
        draw();
    }

    void step(int32_t by)
    {
        const auto count = static_cast<int32_t>(items.size());
        if (highlighted < 0)
            highlight(by > 0 ? 0 : count - 1);
        else
            highlight((highlighted + by + count) % count);
    }

    // Answers whether the event was the user's.
    bool handle(XEvent& event)
    {
        switch (event.type)
        {
        case Expose:
            if (event.xexpose.count == 0)
                draw();
            return false;
        case MotionNotify:
            highlight(itemAt(event.xmotion.x, event.xmotion.y));
            return true;
        case ButtonPress:
            // The wheel is no reason to close the menu.
            if (event.xbutton.button <= Button3 && !inside(event.xbutton.x, event.xbutton.y))
                answer = kCancelled;
            return true;
        case ButtonRelease:
            if (event.xbutton.button <= Button3)
            {
                const int32_t item = itemAt(event.xbutton.x, event.xbutton.y);
                if (item >= 0)
                    answer = item;
            }
            return true;
        case KeyPress:
            key(XLookupKeysym(&event.xkey, 0));
            return true;
        case DestroyNotify:
            answer = kCancelled;
            return false;
        default:
            return false;
        }
    }

    void key(KeySym symbol)
    {
        switch (symbol)
        {
        case XK_Up:
        case XK_KP_Up:
            step(-1);
            break;
        case XK_Down:
        case XK_KP_Down:
            step(1);
            break;
        case XK_Return:
        case XK_KP_Enter:
        case XK_space:
            if (highlighted >= 0)
                answer = highlighted;
            break;
        case XK_Escape:
            answer = kCancelled;
            break;
        default:
            break;
        }
    }

    // Drawn in memory, like the frame, then put on the window whole: cairo's xlib backend would
    // otherwise keep its solid colours and glyphs on the display, where closing the display does
    // not free them.
    void draw()
    {
        cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
        cairo_t* cr = cairo_create(picture);
        cairo_set_source_rgb(cr, 0.95, 0.95, 0.95);
        cairo_paint(cr);
        cairo_set_line_width(cr, lineWidth);
        cairo_set_source_rgb(cr, 0.55, 0.55, 0.55);
        cairo_rectangle(cr, lineWidth / 2, lineWidth / 2, width - lineWidth, height - lineWidth);
        cairo_stroke(cr);

        setFont(cr);
        cairo_font_extents_t font;
        cairo_font_extents(cr, &font);
        for (int32_t i = 0; i < static_cast<int32_t>(items.size()); ++i)
        {
            const double top = padding + i * rowHeight;
            const bool lit = i == highlighted;
            if (lit)
            {
                cairo_set_source_rgb(cr, 0.22, 0.45, 0.85);
                cairo_rectangle(cr, lineWidth, top, width - 2 * lineWidth, rowHeight);
                cairo_fill(cr);
            }
            const double shade = lit ? 1.0 : 0.0;
            cairo_set_source_rgb(cr, shade, shade, shade);
            if (i == checked)
                drawCheck(cr, top);
            cairo_move_to(cr, checkColumn, top + (rowHeight + font.ascent - font.descent) / 2);
            cairo_show_text(cr, items[static_cast<size_t>(i)].c_str());
        }
        cairo_destroy(cr);
        windowPicture->put(picture, CRect(0, 0, width, height), CPoint());
        cairo_surface_destroy(picture);
        XFlush(display);
    }

    void drawCheck(cairo_t* cr, double top) const
    {
        const double middle = top + rowHeight / 2.0;
        cairo_save(cr);
        cairo_set_line_width(cr, 1.8 * lineWidth);
        cairo_move_to(cr, checkColumn * 0.28, middle);
        cairo_line_to(cr, checkColumn * 0.45, middle + rowHeight * 0.2);
        cairo_line_to(cr, checkColumn * 0.75, middle - rowHeight * 0.25);
        cairo_stroke(cr);
        cairo_restore(cr);
    }

    x11::Connection& connection;
    Display* const display;
    const std::vector<std::string>& items;
    const int32_t checked;
    const int rowHeight;
    const int padding;
    const int checkColumn;
    const double fontSize;
    const double lineWidth;
    int width = 0;
    int height = 0;
    ::Window xid = 0;
    ::Window frame = 0;
    x11::WindowPicture* windowPicture = nullptr;
    int32_t highlighted = kCancelled;
    int32_t answer = kPending;
};

} // namespace

int32_t showPopupMenu(Window window, const CPoint& position, const std::vector<std::string>& items,
                      int32_t checked, double scale)
{
    if (!window || !window->alive || items.empty())
        return kCancelled;
    // The connection outlives the menu whatever happens to the frame.
    x11::Connection* connection = x11::Connection::retain();
    Display* display = connection->display;
    int x = 0;
    int y = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, window->xid, DefaultRootWindow(display), position.h, position.v,
                          &x, &y, &child);
    int32_t answer = kCancelled;
    {
        PopupMenu menu(*connection, items, checked, scale);
        answer = menu.run(x, y, window->xid);
    }
    connection->release();
    return answer;
}

} // namespace platform
} // namespace VSTGUI
