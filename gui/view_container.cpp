#include "gui/view_container.h"

#include "gui/bitmap.h"
#include "gui/draw_context.h"
#include "gui/frame.h"

#include <cstring>

namespace VSTGUI
{

namespace
{

bool containsInclusive(const CRect& rect, const CPoint& where)
{
    return where.h >= rect.left && where.h <= rect.right && where.v >= rect.top &&
           where.v <= rect.bottom;
}

CRect intersection(CRect a, const CRect& b)
{
    return a.intersect(b);
}

} // namespace

CViewContainer::ChildNode::ChildNode(CView* child) : view(child)
{
    view->retain();
}

CViewContainer::ChildNode::~ChildNode()
{
    view->release();
}

CViewContainer::CViewContainer(const CRect& rect, CFrame* frame, CBitmap* bitmap) : CView(rect)
{
    parentFrame = frame;
    background = bitmap;
    if (background)
        background->retain();
    setDirty(true);
}

CViewContainer::~CViewContainer()
{
    // The creator's reference was handed over with addView, so each child goes twice.
    while (firstChild)
    {
        ChildNode* node = firstChild;
        firstChild = node->next;
        node->view->onRemoved(this);
        node->view->release();
        delete node;
    }
    lastChild = nullptr;
    if (offscreen)
        offscreen->release();
}

CRect CViewContainer::localRect() const
{
    return CRect(0, 0, size.width(), size.height());
}

COffscreenContext* CViewContainer::createOffscreen()
{
    return new COffscreenContext(parentFrame, size.width(), size.height(), kBlackCColor);
}

void CViewContainer::draw(CDrawContext* context)
{
    if (drawOffscreen && !offscreen)
        offscreen = createOffscreen();
    if (offscreen && transparent)
        offscreen->copyIn(context, size, CPoint());

    CDrawContext* target = offscreen ? offscreen : context;
    if (!offscreen)
        shiftOffsets(context, size.left, size.top);

    const CRect local = localRect();
    CRect savedClip;
    target->getClipRect(savedClip);
    if (offscreen && parentFrame != this)
        savedClip = local;
    const CRect newClip = intersection(local, savedClip);
    target->setClipRect(newClip);

    if (background)
    {
        const CRect area(0, 0, size.width(), size.height());
        if (transparent)
            background->drawTransparent(target, area, backgroundOffset);
        else
            background->draw(target, area, backgroundOffset);
    }
    else if (!transparent)
    {
        target->setFillColor(backgroundColor);
        target->fillRect(local);
    }

    for (ChildNode* node = firstChild; node; node = node->next)
    {
        CRect childBounds;
        node->view->getBounds(childBounds);
        target->setClipRect(intersection(childBounds, newClip));
        node->view->draw(target);
    }
    target->setClipRect(savedClip);

    if (offscreen)
        offscreen->copyOut(context, size, CPoint());
    else
        shiftOffsets(context, -size.left, -size.top);
    setDirty(false);
}

void CViewContainer::drawUpdateRect(CDrawContext* context, const CRect& updateRect)
{
    if (drawOffscreen && !offscreen)
        offscreen = createOffscreen();
    if (offscreen && transparent)
        offscreen->copyIn(context, size, CPoint());

    CDrawContext* target = offscreen ? offscreen : context;
    if (!offscreen)
        shiftOffsets(context, size.left, size.top);

    const CRect clipped = intersection(updateRect, size);
    CRect local = clipped;
    local.offset(-size.left, -size.top);

    CRect savedClip;
    target->getClipRect(savedClip);
    if (offscreen && parentFrame != this)
        savedClip = localRect();
    const CRect newClip = intersection(local, savedClip);
    target->setClipRect(newClip);

    drawBackgroundRect(target, local);

    // A child only partly inside this update keeps its dirty flag, so that its remainder is
    // drawn by a later pass; a scroll container draws its children whole by other means.
    const bool remarkPartial = !isTypeOf("CScrollContainer");
    for (ChildNode* node = firstChild; node; node = node->next)
    {
        CView* child = node->view;
        if (!child->overlapsUpdate(local))
            continue;
        CRect childBounds;
        child->getBounds(childBounds);
        const CRect visible = intersection(childBounds, newClip);
        if (visible.width() == 0 || visible.height() == 0)
            continue;
        target->setClipRect(visible);
        const bool wasDirty = child->isDirty();
        child->drawUpdateRect(target, local);
        if (wasDirty && visible != childBounds && remarkPartial)
            child->setDirty(true);
    }
    target->setClipRect(savedClip);

    if (offscreen)
        offscreen->copyOut(context, clipped, local.topLeft());
    else
        shiftOffsets(context, -size.left, -size.top);
    setDirty(false);
}

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& rect)
{
    if (!background)
    {
        if (transparent)
            return;
        context->setFillColor(backgroundColor);
        context->fillRect(rect);
        return;
    }
    CRect oldClip;
    context->getClipRect(oldClip);
    context->setClipRect(intersection(oldClip, rect));
    const CRect area(0, 0, background->getWidth(), background->getHeight());
    if (transparent)
        background->drawTransparent(context, area, backgroundOffset);
    else
        background->draw(context, area, backgroundOffset);
    context->setClipRect(oldClip);
}

CView* CViewContainer::mouseTarget(const CPoint& where, int32_t buttons)
{
    const CPoint local(where.h - size.left, where.v - size.top);
    for (ChildNode* node = lastChild; node; node = node->previous)
        if (node->view->isMouseEnabled() && node->view->hitTest(local, buttons))
            return node->view;
    return nullptr;
}

void CViewContainer::onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons)
{
    CPoint local(where.h - size.left, where.v - size.top);
    if (buttons == kButtonsUnknown && context)
        buttons = context->getMouseButtons();
    if (CView* child = mouseTarget(where, buttons))
        child->onMouseDown(context, local, buttons);
}

int32_t CViewContainer::routeKey(int32_t (CView::*handler)(KeyCode&), KeyCode& keyCode)
{
    for (ChildNode* node = lastChild; node; node = node->previous)
    {
        const int32_t answer = (node->view->*handler)(keyCode);
        if (answer != -1)
            return answer;
    }
    return -1;
}

int32_t CViewContainer::onKeyDown(KeyCode& keyCode)
{
    return routeKey(&CView::onKeyDown, keyCode);
}

int32_t CViewContainer::onKeyUp(KeyCode& keyCode)
{
    return routeKey(&CView::onKeyUp, keyCode);
}

bool CViewContainer::onWheel(CDrawContext* context, const CPoint& where, float distance)
{
    return onWheelAxis(context, where, kMouseWheelAxisY, distance);
}

bool CViewContainer::onWheelAxis(CDrawContext* context, const CPoint& where, int32_t axis,
                                 float distance)
{
    CView* target = getViewAt(where, false);
    if (!target)
        return false;
    const CPoint local(where.h - size.left, where.v - size.top);
    shiftOffsets(context, size.left, size.top);
    const bool handled = target->onWheelAxis(context, local, axis, distance);
    shiftOffsets(context, -size.left, -size.top);
    return handled;
}

bool CViewContainer::onDrop(CDrawContext* context, CDragContainer* drag, const CPoint& where)
{
    if (!parentFrame)
        return false;
    shiftOffsets(context, size.left, size.top);
    const CPoint local(where.h - size.left, where.v - size.top);
    CView* view = getViewAt(where, false);
    if (view != dragTarget)
    {
        if (dragTarget)
            dragTarget->onDragLeave(context, drag, local);
        dragTarget = view;
    }
    bool result = false;
    if (view)
    {
        result = view->onDrop(context, drag, local);
        view->onDragLeave(context, drag, local);
    }
    dragTarget = nullptr;
    shiftOffsets(context, -size.left, -size.top);
    return result;
}

void CViewContainer::onDragEnter(CDrawContext* context, CDragContainer* drag, const CPoint& where)
{
    if (!parentFrame)
        return;
    shiftOffsets(context, size.left, size.top);
    const CPoint local(where.h - size.left, where.v - size.top);
    if (dragTarget)
        dragTarget->onDragLeave(context, drag, local);
    dragTarget = getViewAt(where, false);
    if (dragTarget)
        dragTarget->onDragEnter(context, drag, local);
    shiftOffsets(context, -size.left, -size.top);
}

void CViewContainer::onDragLeave(CDrawContext* context, CDragContainer* drag, const CPoint& where)
{
    if (!parentFrame)
        return;
    shiftOffsets(context, size.left, size.top);
    const CPoint local(where.h - size.left, where.v - size.top);
    if (dragTarget)
        dragTarget->onDragLeave(context, drag, local);
    dragTarget = nullptr;
    shiftOffsets(context, -size.left, -size.top);
}

void CViewContainer::onDragMove(CDrawContext* context, CDragContainer* drag, const CPoint& where)
{
    if (!parentFrame)
        return;
    shiftOffsets(context, size.left, size.top);
    const CPoint local(where.h - size.left, where.v - size.top);
    CView* view = getViewAt(where, false);
    if (view != dragTarget)
    {
        if (dragTarget)
            dragTarget->onDragLeave(context, drag, local);
        if (view)
            view->onDragEnter(context, drag, local);
        dragTarget = view;
    }
    else if (dragTarget)
        dragTarget->onDragMove(context, drag, local);
    shiftOffsets(context, -size.left, -size.top);
}

void CViewContainer::onFocusLost(CDrawContext* context)
{
    for (ChildNode* node = firstChild; node; node = node->next)
        node->view->onFocusLost(context);
}

void CViewContainer::onFocusGained(CDrawContext* context)
{
    for (ChildNode* node = firstChild; node; node = node->next)
        node->view->onFocusGained(context);
}

bool CViewContainer::isDirty() const
{
    if (dirty)
        return true;
    const CRect local = localRect();
    for (ChildNode* node = firstChild; node; node = node->next)
    {
        if (!node->view->isDirty())
            continue;
        CRect childBounds;
        if (!intersection(node->view->getBounds(childBounds), local).isEmpty())
            return true;
    }
    return false;
}

bool CViewContainer::hitTest(const CPoint& where, int32_t buttons)
{
    return CView::hitTest(where, buttons);
}

void CViewContainer::setBounds(const CRect& rect)
{
    CView::setBounds(rect);
    if (offscreen && drawOffscreen)
    {
        offscreen->release();
        offscreen = createOffscreen();
    }
}

bool CViewContainer::onRemoved(CView*)
{
    if (offscreen)
    {
        offscreen->release();
        offscreen = nullptr;
    }
    return true;
}

bool CViewContainer::onAttached(CView*)
{
    if (drawOffscreen && !offscreen)
        offscreen = createOffscreen();
    return true;
}

CPoint& CViewContainer::frameToLocal(CPoint& point) const
{
    point.offset(-size.left, -size.top);
    if (parentView && parentView->isTypeOf("CViewContainer"))
        return parentView->frameToLocal(point);
    return point;
}

CPoint& CViewContainer::localToFrame(CPoint& point) const
{
    point.offset(size.left, size.top);
    if (parentView && parentView->isTypeOf("CViewContainer"))
        return parentView->localToFrame(point);
    return point;
}

int32_t CViewContainer::notify(CView*, const char* message)
{
    return message == kMsgCheckIfViewContainer ? 1 : 0;
}

void CViewContainer::redrawRect(CDrawContext* context, const CRect& rect)
{
    CRect inParent = rect;
    inParent.offset(size.left, size.top);
    if (transparent)
    {
        // What lies behind shows through: the parent has to draw the area.
        if (parentView)
            parentView->redrawRect(context, inParent);
        else if (parentFrame)
            parentFrame->drawUpdateRect(context, inParent);
        return;
    }
    if (parentView)
    {
        CPoint origin;
        parentView->localToFrame(origin);
        shiftOffsets(context, origin.h, origin.v);
        drawUpdateRect(context, inParent);
        shiftOffsets(context, -origin.h, -origin.v);
    }
    else
        drawUpdateRect(context, inParent);
}

bool CViewContainer::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CViewContainer") == 0 || CView::isTypeOf(name);
}

void CViewContainer::update(CDrawContext* context)
{
    const CRect local = localRect();
    if (updateMode == 0 || (updateMode == 1 && dirty))
    {
        if (isDirty())
        {
            redrawRect(context, local);
            setDirty(false);
        }
        return;
    }
    if (updateMode != 1)
        return;
    for (ChildNode* node = firstChild; node; node = node->next)
    {
        CView* child = node->view;
        if (!child->isDirty() || !child->overlapsUpdate(local))
            continue;
        if (child->notify(this, kMsgCheckIfViewContainer))
            child->update(context);
        else
        {
            CRect childBounds;
            child->redrawRect(context, intersection(child->getBounds(childBounds), local));
        }
    }
    setDirty(false);
}

void CViewContainer::addView(CView* view)
{
    if (!view)
        return;
    ChildNode* node = new ChildNode(view);
    view->setFrame(parentFrame);
    view->setParentView(this);
    if (lastChild)
    {
        lastChild->next = node;
        node->previous = lastChild;
    }
    else
        firstChild = node;
    lastChild = node;
    view->onAttached(this);
    view->setDirty(true);
}

void CViewContainer::addViewWithArea(CView* view, const CRect& mouseArea, bool enabled)
{
    if (!view)
        return;
    view->setMouseEnabled(enabled);
    view->setMouseArea(mouseArea);
    addView(view);
}

void CViewContainer::forgetView(CView* view)
{
    if (dragTarget == view)
        dragTarget = nullptr;
    if (!parentFrame)
        return;
    // The focus may lie anywhere inside the view that goes.
    for (CView* focus = parentFrame->getFocusView(); focus; focus = focus->getParentView())
    {
        if (focus == view)
        {
            parentFrame->setFocusView(nullptr);
            return;
        }
        if (focus == this)
            return;
    }
}

void CViewContainer::unlink(ChildNode* node)
{
    if (node->previous)
        node->previous->next = node->next;
    else
        firstChild = node->next;
    if (node->next)
        node->next->previous = node->previous;
    else
        lastChild = node->previous;
}

void CViewContainer::removeView(CView* view, bool releaseView)
{
    for (ChildNode* node = firstChild; node; node = node->next)
    {
        if (node->view != view)
            continue;
        forgetView(view);
        view->onRemoved(this);
        if (releaseView)
            view->release();
        unlink(node);
        delete node;
        return;
    }
}

void CViewContainer::removeAll(bool releaseViews)
{
    while (firstChild)
    {
        ChildNode* node = firstChild;
        forgetView(node->view);
        node->view->onRemoved(this);
        if (releaseViews)
            node->view->release();
        unlink(node);
        delete node;
    }
}

bool CViewContainer::isChild(CView* view) const
{
    for (ChildNode* node = firstChild; node; node = node->next)
        if (node->view == view)
            return true;
    return false;
}

int32_t CViewContainer::getViewCount() const
{
    int32_t count = 0;
    for (ChildNode* node = firstChild; node; node = node->next)
        ++count;
    return count;
}

CView* CViewContainer::getView(int32_t index) const
{
    if (index < 0)
        return nullptr;
    ChildNode* node = firstChild;
    for (; node && index > 0; --index)
        node = node->next;
    return node ? node->view : nullptr;
}

void CViewContainer::setBackgroundColor(const CColor& color)
{
    backgroundColor = color;
    setDirty(true);
}

CColor CViewContainer::getBackgroundColor() const
{
    return backgroundColor;
}

void CViewContainer::setBackgroundOffset(const CPoint& offset)
{
    backgroundOffset = offset;
}

const CPoint& CViewContainer::getBackgroundOffset() const
{
    return backgroundOffset;
}

void CViewContainer::setUpdateMode(int32_t mode)
{
    updateMode = mode;
}

int32_t CViewContainer::getUpdateMode() const
{
    return updateMode;
}

void CViewContainer::setDrawOffscreen(bool flag)
{
    drawOffscreen = flag;
    if (!flag && offscreen)
    {
        offscreen->release();
        offscreen = nullptr;
    }
}

CView* CViewContainer::childAt(const CPoint& local) const
{
    for (ChildNode* node = lastChild; node; node = node->previous)
    {
        CRect area;
        if (containsInclusive(node->view->getMouseArea(area), local))
            return node->view;
    }
    return nullptr;
}

CView* CViewContainer::getViewUnderMouse()
{
    if (!parentFrame)
        return nullptr;
    CPoint where;
    parentFrame->getCurrentLocation(where);
    frameToLocal(where);
    return childAt(where);
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep)
{
    if (!parentFrame)
        return nullptr;
    const CPoint local(where.h - size.left, where.v - size.top);
    CView* view = childAt(local);
    if (view && deep && view->isTypeOf("CViewContainer"))
        return static_cast<CViewContainer*>(view)->getViewAt(local, deep);
    return view;
}

bool CViewContainer::advanceFocus(CView* oldFocus, bool reverse)
{
    if (!parentFrame)
        return false;
    ChildNode* node = reverse ? lastChild : firstChild;
    if (oldFocus)
    {
        while (node && node->view != oldFocus)
            node = reverse ? node->previous : node->next;
        if (node)
            node = reverse ? node->previous : node->next;
    }
    for (; node; node = reverse ? node->previous : node->next)
    {
        CView* child = node->view;
        if (child->wantsFocus())
        {
            parentFrame->setFocusView(child);
            return true;
        }
        if (child->isTypeOf("CViewContainer") &&
            static_cast<CViewContainer*>(child)->advanceFocus(nullptr, reverse))
            return true;
    }
    return false;
}

} // namespace VSTGUI
