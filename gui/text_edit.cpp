#include "gui/text_edit.h"

#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/platform/window.h"
#include "gui/scale.h"

#include <cstring>

namespace VSTGUI
{

// Every platform's edit box reads it; the text edit installs it.
platform::EditColourHandler platform::editColourHandler = nullptr;

namespace
{
// Copies at most kMaxTextLength characters, always terminated.
void copyText(char* destination, const char* source)
{
    std::size_t length = 0;
    while (length < CTextEdit::kMaxTextLength && source[length])
        ++length;
    std::memmove(destination, source, length);
    destination[length] = 0;
}

// The open box shows the field's font colour on its back colour.
platform::Brush colourEditBox(CView* focusView, platform::Device device)
{
    if (!focusView || !focusView->isTypeOf("CTextEdit"))
        return nullptr;
    auto* edit = static_cast<CTextEdit*>(focusView);
    platform::setTextColor(device, edit->getFontColor());
    platform::setBackgroundColor(device, edit->getBackColor());
    platform::Brush brush = platform::createBrush(edit->getBackColor());
    edit->setEditBrush(brush);
    return brush;
}
} // namespace

CTextEdit::CTextEdit(const CRect& bounds, CControlListener* owner, int32_t controlTag,
                     const char* initialText, CBitmap* bitmap, int32_t displayStyle)
    : CParamDisplay(bounds, bitmap, displayStyle)
{
    listener = owner;
    tag = controlTag;
    if (initialText)
        copyText(text, initialText);
    setWantsFocus(true);
    platform::editColourHandler = colourEditBox;
}

CTextEdit::~CTextEdit()
{
    destroyBox();
}

bool CTextEdit::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CTextEdit") == 0 || CParamDisplay::isTypeOf(name);
}

void CTextEdit::setText(const char* newText)
{
    if (!newText)
        newText = "";
    char cut[kMaxTextLength + 1];
    copyText(cut, newText);
    if (std::strcmp(cut, text) == 0)
        return;
    std::memcpy(text, cut, sizeof text);
    setDirty(true);
}

void CTextEdit::getText(char* buffer) const
{
    if (buffer)
        std::memcpy(buffer, text, std::strlen(text) + 1);
}

void CTextEdit::setEditConvertWithData(StringConvertWithData convert, void* data)
{
    editConvertWithData = convert;
    userData = data;
}

void CTextEdit::setEditBrush(platform::Brush brush)
{
    if (editBrush)
        platform::deleteBrush(editBrush);
    editBrush = brush;
}

void CTextEdit::draw(CDrawContext* context)
{
    if (!editing)
    {
        char shown[kMaxTextLength + 1];
        if (editConvertWithData)
        {
            editConvertWithData(text, shown, userData);
        }
        else if (editConvert)
        {
            editConvert(text, shown);
        }
        else if (convertValue(shown))
        {
            copyText(text, shown);
        }
        else
        {
            copyText(shown, text);
        }
        drawText(context, shown);
    }
    setDirty(false);
}

void CTextEdit::onMouseDown(CDrawContext* context, CPoint&, int32_t buttons)
{
    if (!acceptMouseDown(context, buttons, false))
        return;
    if (!getFrame() || getFrame()->getFocusView() == this)
        return;
    if ((style & kDoubleClickStyle) && !isDoubleClick())
        return;
    beginEdit();
    editGesture = true;
    onFocusGained(context);
}

void CTextEdit::onFocusGained(CDrawContext* context)
{
    if (!getFrame() || editing)
        return;

    CRect rect = size;
    for (CView* parent = getParentView(); parent; parent = parent->getParentView())
    {
        if (parent->notify(this, kMsgCheckIfViewContainer) == 1)
        {
            CRect parentSize;
            parent->getBounds(parentSize);
            rect.offset(parentSize.left, parentSize.top);
        }
    }
    if (context)
        rect.offset(context->offset);

    const int32_t font = fontId >= 0 && fontId < kNumStandardFonts ? fontId : 0;
    // The box is a window of its own: placed and sized in device pixels.
    const double scale = getFrame()->getScale();
    platform::EditBoxDescription description;
    description.rect = toDevice(rect, scale);
    description.text = text;
    description.align = horiTxtAlign;
    description.fontFace = kStandardFontName[font];
    const int32_t roomForText = rect.height() - 2;
    description.fontHeight = toDevice(
        roomForText < kStandardFontSize[font] ? roomForText : kStandardFontSize[font], scale);
    description.maxLength = kMaxTextLength;

    editing = true;
    setEditBrush(nullptr);
    box = platform::createEditBox(getFrame()->getWindow(), description, this);
}

void CTextEdit::editBoxDone()
{
    if (box)
        onFocusLost(nullptr);
}

void CTextEdit::destroyBox()
{
    platform::EditBox closing = box;
    box = nullptr;
    if (closing)
        platform::destroyEditBox(closing);
    setEditBrush(nullptr);
}

void CTextEdit::onFocusLost(CDrawContext* context)
{
    if (editGesture)
    {
        editGesture = false;
        endEdit();
    }
    // Clearing the focus calls this again, and that nested call does the closing.
    if (getFrame() && getFrame()->getFocusView() == this)
        getFrame()->setFocusView(nullptr);
    if (!editing)
        return;
    editing = false;

    char previous[kMaxTextLength + 1];
    std::memcpy(previous, text, sizeof text);
    if (box)
        platform::getEditBoxText(box, text, sizeof text);
    destroyBox();

    if (context)
        context->retain();
    else if (getFrame())
        context = new CDrawContext(getFrame(), nullptr, getFrame()->getWindow());
    CPoint shift;
    if (context && getParentView())
    {
        CRect parentSize;
        getParentView()->getBounds(parentSize);
        shift = parentSize.topLeft();
        context->offset.offset(shift.h, shift.v);
    }
    const bool changed = std::strcmp(previous, text) != 0;
    if (changed && listener)
        listener->valueChanged(context, this);
    if (context)
    {
        context->offset.offset(-shift.h, -shift.v);
        context->release();
    }

    if (changed)
        runIdle();
    if (getParentView())
        getParentView()->notify(this, "LooseFocus");
    else if (getFrame())
        getFrame()->notify(this, "LooseFocus");
}

} // namespace VSTGUI
