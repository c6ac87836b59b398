#include "gui/control.h"

#include "gui/bitmap.h"
#include "gui/draw_context.h"
#include "gui/frame.h"

#include <cstring>

namespace VSTGUI
{

namespace
{
// Shorter system settings make a double click nearly impossible to perform.
constexpr int32_t kMinDoubleClickInterval = 250;
// Shift, Control, Alt and the fourth modifier.
constexpr int32_t kModifierMask = kShift | kControl | kAlt | kApple;
constexpr int32_t kDefaultValueClick = kLButton | kControl;
} // namespace

int32_t CControlListener::modifierClicked(CDrawContext*, CControl*, int32_t)
{
    return 0;
}

CControl::CControl(const CRect& bounds, CControlListener* owner, int32_t controlTag,
                   CBitmap* bitmap)
    : CView(bounds), listener(owner), tag(controlTag)
{
    const auto systemInterval = static_cast<int32_t>(platform::getDoubleClickTime());
    doubleClickInterval =
        systemInterval < kMinDoubleClickInterval ? kMinDoubleClickInterval : systemInterval;
    setTransparent(false);
    setMouseEnabled(true);
    setBackground(bitmap);
}

CControl::~CControl() = default;

bool CControl::isDirty() const
{
    return value != oldValue || CView::isDirty();
}

void CControl::setDirty(bool flag)
{
    CView::setDirty(flag);
    if (flag)
        oldValue = value == -1.f ? 0.f : -1.f;
    else
        oldValue = value;
}

bool CControl::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CControl") == 0 || CView::isTypeOf(name);
}

void CControl::runIdle()
{
    if (getFrame())
        getFrame()->runIdle();
}

void CControl::beginEdit()
{
    if (!getFrame())
        return;
    getFrame()->setFocusView(this);
    getFrame()->beginParameterEdit(tag);
}

void CControl::endEdit()
{
    if (getFrame())
        getFrame()->endParameterEdit(tag);
}

void CControl::clampValue()
{
    if (value > vmax)
        value = vmax;
    else if (value < vmin)
        value = vmin;
}

bool CControl::applyDefaultOnClick(CDrawContext* context, int32_t buttons)
{
    if (buttons != kDefaultValueClick)
        return false;
    beginEdit();
    value = defaultValue;
    reportIfDirty(context);
    endEdit();
    return true;
}

bool CControl::isDoubleClick()
{
    const auto now = static_cast<int32_t>(getFrame() ? getFrame()->getTicks() : 0);
    if (lastClickTime > 0 && now < lastClickTime + doubleClickInterval)
    {
        lastClickTime = 0;
        return true;
    }
    lastClickTime = now;
    return false;
}

bool CControl::acceptMouseDown(CDrawContext* context, int32_t& buttons, bool leftFirst)
{
    if (!isMouseEnabled())
        return false;
    if (buttons == kButtonsUnknown)
        buttons = context ? context->getMouseButtons() : 0;
    if (leftFirst && !(buttons & kLButton))
        return false;
    if (listener && (buttons & kModifierMask) &&
        listener->modifierClicked(context, this, buttons) != 0)
        return false;
    return (buttons & kLButton) != 0;
}

void CControl::reportIfDirty(CDrawContext* context)
{
    if (isDirty() && listener)
        listener->valueChanged(context, this);
}

void CControl::drawBackground(CDrawContext* context, const CPoint& sourceOffset, CBitmap* bitmap)
{
    if (!bitmap)
        bitmap = background;
    if (!bitmap)
        return;
    if (isTransparent())
        bitmap->drawTransparent(context, size, sourceOffset);
    else
        bitmap->draw(context, size, sourceOffset);
}

} // namespace VSTGUI
