// COnOffButton: a two-state switch drawn from a bitmap holding the off picture above the on one.
#pragma once

#include "gui/control.h"

namespace VSTGUI
{

// When the listener hears of a click relative to the button's redraw.
enum COnOffButtonStyle : int32_t
{
    kPostListenerUpdate = 0, // redrawn first, then told
    kPreListenerUpdate = 1,  // told first, then redrawn
};

class COnOffButton : public CControl
{
public:
    COnOffButton(const CRect& bounds, CControlListener* owner, int32_t controlTag, CBitmap* bitmap,
                 int32_t buttonStyle = kPostListenerUpdate);
    ~COnOffButton() override;

    void draw(CDrawContext* context) override;
    // Toggles between 0 and 1 and tells the listener on every click.
    void onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons) override;
    bool isTypeOf(const char* name) const override;

    virtual int32_t getStyle() const { return style; }
    virtual void setStyle(int32_t newStyle) { style = newStyle; }

private:
    void tellListener(CDrawContext* context);

    int32_t style;
};

} // namespace VSTGUI
