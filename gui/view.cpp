#include "gui/view.h"

#include "gui/bitmap.h"
#include "gui/draw_context.h"
#include "gui/frame.h"

#include <cstring>

namespace VSTGUI
{

const char* const kMsgCheckIfViewContainer = "kMsgCheckIfViewContainer";

CView::CView(const CRect& rect) : size(rect), mouseableArea(rect) {}

CView::~CView()
{
    if (background)
        background->release();
}

void CView::draw(CDrawContext* context)
{
    if (background)
    {
        if (transparent)
            background->drawTransparent(context, size);
        else
            background->draw(context, size);
    }
    setDirty(false);
}

void CView::drawUpdateRect(CDrawContext* context, const CRect&)
{
    draw(context);
}

bool CView::overlapsUpdate(const CRect& updateRect) const
{
    return updateRect.right >= size.left && size.right >= updateRect.left &&
           updateRect.bottom >= size.top && size.bottom >= updateRect.top;
}

void CView::onMouseDown(CDrawContext*, CPoint&, int32_t) {}

void CView::setBackground(CBitmap* bitmap)
{
    // Retain first: the new bitmap may be the one already held.
    if (bitmap)
        bitmap->retain();
    if (background)
        background->release();
    background = bitmap;
    setDirty(true);
}

CBitmap* CView::getBackground() const
{
    return background;
}

int32_t CView::onKeyDown(KeyCode&)
{
    return -1;
}

int32_t CView::onKeyUp(KeyCode&)
{
    return -1;
}

bool CView::onWheel(CDrawContext*, const CPoint&, float)
{
    return false;
}

bool CView::onWheelAxis(CDrawContext* context, const CPoint& where, int32_t, float distance)
{
    return onWheel(context, where, distance);
}

bool CView::onDrop(CDrawContext*, CDragContainer*, const CPoint&)
{
    return false;
}

void CView::onDragEnter(CDrawContext*, CDragContainer*, const CPoint&) {}

void CView::onDragLeave(CDrawContext*, CDragContainer*, const CPoint&) {}

void CView::onDragMove(CDrawContext*, CDragContainer*, const CPoint&) {}

void CView::onFocusLost(CDrawContext*) {}

void CView::onFocusGained(CDrawContext*) {}

bool CView::isDirty() const
{
    return dirty;
}

void CView::setDirty(bool flag)
{
    dirty = flag;
}

void CView::setMouseEnabled(bool flag)
{
    mouseEnabled = flag;
}

bool CView::isMouseEnabled() const
{
    return mouseEnabled;
}

void CView::setMouseArea(const CRect& rect)
{
    mouseableArea = rect;
}

CRect& CView::getMouseArea(CRect& rect) const
{
    rect = mouseableArea;
    return rect;
}

bool CView::hitTest(const CPoint& where, int32_t)
{
    return where.h >= mouseableArea.left && where.h <= mouseableArea.right &&
           where.v >= mouseableArea.top && where.v <= mouseableArea.bottom;
}

void CView::setTransparent(bool flag)
{
    transparent = flag;
}

bool CView::isTransparent() const
{
    return transparent;
}

void CView::setBounds(const CRect& rect)
{
    size = rect;
    setDirty(true);
}

CRect& CView::getBounds(CRect& rect) const
{
    rect = size;
    return rect;
}

bool CView::onRemoved(CView*)
{
    return true;
}

bool CView::onAttached(CView*)
{
    return true;
}

void CView::getMouseLocation(CDrawContext* context, CPoint& point)
{
    if (parentView && parentView->notify(this, kMsgCheckIfViewContainer) == 1)
    {
        const CRect& parentSize = parentView->getViewSize();
        shiftOffsets(context, parentSize.left, parentSize.top);
        parentView->getMouseLocation(context, point);
        shiftOffsets(context, -parentSize.left, -parentSize.top);
        return;
    }
    context->getMouseLocation(point);
}

CPoint& CView::frameToLocal(CPoint& point) const
{
    if (parentView && parentView->isTypeOf("CViewContainer"))
        return parentView->frameToLocal(point);
    return point;
}

CPoint& CView::localToFrame(CPoint& point) const
{
    if (parentView && parentView->isTypeOf("CViewContainer"))
        return parentView->localToFrame(point);
    return point;
}

int32_t CView::notify(CView*, const char*)
{
    return 0;
}

void CView::redrawRect(CDrawContext* context, const CRect& rect)
{
    if (parentView)
        parentView->redrawRect(context, rect);
    else if (parentFrame)
        parentFrame->drawUpdateRect(context, rect);
}

bool CView::wantsFocus() const
{
    return focusWanted;
}

void CView::setWantsFocus(bool flag)
{
    focusWanted = flag;
}

bool CView::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CView") == 0;
}

void CView::update(CDrawContext* context)
{
    if (!isDirty())
        return;
    if (context)
        redrawRect(context, size);
    else if (parentFrame)
        parentFrame->redrawView(this);
    setDirty(false);
}

void CView::redraw()
{
    if (parentFrame)
        parentFrame->redrawView(this);
}

void CView::shiftOffsets(CDrawContext* context, int32_t dx, int32_t dy)
{
    if (!context)
        return;
    context->offset.offset(dx, dy);
    context->offsetScreen.offset(dx, dy);
}

} // namespace VSTGUI
