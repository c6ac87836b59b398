// CSplashScreen: a clickable area that shows a picture over the window, as the frame's modal
// view, until the picture is clicked away.
#pragma once

#include "gui/control.h"

namespace VSTGUI
{

class CSplashScreen : public CControl
{
public:
    // bounds is the clickable area; pictureRect is where the picture appears, in frame
    // coordinates; sourceOffset is the first source pixel of the picture.
    CSplashScreen(const CRect& bounds, CControlListener* owner, int32_t controlTag,
                  CBitmap* picture, const CRect& pictureRect, const CPoint& sourceOffset);
    ~CSplashScreen() override;

    void draw(CDrawContext* context) override;
    // Shows the picture (value 1).
    void onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons) override;
    // Only left clicks reach the splash screen.
    bool hitTest(const CPoint& where, int32_t buttons = -1) override;
    bool isTypeOf(const char* name) const override;

    // Hides the picture (value 0) and tells the listener, when it was shown.
    virtual void closeSplash(CDrawContext* context);

    // Draws the picture into rect: plain unless blended; blended by the alpha, or leaving out
    // the transparent colour when the alpha is 0.
    void drawPicture(CDrawContext* context, const CRect& rect, bool blended);
    const CRect& getDisplayRect() const { return displayRect; }
    void setAlpha(uint8_t newAlpha) { alpha = newAlpha; }
    uint8_t getAlpha() const { return alpha; }

private:
    CRect displayRect;
    CPoint offset;
    uint8_t alpha = 255;
};

// The picture of a splash screen while it is shown; it lives exactly as long.
class CSplashScreenView : public CView
{
public:
    CSplashScreenView(const CRect& bounds, CSplashScreen* opener);
    ~CSplashScreenView() override;

    void draw(CDrawContext* context) override;
    // A left click closes the splash and destroys this view; a view still shown when the
    // window closes goes with the frame.
    void onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons) override;

private:
    CSplashScreen* splashScreen; // not counted
};

} // namespace VSTGUI
