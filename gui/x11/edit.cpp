// The edit box on X11, which has none of its own: a single-line box the toolkit draws over the
// field and feeds with the window's key events while it holds the keyboard focus. Return and
// focus loss hand the text over, Escape hands the original text back, as the owner expects of
// the Windows box.
#include "gui/platform/edit.h"
#include "gui/frame.h"
#include "gui/platform/window.h"
#include "gui/x11/x11.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace VSTGUI
{
namespace platform
{

struct EditBoxObject
{
    WindowObject* window = nullptr;
    EditBoxOwner* owner = nullptr;
    CRect rect;
    std::string face;
    FontDescription font;
    TextAlign align = TextAlign::center;
    std::size_t maxLength = 255;
    std::string original;
    std::string text;
    std::size_t anchor = 0; // the selection runs from anchor to caret
    std::size_t caret = 0;
    bool focused = true;
    ::Window previousFocus = None;
    int previousRevert = RevertToParent;
};

namespace
{

constexpr CColor kHighlight{0, 120, 215, 255};

TextAlign alignOf(int32_t align)
{
    if (align == 0)
        return TextAlign::left;
    return align == 2 ? TextAlign::right : TextAlign::center;
}

std::size_t selectionStart(const EditBoxObject& box)
{
    return std::min(box.anchor, box.caret);
}
std::size_t selectionEnd(const EditBoxObject& box)
{
    return std::max(box.anchor, box.caret);
}

void replaceSelection(EditBoxObject& box, const std::string& with)
{
    const std::size_t start = selectionStart(box);
    box.text.replace(start, selectionEnd(box) - start, with);
    box.caret = box.anchor = start + with.size();
}

void moveCaret(EditBoxObject& box, std::size_t to)
{
    box.caret = box.anchor = std::min(to, box.text.size());
}

void redraw(EditBoxObject& box)
{
    x11::present(*box.window, box.rect);
}

// The colours the focused field asks for, or black on white.
void colours(const EditBoxObject& box, CColor& text, CColor& background)
{
    text = kBlackCColor;
    background = kWhiteCColor;
    CFrame* frame = box.window->frame;
    if (!editColourHandler || !frame || !frame->getFocusView())
        return;
    DeviceObject device;
    const Brush brush = editColourHandler(frame->getFocusView(), &device);
    text = device.textColor;
    background = brush ? brush->color : device.backgroundColor;
}

} // namespace

namespace x11
{

void drawEditBox(cairo_t* cr, EditBoxObject& box)
{
    CColor text;
    CColor background;
    colours(box, text, background);
    const CRect& r = box.rect;
    cairo_save(cr);
    cairo_rectangle(cr, r.left, r.top, r.width(), r.height());
    cairo_clip(cr);
    setSourceColor(cr, background);
    cairo_paint(cr);
    selectFont(cr, box.font);
    const std::string before = box.text.substr(0, selectionStart(box));
    const std::string selected =
        box.text.substr(selectionStart(box), selectionEnd(box) - selectionStart(box));
    const int32_t whole = textWidth(cr, box.text.c_str());
    int32_t left = r.left;
    if (box.align == TextAlign::center)
        left = r.left + (r.width() - whole) / 2;
    else if (box.align == TextAlign::right)
        left = r.right - whole;
    setSourceColor(cr, text);
    const CRect line =
        showText(cr, box.text.c_str(), CRect(left, r.top, left + whole, r.bottom), TextAlign::left);
    const int32_t from = left + textWidth(cr, before.c_str());
    if (!selected.empty())
    {
        const int32_t width = textWidth(cr, selected.c_str());
        setSourceColor(cr, kHighlight);
        cairo_rectangle(cr, from, line.top, width, line.height());
        cairo_fill(cr);
        setSourceColor(cr, kWhiteCColor);
        showText(cr, selected.c_str(), CRect(from, r.top, from + width, r.bottom), TextAlign::left);
    }
    else
    {
        setSourceColor(cr, text);
        cairo_rectangle(cr, from, line.top, 1, line.height());
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void editBoxKey(EditBoxObject& box, XKeyEvent& event)
{
    char typed[8] = {};
    KeySym symbol = NoSymbol;
    const int length = XLookupString(&event, typed, sizeof typed - 1, &symbol, nullptr);
    const bool selection = box.anchor != box.caret;
    switch (symbol)
    {
    case XK_Return:
    case XK_KP_Enter:
        box.owner->editBoxDone(); // the owner destroys the box
        return;
    case XK_Escape:
        box.text = box.original;
        box.owner->editBoxDone();
        return;
    case XK_BackSpace:
        if (!selection && box.caret > 0)
            box.anchor = box.caret - 1;
        replaceSelection(box, "");
        break;
    case XK_Delete:
    case XK_KP_Delete:
        if (!selection && box.caret < box.text.size())
            box.anchor = box.caret + 1;
        replaceSelection(box, "");
        break;
    case XK_Left:
        moveCaret(box, selection ? selectionStart(box) : (box.caret > 0 ? box.caret - 1 : 0));
        break;
    case XK_Right:
        moveCaret(box, selection ? selectionEnd(box) : box.caret + 1);
        break;
    case XK_Home:
        moveCaret(box, 0);
        break;
    case XK_End:
        moveCaret(box, box.text.size());
        break;
    default:
        if (length != 1 || static_cast<unsigned char>(typed[0]) < 0x20 || typed[0] == 0x7F)
            return;
        if (box.text.size() - (selectionEnd(box) - selectionStart(box)) >= box.maxLength)
            return;
        replaceSelection(box, std::string(1, typed[0]));
        break;
    }
    redraw(box);
}

void editBoxFocusLost(EditBoxObject& box)
{
    if (!box.focused)
        return;
    box.focused = false;
    box.owner->editBoxDone();
}

} // namespace x11

EditBox createEditBox(Window parent, const EditBoxDescription& description, EditBoxOwner* owner)
{
    if (!parent || !parent->alive || parent->editBox)
        return nullptr;
    Display* display = parent->connection->display;
    auto* box = new EditBoxObject;
    box->window = parent;
    box->owner = owner;
    const CRect& r = description.rect;
    box->rect = CRect(r.left, r.top, r.right + 1, r.bottom + 1);
    box->face = description.fontFace ? description.fontFace : "";
    box->font.face = box->face.c_str();
    box->font.height = -description.fontHeight;
    box->align = alignOf(description.align);
    box->maxLength = static_cast<std::size_t>(std::max(description.maxLength, 0));
    box->original = description.text ? description.text : "";
    box->original.resize(std::min(box->original.size(), box->maxLength));
    box->text = box->original;
    box->caret = box->text.size();
    parent->editBox = box;
    XGetInputFocus(display, &box->previousFocus, &box->previousRevert);
    XSetInputFocus(display, parent->xid, RevertToParent, CurrentTime);
    redraw(*box);
    return box;
}

void getEditBoxText(EditBox box, char* text, int32_t size)
{
    if (size <= 0)
        return;
    const std::size_t length = std::min(box->text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(text, box->text.data(), length);
    text[length] = 0;
}

void destroyEditBox(EditBox box)
{
    x11::editBoxFocusLost(*box);
    WindowObject* window = box->window;
    window->editBox = nullptr;
    if (window->alive)
    {
        // The keyboard goes back where it came from, if it is still here.
        Display* display = window->connection->display;
        ::Window focus = None;
        int revert = 0;
        XGetInputFocus(display, &focus, &revert);
        if (focus == window->xid)
            XSetInputFocus(display, box->previousFocus, box->previousRevert, CurrentTime);
        window->connection->requestFailed();
    }
    x11::present(*window, box->rect);
    delete box;
}

} // namespace platform
} // namespace VSTGUI
