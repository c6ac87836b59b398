#include "gui/on_off_button.h"

#include "gui/bitmap.h"

#include <cstring>

namespace VSTGUI
{

COnOffButton::COnOffButton(const CRect& bounds, CControlListener* owner, int32_t controlTag,
                           CBitmap* bitmap, int32_t buttonStyle)
    : CControl(bounds, owner, controlTag, bitmap), style(buttonStyle)
{
}

COnOffButton::~COnOffButton() = default;

bool COnOffButton::isTypeOf(const char* name) const
{
    return std::strcmp(name, "COnOffButton") == 0 || CControl::isTypeOf(name);
}

void COnOffButton::draw(CDrawContext* context)
{
    const int32_t top = value == 0.f || !background ? 0 : background->getHeight() / 2;
    drawBackground(context, CPoint(0, top));
    setDirty(false);
}

void COnOffButton::tellListener(CDrawContext* context)
{
    beginEdit();
    listener->valueChanged(context, this);
    endEdit();
}

void COnOffButton::onMouseDown(CDrawContext* context, CPoint&, int32_t buttons)
{
    if (!acceptMouseDown(context, buttons, true))
        return;
    // Any nonzero value shows on, so a click from it must turn the button off.
    value = value != 0.f ? 0.f : 1.f;
    if (listener && style == kPreListenerUpdate)
        tellListener(context);
    runIdle();
    if (listener && style == kPostListenerUpdate)
        tellListener(context);
}

} // namespace VSTGUI
