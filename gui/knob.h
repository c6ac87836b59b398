// Rotary knobs: the value maps to an angle on an arc and follows the mouse around the knob or in a
// straight line, the wheel and the arrow keys. CAnimKnob shows a frame of a film strip instead of
// drawing a handle.
#pragma once

#include "gui/control.h"

namespace VSTGUI
{

class CKnob : public CControl
{
public:
    CKnob(const CRect& bounds, CControlListener* owner, int32_t controlTag, CBitmap* bitmap,
          CBitmap* handle, const CPoint& sourceOffset);
    ~CKnob() override;

    void draw(CDrawContext* context) override;
    // Follows the pointer until the left button is released.
    void onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons) override;
    // The arrow keys step the value.
    int32_t onKeyDown(KeyCode& keyCode) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    bool isTypeOf(const char* name) const override;

    virtual void drawHandle(CDrawContext* context);
    // Angles in radians, counter-clockwise from the positive x axis; a negative range sweeps
    // clockwise.
    virtual void setStartAngle(float angle);
    virtual float getStartAngle() const { return startAngle; }
    virtual void setRangeAngle(float angle);
    virtual float getRangeAngle() const { return rangeAngle; }
    // The handle point of the current value, relative to the knob's top-left corner.
    virtual void valueToPoint(CPoint& point) const;
    // A point in the dead zone outside the sweep gives the value of the nearer end.
    virtual float valueFromPoint(const CPoint& point) const;
    virtual void setInset(int32_t newInset) { inset = newInset; }
    virtual void setShadowColor(const CColor& color);
    virtual void setHandleColor(const CColor& color);
    virtual void setHandleBitmap(CBitmap* bitmap);
    // How much slower linear dragging is while Shift is held.
    virtual void setZoomFactor(float factor) { zoomFactor = factor; }
    virtual float getZoomFactor() const { return zoomFactor; }

protected:
    // Brings the angle model in line with the range; min and max changes wait for this.
    void compute();

    CPoint offset;
    CColor colorHandle = kWhiteCColor;
    CColor colorShadowHandle = kGreyCColor;
    CBitmap* pHandle;
    int32_t inset = 3;
    float startAngle = 0.f;
    float rangeAngle = 1.f;
    float halfAngle = 0.f;
    float aCoef = 0.f;
    float bCoef = 0.f;
    float radius;
    float zoomFactor = 1.5f;

private:
    bool dragLinear(int32_t buttons) const;
    void trackMouse(CDrawContext* context, CPoint where, int32_t buttons);
    void stepValue(CDrawContext* context, float change);
};

class CAnimKnob : public CKnob
{
public:
    // strip holds frameCount pictures of frameHeight rows, the minimum's at the top.
    CAnimKnob(const CRect& bounds, CControlListener* owner, int32_t controlTag, int32_t frameCount,
              int32_t frameHeight, CBitmap* strip, const CPoint& sourceOffset);
    // Frames as high as the bounds, as many as the strip holds.
    CAnimKnob(const CRect& bounds, CControlListener* owner, int32_t controlTag, CBitmap* strip,
              const CPoint& sourceOffset);
    ~CAnimKnob() override;

    void draw(CDrawContext* context) override;
    // Not dirty while the handle point stays where it was drawn: the picture would not change.
    bool isDirty() const override;
    bool isTypeOf(const char* name) const override;

    // The first row of the film-strip frame that shows the current value.
    int32_t frameTop() const;

protected:
    int32_t subPixmaps;
    int32_t heightOfOneImage;
    CPoint lastDrawnPoint;
};

} // namespace VSTGUI
