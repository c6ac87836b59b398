#include "gui/frame.h"

#include "gui/draw_context.h"
#include "gui/platform/menu.h"
#include "gui/platform/window.h"
#include "gui/scale.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace VSTGUI
{

CFrame::CFrame(const CRect& rect, void* parent, IFrameOwner* frameOwner, double initialScale)
    : CViewContainer(rect, nullptr, nullptr), owner(frameOwner), parentWindow(parent),
      scale(initialScale)
{
    parentFrame = this;
    platform::initThreadServices();
    platform::openBlendLibrary();
    if (!parentWindow)
        return;
    if (platform::retainWindowClass())
        CDrawContext::setMouseButtonsSwapped(platform::areMouseButtonsSwapped());
    window = platform::createFrameWindow(this, parentWindow, deviceSize(size.width(), scale),
                                         deviceSize(size.height(), scale));
    if (!window)
    {
        platform::releaseWindowClass();
        return;
    }
    setDropActive(true);
}

CFrame::~CFrame()
{
    // An open edit box ends as a lost focus does, so the host's edit gesture is closed too.
    if (focusView)
        setFocusView(nullptr);
    // A modal view still shown goes with the frame, which holds its only reference.
    if (modalView)
        removeView(modalView, true);
    modalView = nullptr;
    setCursor(CursorKind::original);
    if (dropActive && window)
        platform::revokeDropTarget(window);
    dropActive = false;
    platform::exitThreadServices();
    if (backBuffer)
        backBuffer->release();
    backBuffer = nullptr;
    platform::closeBlendLibrary();
    if (window)
    {
        platform::destroyFrameWindow(window);
        platform::releaseWindowClass();
    }
}

void CFrame::draw(CDrawContext* context)
{
    firstDraw = false;
    if (!context)
        context = paintingContext;
    if (context)
        CViewContainer::draw(context);
}

void CFrame::drawUpdateRect(CDrawContext* context, const CRect& updateRect)
{
    firstDraw = false;
    const bool obtained = context == nullptr;
    if (obtained)
        context = createDrawContext();
    if (!context)
        return;
    CRect oldClip;
    context->getClipRect(oldClip);
    CRect newClip = updateRect;
    context->setClipRect(newClip.intersect(oldClip));
    if (updateRect.width() > 0 && updateRect.height() > 0)
        CViewContainer::drawUpdateRect(context, updateRect);
    context->setClipRect(oldClip);
    if (obtained)
        context->release();
}

void CFrame::onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons)
{
    if (!context)
        context = paintingContext;
    // A click anywhere ends text editing.
    if (focusView)
        setFocusView(nullptr);
    if (buttons == kButtonsUnknown && context)
        buttons = context->getMouseButtons();
    if (modalView)
    {
        if (modalView->hitTest(where, buttons))
            modalView->onMouseDown(context, where, buttons);
        return;
    }
    // A right click that no control takes is the panel's own: the owner offers its menu.
    if ((buttons & (kLButton | kRButton)) == kRButton && owner && !mouseTarget(where, buttons))
    {
        owner->onPanelRightClick(where);
        return;
    }
    CViewContainer::onMouseDown(context, where, buttons);
}

int32_t CFrame::onKeyDown(KeyCode& keyCode)
{
    if (focusView)
    {
        const int32_t answer = focusView->onKeyDown(keyCode);
        if (answer != -1)
            return answer;
    }
    if (modalView)
    {
        const int32_t answer = modalView->onKeyDown(keyCode);
        if (answer != -1)
            return answer;
    }
    if (keyCode.virt == kVirtualKeyTab &&
        advanceFocus(nullptr, (keyCode.modifier & kKeyModifierShift) != 0))
        return 1;
    return -1;
}

int32_t CFrame::onKeyUp(KeyCode& keyCode)
{
    if (focusView)
    {
        const int32_t answer = focusView->onKeyUp(keyCode);
        if (answer != -1)
            return answer;
    }
    if (modalView)
        return modalView->onKeyUp(keyCode);
    return -1;
}

bool CFrame::onWheel(CDrawContext* context, const CPoint& where, float distance)
{
    return onWheelAxis(context, where, kMouseWheelAxisY, distance);
}

bool CFrame::onWheelAxis(CDrawContext* context, const CPoint& where, int32_t axis, float distance)
{
    CView* target = modalView ? modalView : getViewAt(where, false);
    if (!target)
        return false;
    const bool obtained = context == nullptr;
    if (obtained)
        context = createDrawContext();
    const bool handled = target->onWheelAxis(context, where, axis, distance);
    if (obtained && context)
        context->release();
    return handled;
}

void CFrame::setBounds(const CRect& rect)
{
    setSize(rect.width(), rect.height());
}

bool CFrame::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CFrame") == 0 || CViewContainer::isTypeOf(name);
}

void CFrame::update(CDrawContext* context)
{
    if (!open || noUpdates)
        return;
    COffscreenContext* buffer = getBackBuffer();
    if (!buffer)
        return;
    CDrawContext* previous = paintingContext;
    paintingContext = buffer;
    if (dirty)
    {
        draw(buffer);
        setDirty(false);
    }
    else
    {
        if (modalView && modalView->isDirty())
            modalView->update(buffer);
        // Each child is clipped to its own area, so a dirty control redraws only that.
        for (ChildNode* node = firstChild; node; node = node->next)
        {
            CRect clip;
            buffer->getClipRect(clip);
            CRect childClip;
            node->view->getBounds(childClip);
            buffer->setClipRect(childClip.intersect(clip));
            node->view->update(buffer);
            buffer->setClipRect(clip);
        }
    }
    paintingContext = previous;
    if (context)
        buffer->copyOut(context, size, CPoint());
}

CView* CFrame::getViewUnderMouse()
{
    return modalView ? modalView : CViewContainer::getViewUnderMouse();
}

bool CFrame::advanceFocus(CView* oldFocus, bool reverse)
{
    if (modalView)
        return false;
    if (!oldFocus)
    {
        oldFocus = focusView;
        if (!oldFocus)
            return CViewContainer::advanceFocus(nullptr, reverse);
    }
    if (isChild(oldFocus))
    {
        if (CViewContainer::advanceFocus(oldFocus, reverse))
            return true;
        setFocusView(nullptr);
        return false;
    }
    // The old focus lies in a nested container: each container on the way up continues the
    // walk after the view it contains.
    CView* below = oldFocus;
    for (CView* parent = oldFocus->getParentView(); parent && parent->isTypeOf("CViewContainer");
         parent = parent->getParentView())
    {
        if (static_cast<CViewContainer*>(parent)->advanceFocus(below, reverse))
            return true;
        below = parent;
    }
    return CViewContainer::advanceFocus(oldFocus, reverse);
}

bool CFrame::openHostWindow(const CRect&)
{
    return false;
}

bool CFrame::closeHostWindow()
{
    return false;
}

bool CFrame::isOpen() const
{
    return open;
}

void CFrame::idle()
{
    if (!open || firstDraw || !isDirty())
        return;
    CDrawContext* context = createDrawContext();
    if (!context)
        return;
    update(context);
    context->release();
}

void CFrame::runIdle()
{
    if (owner)
        owner->doIdleStuff();
}

uint32_t CFrame::getTicks() const
{
    return owner ? platform::getTickCount() : 0;
}

int32_t CFrame::getKnobMode() const
{
    return owner ? owner->knobMode() : 0;
}

bool CFrame::setPosition(int32_t, int32_t)
{
    return false;
}

bool CFrame::getPosition(int32_t& x, int32_t& y) const
{
    if (!open)
        return false;
    const CPoint position = platform::getPluginWindowPosition(window);
    x = position.h;
    y = position.v;
    return true;
}

bool CFrame::hostResizes(int32_t width, int32_t height)
{
    return owner && owner->requestWindowSize(width, height);
}

bool CFrame::setSize(int32_t width, int32_t height)
{
    if (!open || (width == size.width() && height == size.height()))
        return false;
    if (backBuffer)
        backBuffer->release();
    backBuffer = nullptr;

    const int32_t pixelWidth = deviceSize(width, scale);
    const int32_t pixelHeight = deviceSize(height, scale);
    const bool asked = hostResizes(pixelWidth, pixelHeight);
    size.right = size.left + width;
    size.bottom = size.top + height;
    if (asked)
    {
        platform::resizeWindow(window, pixelWidth, pixelHeight);
        return true;
    }
    if (platform::resizeAncestors(window, pixelWidth, pixelHeight))
        return true;
    CViewContainer::setBounds(CRect(0, 0, width, height));
    return true;
}

double CFrame::setScale(double wanted)
{
    if (!open || !window || sameScale(wanted, scale))
        return scale;
    // An open edit box was placed and sized for the old scale: its text is taken now.
    if (focusView)
        setFocusView(nullptr);
    const int32_t width = size.width();
    const int32_t height = size.height();
    double chosen = wanted;
    if (!hostResizes(deviceSize(width, wanted), deviceSize(height, wanted)))
    {
        // What the host gave, and at least the 1x picture, which no scale can shrink below.
        const CRect room = platform::getParentWindowRect(window);
        const double fits = std::min(static_cast<double>(room.width()) / width,
                                     static_cast<double>(room.height()) / height);
        if (!room.isEmpty())
            chosen = std::max(1.0, std::min(wanted, fits));
    }
    scale = chosen;
    resizeToScale();
    return scale;
}

void CFrame::resizeToScale()
{
    if (backBuffer)
        backBuffer->release();
    backBuffer = nullptr;
    platform::resizeWindow(window, deviceSize(size.width(), scale),
                           deviceSize(size.height(), scale));
    setDirty(true);
}

bool CFrame::getSize(CRect* rect) const
{
    if (!open || !rect)
        return false;
    *rect = platform::getParentWindowRect(window);
    return true;
}

bool CFrame::getSize(CRect& rect) const
{
    return getSize(&rect);
}

bool CFrame::setModalView(CView* view)
{
    if (view && modalView)
        return false;
    if (view)
    {
        modalView = view;
        addView(view);
    }
    else if (modalView)
    {
        CView* leaving = modalView;
        modalView = nullptr;
        removeView(leaving, false);
    }
    return true;
}

CView* CFrame::getModalView() const
{
    return modalView;
}

void CFrame::beginParameterEdit(int32_t index)
{
    if (owner)
        owner->beginEdit(index);
}

void CFrame::endParameterEdit(int32_t index)
{
    if (owner)
        owner->endEdit(index);
}

bool CFrame::getCurrentLocation(CPoint& where)
{
    where = platform::getPointerScreenPosition();
    if (window)
    {
        const CPoint origin = platform::getWindowScreenOrigin(window);
        where = toLayout(where.offset(-origin.h, -origin.v), scale);
    }
    return true;
}

void CFrame::setCursor(CursorKind kind)
{
    if (!cursorSaved)
        savedCursor = platform::getCursor();
    cursorSaved = true;
    platform::setCursor(kind, savedCursor);
}

void CFrame::setFocusView(CView* view)
{
    CView* previous = focusView;
    focusView = view;
    if (view && view->wantsFocus())
        view->setDirty(true);
    if (previous)
    {
        previous->onFocusLost(nullptr);
        if (previous->wantsFocus())
            previous->setDirty(true);
    }
}

CView* CFrame::getFocusView() const
{
    return focusView;
}

bool CFrame::setDropActive(bool flag)
{
    if (!dropActive && !flag)
        return true;
    if (!window)
        return false;
    if (dropActive)
        platform::revokeDropTarget(window);
    dropActive = flag && platform::registerDropTarget(window, this);
    return true;
}

bool CFrame::isDropActive() const
{
    return dropActive;
}

void CFrame::setOpenFlag(bool flag)
{
    open = flag;
}

bool CFrame::getOpenFlag() const
{
    return open;
}

void CFrame::invalidate(const CRect& rect)
{
    for (ChildNode* node = firstChild; node; node = node->next)
        if (node->view->overlapsUpdate(rect))
            node->view->setDirty(true);
}

bool CFrame::updatesDisabled() const
{
    return noUpdates;
}

bool CFrame::setUpdatesDisabled(bool flag)
{
    const bool previous = noUpdates;
    noUpdates = flag;
    return previous;
}

void CFrame::redrawView(CView* view)
{
    if (!view || !isChild(view))
        view = this;
    CDrawContext* context = createDrawContext();
    if (!context)
        return;
    view->draw(context);
    context->release();
}

int32_t CFrame::showPopupMenu(const CPoint& where, const std::vector<std::string>& items,
                              int32_t checked)
{
    const CPoint pixel = toDevice(CPoint(where.h - size.left, where.v - size.top), scale);
    return platform::showPopupMenu(window, pixel, items, checked, scale);
}

CDrawContext* CFrame::createDrawContext()
{
    if (paintingContext)
    {
        paintingContext->retain();
        return paintingContext;
    }
    return new CDrawContext(this, nullptr, window);
}

COffscreenContext* CFrame::getBackBuffer()
{
    if (!backBuffer)
        backBuffer = new COffscreenContext(this, size.width(), size.height(), kBlackCColor);
    return backBuffer;
}

void CFrame::paint(platform::Device device, const CRect& updateRect)
{
    const CRect area = toLayout(updateRect, scale);
    COffscreenContext* buffer = getBackBuffer();
    CDrawContext* direct = buffer ? nullptr : new CDrawContext(this, device, window);
    drawUpdateRect(buffer ? static_cast<CDrawContext*>(buffer) : direct, area);
    if (direct)
    {
        direct->release();
        return;
    }
    CDrawContext* screen = new CDrawContext(this, device, window);
    buffer->copyOut(screen, area, area.topLeft());
    screen->release();
}

void CFrame::mouseDown(const CPoint& where, int32_t buttons)
{
    CDrawContext* context = new CDrawContext(this, nullptr, window);
    CPoint point = toLayout(where, scale);
    onMouseDown(context, point, buttons);
    context->release();
}

bool CFrame::wheel(const CPoint& where, int32_t axis, float distance)
{
    CDrawContext* context = new CDrawContext(this, nullptr, window);
    const bool handled = onWheelAxis(context, toLayout(where, scale), axis, distance);
    context->release();
    return handled;
}

void CFrame::screenChanged()
{
    if (owner)
        owner->screenChanged();
}

void CFrame::windowDestroyed()
{
    setOpenFlag(false);
    parentWindow = nullptr;
}

} // namespace VSTGUI
