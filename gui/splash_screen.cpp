#include "gui/splash_screen.h"

#include "gui/bitmap.h"
#include "gui/frame.h"

#include <cstring>

namespace VSTGUI
{

CSplashScreen::CSplashScreen(const CRect& bounds, CControlListener* owner, int32_t controlTag,
                             CBitmap* picture, const CRect& pictureRect, const CPoint& sourceOffset)
    : CControl(bounds, owner, controlTag, picture), displayRect(pictureRect), offset(sourceOffset)
{
}

CSplashScreen::~CSplashScreen() = default;

bool CSplashScreen::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CSplashScreen") == 0 || CControl::isTypeOf(name);
}

bool CSplashScreen::hitTest(const CPoint& where, int32_t buttons)
{
    return (buttons & kLButton) && CControl::hitTest(where, buttons);
}

void CSplashScreen::drawPicture(CDrawContext* context, const CRect& rect, bool blended)
{
    if (!background)
        return;
    if (!blended)
        background->draw(context, rect, offset);
    else if (alpha != 0)
        background->drawAlphaBlend(context, rect, offset, alpha);
    else
        background->drawTransparent(context, rect, offset);
}

void CSplashScreen::draw(CDrawContext* context)
{
    if (value != 0.f)
        drawPicture(context, displayRect, isTransparent());
    setDirty(false);
}

void CSplashScreen::onMouseDown(CDrawContext* context, CPoint&, int32_t buttons)
{
    if (!acceptMouseDown(context, buttons, false))
        return;
    value = value != 0.f ? 0.f : 1.f;
    if (value != 0.f)
    {
        auto* view = new CSplashScreenView(displayRect, this);
        view->setTransparent(isTransparent());
        view->setBackground(background);
        if (getFrame() && getFrame()->setModalView(view))
        {
            if (listener)
                listener->valueChanged(context, this);
        }
        else
        {
            view->release();
        }
    }
    setDirty(true);
}

void CSplashScreen::closeSplash(CDrawContext* context)
{
    if (value == 0.f)
        return;
    value = 0.f;
    if (listener)
        listener->valueChanged(context, this);
}

CSplashScreenView::CSplashScreenView(const CRect& bounds, CSplashScreen* opener)
    : CView(bounds), splashScreen(opener)
{
}

CSplashScreenView::~CSplashScreenView() = default;

void CSplashScreenView::draw(CDrawContext* context)
{
    splashScreen->drawPicture(context, size, isTransparent());
    setDirty(false);
}

void CSplashScreenView::onMouseDown(CDrawContext* context, CPoint&, int32_t buttons)
{
    if (!(buttons & kLButton))
        return;
    splashScreen->closeSplash(context);
    CFrame* frame = getFrame();
    if (!frame)
        return;
    frame->setDirty(true);
    // The frame hands the reference the view was created with back; dropping it destroys the
    // view, so nothing may touch it afterwards.
    frame->setModalView(nullptr);
    release();
}

} // namespace VSTGUI
