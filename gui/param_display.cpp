#include "gui/param_display.h"

#include "gui/bitmap.h"
#include "gui/draw_context.h"

#include <cstdio>
#include <cstring>

namespace VSTGUI
{

namespace
{
template <typename T> void storeMarkingDirty(CParamDisplay& display, T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    display.setDirty(true);
}
} // namespace

CParamDisplay::CParamDisplay(const CRect& bounds, CBitmap* bitmap, int32_t displayStyle)
    : CControl(bounds, nullptr, 0, bitmap), style(displayStyle)
{
    backOffset = CPoint();
    if (style & kNoDrawStyle)
        setDirty(false);
}

CParamDisplay::~CParamDisplay() = default;

bool CParamDisplay::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CParamDisplay") == 0 || CControl::isTypeOf(name);
}

void CParamDisplay::setFont(int32_t font)
{
    storeMarkingDirty(*this, fontId, font);
}
void CParamDisplay::setFontColor(const CColor& color)
{
    storeMarkingDirty(*this, fontColor, color);
}
void CParamDisplay::setBackColor(const CColor& color)
{
    storeMarkingDirty(*this, backColor, color);
}
void CParamDisplay::setFrameColor(const CColor& color)
{
    storeMarkingDirty(*this, frameColor, color);
}
void CParamDisplay::setShadowColor(const CColor& color)
{
    storeMarkingDirty(*this, shadowColor, color);
}
void CParamDisplay::setTextAlign(int32_t align)
{
    storeMarkingDirty(*this, horiTxtAlign, align);
}
void CParamDisplay::setStyle(int32_t newStyle)
{
    storeMarkingDirty(*this, style, newStyle);
}
void CParamDisplay::setTextFace(int32_t face)
{
    storeMarkingDirty(*this, txtFace, face);
}

void CParamDisplay::setStringConvert(ValueToStringConvert convert)
{
    stringConvert = convert;
}

void CParamDisplay::setStringConvertWithData(ValueToStringConvertWithData convert, void* data)
{
    stringConvertWithData = convert;
    userData = data;
}

void CParamDisplay::setTextToValue(StringToValueConvert convert)
{
    textToValue = convert;
}

bool CParamDisplay::convertValue(char* text) const
{
    if (stringConvertWithData)
        stringConvertWithData(value, text, userData);
    else if (stringConvert)
        stringConvert(value, text);
    else
        return false;
    return true;
}

void CParamDisplay::draw(CDrawContext* context)
{
    char text[256];
    if (!convertValue(text))
        std::snprintf(text, sizeof text, "%2.2f", static_cast<double>(value));
    drawText(context, text);
}

void CParamDisplay::drawText(CDrawContext* context, const char* text, CBitmap* bitmap)
{
    setDirty(false);
    if (style & kNoDrawStyle)
        return;

    if (bitmap || background)
    {
        drawBackground(context, backOffset, bitmap);
    }
    else if (!isTransparent())
    {
        context->setFillColor(backColor);
        context->fillRect(size);
        if (!(style & (k3DIn | k3DOut | kNoFrame)))
        {
            context->setFrameColor(frameColor);
            context->drawRect(size);
        }
    }

    if (style & (k3DIn | k3DOut))
    {
        const CRect r(size.left, size.top + 1, size.right - 1, size.bottom - 1);
        const bool in = (style & k3DIn) != 0;
        context->setLineWidth(1);
        context->setFrameColor(in ? backColor : frameColor);
        context->moveTo(CPoint(r.left, r.bottom));
        context->lineTo(CPoint(r.left, r.top));
        context->lineTo(CPoint(r.right, r.top));
        context->setFrameColor(in ? frameColor : backColor);
        context->moveTo(CPoint(r.right, r.top));
        context->lineTo(CPoint(r.right, r.bottom));
        context->lineTo(CPoint(r.left, r.bottom));
    }

    if ((style & kNoTextStyle) || !text)
        return;

    CRect oldClip;
    context->getClipRect(oldClip);
    CRect clip = size;
    clip.intersect(oldClip);
    context->setClipRect(clip);
    context->setFont(fontId, 0, txtFace);
    if (style & kShadowText)
    {
        CRect shadow = size;
        shadow.offset(1, 1);
        context->setFontColor(shadowColor);
        context->drawString(text, shadow, false, horiTxtAlign);
    }
    context->setFontColor(fontColor);
    context->drawString(text, size, !textTransparent, horiTxtAlign);
    context->setClipRect(oldClip);
}

} // namespace VSTGUI
