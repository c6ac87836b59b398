// CControl: the base of every interactive widget, carrying a value within a range, a tag that
// names it to its owner, and a listener that hears about the user's changes.
#pragma once

#include "gui/view.h"

namespace VSTGUI
{

class CControl;

// The owner's side of a control.
class CControlListener
{
public:
    virtual void valueChanged(CDrawContext* context, CControl* control) = 0;
    // A nonzero answer consumes a click made with a modifier key held.
    virtual int32_t modifierClicked(CDrawContext* context, CControl* control, int32_t buttons);

protected:
    ~CControlListener() = default;
};

class CControl : public CView
{
public:
    CControl(const CRect& bounds, CControlListener* owner, int32_t controlTag,
             CBitmap* bitmap = nullptr);
    ~CControl() override;

    void draw(CDrawContext* context) override = 0;
    // Dirty when the value moved away from the value last drawn, or when flagged.
    bool isDirty() const override;
    // Flagging also moves the old value away from the value, so that the control surely redraws;
    // clearing makes the current value the drawn one.
    void setDirty(bool flag = true) override;
    bool isTypeOf(const char* name) const override;

    // Runs the editor's idle pass; controls call it inside their mouse loops.
    virtual void runIdle();
    // Only stores: a new value makes the control dirty and the next idle pass draws it.
    virtual void setValue(float newValue) { value = newValue; }
    virtual float getValue() const { return value; }
    virtual void setMin(float newMin) { vmin = newMin; }
    virtual float getMin() const { return vmin; }
    virtual void setMax(float newMax) { vmax = newMax; }
    virtual float getMax() const { return vmax; }
    virtual void setOldValue(float newOldValue) { oldValue = newOldValue; }
    virtual float getOldValue() const { return oldValue; }
    virtual void setDefaultValue(float newDefault) { defaultValue = newDefault; }
    virtual float getDefaultValue() const { return defaultValue; }
    virtual void setTag(int32_t newTag) { tag = newTag; }
    virtual int32_t getTag() const { return tag; }
    // Start and end of a user's edit gesture, reported to the host with the tag as parameter.
    virtual void beginEdit();
    virtual void endEdit();
    virtual void setBackOffset(const CPoint& offset) { backOffset = offset; }
    virtual void backOffsetFromBounds() { backOffset = size.topLeft(); }
    virtual void setWheelStep(float step) { wheelStep = step; }
    virtual float getWheelStep() const { return wheelStep; }
    // Brings the value back into [min, max]; NaN stays as it is.
    virtual void clampValue();
    // Control+left click (and nothing else) restores the default value; true when it did.
    virtual bool applyDefaultOnClick(CDrawContext* context, int32_t buttons);

    // Counts clicks by the frame's clock: true for the second click of a pair within the
    // double-click interval; a third click starts a new pair.
    bool isDoubleClick();

    CControlListener* getListener() const { return listener; }
    void setListener(CControlListener* newListener) { listener = newListener; }
    const CPoint& getBackOffset() const { return backOffset; }

protected:
    // The start that every control's mouse handling shares. Reads the buttons when they are
    // unknown; false when the click is not for the control: mouse disabled, consumed by the
    // listener's modifierClicked, or, when leftFirst is set, made without the left button before
    // the listener is asked (otherwise after).
    bool acceptMouseDown(CDrawContext* context, int32_t& buttons, bool leftFirst);
    // Tells the listener, when there is one, about a change that is still undrawn.
    void reportIfDirty(CDrawContext* context);
    // Draws bitmap (the background when none is given) into the bounds from sourceOffset,
    // leaving out its transparent colour when the control is transparent.
    void drawBackground(CDrawContext* context, const CPoint& sourceOffset,
                        CBitmap* bitmap = nullptr);

    CControlListener* listener;
    int32_t tag;
    float oldValue = 1.f;
    float defaultValue = 0.5f;
    float value = 0.f;
    float vmin = 0.f;
    float vmax = 1.f;
    float wheelStep = 0.1f;
    int32_t lastClickTime = -1;
    int32_t doubleClickInterval;
    CPoint backOffset;
};

} // namespace VSTGUI
