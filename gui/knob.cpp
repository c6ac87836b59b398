#include "gui/knob.h"

#include "gui/bitmap.h"
#include "gui/draw_context.h"
#include "gui/frame.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace VSTGUI
{

namespace
{
constexpr float kPi = 3.14159265f;
// Wrapping adds and subtracts the float; the comparison that decides to wrap uses the double.
constexpr float kTwoPiWrap = 6.2831855f;
constexpr double kTwoPiCompare = 6.283185307179586;

constexpr int32_t kLinearKnobMode = 2;
constexpr float kLinearSteps = 200.f; // pixels of linear drag across the whole range
constexpr float kStepFraction = 0.005f;
constexpr float kFineStepFactor = 0.1f;

float wrapOnce(float angle)
{
    if (angle < 0.f)
        return angle + kTwoPiWrap;
    if (angle > kTwoPiCompare)
        return angle - kTwoPiWrap;
    return angle;
}
} // namespace

CKnob::CKnob(const CRect& bounds, CControlListener* owner, int32_t controlTag, CBitmap* bitmap,
             CBitmap* handle, const CPoint& sourceOffset)
    : CControl(bounds, owner, controlTag, bitmap), offset(sourceOffset), pHandle(handle),
      radius(static_cast<float>(bounds.width()) / 2.f)
{
    if (pHandle)
    {
        pHandle->retain();
        inset = static_cast<int32_t>(static_cast<float>(pHandle->getWidth()) * 0.5f + 2.5f);
    }
    setStartAngle(5.f * kPi / 4.f);
    setRangeAngle(-3.f * kPi / 2.f);
    setWantsFocus(true);
}

CKnob::~CKnob()
{
    if (pHandle)
        pHandle->release();
}

bool CKnob::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CKnob") == 0 || CControl::isTypeOf(name);
}

void CKnob::compute()
{
    aCoef = (vmax - vmin) / rangeAngle;
    halfAngle = (kTwoPiWrap - std::fabs(rangeAngle)) * 0.5f;
    bCoef = vmin - aCoef * startAngle;
    setDirty(true);
}

void CKnob::setStartAngle(float angle)
{
    startAngle = angle;
    compute();
}

void CKnob::setRangeAngle(float angle)
{
    rangeAngle = angle;
    compute();
}

void CKnob::setShadowColor(const CColor& color)
{
    colorShadowHandle = color;
    setDirty(true);
}

void CKnob::setHandleColor(const CColor& color)
{
    colorHandle = color;
    setDirty(true);
}

void CKnob::setHandleBitmap(CBitmap* bitmap)
{
    if (pHandle)
        pHandle->release();
    pHandle = bitmap;
    if (pHandle)
    {
        pHandle->retain();
        inset = static_cast<int32_t>(static_cast<float>(pHandle->getWidth()) * 0.5f + 2.5f);
    }
}

void CKnob::valueToPoint(CPoint& point) const
{
    const double alpha = (static_cast<double>(value) - bCoef) / aCoef;
    const double reach = static_cast<double>(radius) - inset;
    point.h = static_cast<CCoord>(radius + std::cos(alpha) * reach + 0.5);
    point.v = static_cast<CCoord>(radius - std::sin(alpha) * reach + 0.5);
}

float CKnob::valueFromPoint(const CPoint& point) const
{
    // Screen y grows downwards, angles count counter-clockwise.
    float alpha = static_cast<float>(
        std::atan2(static_cast<double>(radius) - point.v, static_cast<double>(point.h) - radius));
    if (alpha < 0.f)
        alpha += kTwoPiWrap;
    float d = alpha - startAngle;
    if (rangeAngle >= 0.f)
    {
        const float w = wrapOnce(d);
        if (w > rangeAngle + halfAngle)
            return vmin;
        if (w > rangeAngle)
            return vmax;
        if (d > rangeAngle + halfAngle)
            d -= kTwoPiWrap;
        else if (d < -halfAngle)
            d += kTwoPiWrap;
        return aCoef * d + vmin;
    }
    d -= rangeAngle;
    const float w = wrapOnce(d);
    if (w > halfAngle - rangeAngle)
        return vmax;
    if (w > -rangeAngle)
        return vmin;
    if (d > halfAngle - rangeAngle)
        d -= kTwoPiWrap;
    else if (d < -halfAngle)
        d += kTwoPiWrap;
    return aCoef * d + vmax;
}

void CKnob::draw(CDrawContext* context)
{
    drawBackground(context, offset);
    drawHandle(context);
    setDirty(false);
}

void CKnob::drawHandle(CDrawContext* context)
{
    CPoint point;
    valueToPoint(point);
    if (pHandle)
    {
        const int32_t width = pHandle->getWidth();
        const int32_t height = pHandle->getHeight();
        const CRect where(CPoint(size.left + point.h - width / 2, size.top + point.v - height / 2),
                          width, height);
        pHandle->drawTransparent(context, where, CPoint());
        return;
    }
    CPoint origin(size.left + size.width() / 2 - 1, size.top + size.height() / 2);
    point.offset(size.left - 1, size.top);
    context->setFrameColor(colorShadowHandle);
    context->moveTo(point);
    context->lineTo(origin);
    point.offset(1, -1);
    origin.offset(1, -1);
    context->setFrameColor(colorHandle);
    context->moveTo(point);
    context->lineTo(origin);
}

bool CKnob::dragLinear(int32_t buttons) const
{
    const bool linearMode = getFrame() && getFrame()->getKnobMode() == kLinearKnobMode;
    return linearMode != ((buttons & kAlt) != 0);
}

void CKnob::onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons)
{
    if (!acceptMouseDown(context, buttons, true))
        return;
    if (applyDefaultOnClick(context, buttons))
        return;
    trackMouse(context, where, buttons);
}

void CKnob::trackMouse(CDrawContext* context, CPoint where, int32_t buttons)
{
    const float range = vmax - vmin;
    const float middle = range * 0.5f;
    const bool linear = dragLinear(buttons);
    float entryValue = value;
    float step = range * kStepFraction;
    float startValue = 0.f;
    CPoint firstPoint;
    int32_t rememberedButtons = buttons;
    if (linear)
    {
        if (buttons & kShift)
            step = range / (kLinearSteps * zoomFactor);
        firstPoint = where;
    }
    else
    {
        startValue = valueFromPoint(CPoint(where.h - size.left, where.v - size.top));
    }

    CPoint lastPoint(-1, -1);
    beginEdit();
    do
    {
        buttons = context->getMouseButtons();
        if (where != lastPoint)
        {
            lastPoint = where;
            if (linear)
            {
                // Up and right raise the value, one step per pixel.
                const auto delta =
                    static_cast<float>((firstPoint.v - where.v) + (where.h - firstPoint.h));
                if (buttons != rememberedButtons)
                {
                    // Shift changed mid-drag: rebase so that the value does not jump.
                    const float newSteps =
                        (buttons & kShift) ? kLinearSteps * zoomFactor : kLinearSteps;
                    const float newStep = range / newSteps;
                    entryValue += delta * (step - newStep);
                    step = newStep;
                    rememberedButtons = buttons;
                }
                value = entryValue + delta * step;
                clampValue();
            }
            else
            {
                const float pointed =
                    valueFromPoint(CPoint(where.h - size.left, where.v - size.top));
                // A jump of more than half the range means the pointer crossed the dead zone:
                // stay at the end it left until it comes back.
                if (startValue - pointed > middle)
                    value = vmax;
                else if (pointed - startValue > middle)
                    value = vmin;
                else
                    value = startValue = pointed;
            }
            reportIfDirty(context);
        }
        getMouseLocation(context, where);
        runIdle();
    } while (buttons & kLButton);
    endEdit();
}

void CKnob::stepValue(CDrawContext* context, float change)
{
    value += change;
    clampValue();
    if (isDirty() && listener)
    {
        beginEdit();
        listener->valueChanged(context, this);
        endEdit();
    }
}

bool CKnob::onWheel(CDrawContext* context, const CPoint&, float distance)
{
    if (!isMouseEnabled())
        return false;
    const int32_t buttons = context ? context->getMouseButtons() : 0;
    float change = distance * wheelStep;
    if (buttons & kShift)
        change *= kFineStepFactor;
    stepValue(context, change);
    return true;
}

int32_t CKnob::onKeyDown(KeyCode& keyCode)
{
    float change;
    switch (keyCode.virt)
    {
    case kVirtualKeyUp:
    case kVirtualKeyRight:
        change = wheelStep;
        break;
    case kVirtualKeyLeft:
    case kVirtualKeyDown:
        change = -wheelStep;
        break;
    default:
        return -1;
    }
    if (keyCode.modifier & kKeyModifierShift)
        change *= kFineStepFactor;
    stepValue(nullptr, change);
    return 1;
}

CAnimKnob::CAnimKnob(const CRect& bounds, CControlListener* owner, int32_t controlTag,
                     int32_t frameCount, int32_t frameHeight, CBitmap* strip,
                     const CPoint& sourceOffset)
    : CKnob(bounds, owner, controlTag, strip, nullptr, sourceOffset), subPixmaps(frameCount),
      heightOfOneImage(frameHeight)
{
    inset = 0;
}

CAnimKnob::CAnimKnob(const CRect& bounds, CControlListener* owner, int32_t controlTag,
                     CBitmap* strip, const CPoint& sourceOffset)
    : CKnob(bounds, owner, controlTag, strip, nullptr, sourceOffset), subPixmaps(0),
      heightOfOneImage(bounds.height())
{
    if (strip && heightOfOneImage > 0)
        subPixmaps = static_cast<int16_t>(strip->getHeight() / heightOfOneImage);
    inset = 0;
}

CAnimKnob::~CAnimKnob() = default;

bool CAnimKnob::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CAnimKnob") == 0 || CKnob::isTypeOf(name);
}

int32_t CAnimKnob::frameTop() const
{
    if (!(value >= 0.f) || heightOfOneImage <= 0)
        return 0;
    const int32_t span = heightOfOneImage * (subPixmaps - 1);
    // Values above 1 lie beyond the last frame; the bound only keeps the conversion defined.
    const float scaled = value * static_cast<float>(span);
    constexpr auto kLimit = static_cast<float>(std::numeric_limits<int32_t>::max() / 2);
    const auto top = static_cast<int32_t>(scaled < kLimit ? scaled : kLimit);
    return top <= span ? top / heightOfOneImage * heightOfOneImage : top;
}

void CAnimKnob::draw(CDrawContext* context)
{
    drawBackground(context, CPoint(0, frameTop()));
    valueToPoint(lastDrawnPoint);
    setDirty(false);
}

bool CAnimKnob::isDirty() const
{
    if (CView::isDirty())
        return true;
    CPoint point;
    valueToPoint(point);
    if (point == lastDrawnPoint)
        return false;
    return value != oldValue;
}

} // namespace VSTGUI
