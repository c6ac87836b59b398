// CView: the base of every element of the editor's view tree.
#pragma once

#include <cstdint>

#include "gui/vstgui_types.h"

namespace VSTGUI
{

class CBitmap;
class CDrawContext;
class CDragContainer;
class CFrame;

// Message by which a view asks whether its parent is a container. It is compared by address,
// so senders must pass this very pointer.
extern const char* const kMsgCheckIfViewContainer;

class CView : public CReferenceCounter
{
public:
    explicit CView(const CRect& size);
    ~CView() override;

    virtual void draw(CDrawContext* context);
    virtual void drawUpdateRect(CDrawContext* context, const CRect& updateRect);
    // Rectangles that only touch count as overlapping.
    virtual bool overlapsUpdate(const CRect& updateRect) const;
    // `where` is in the parent's coordinate space; controls may loop here until release.
    virtual void onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons);
    virtual void setBackground(CBitmap* background);
    virtual CBitmap* getBackground() const;
    // Key handlers answer -1 when they do not handle the key.
    virtual int32_t onKeyDown(KeyCode& keyCode);
    virtual int32_t onKeyUp(KeyCode& keyCode);
    virtual bool onWheel(CDrawContext* context, const CPoint& where, float distance);
    // Axis 0 is horizontal, 1 vertical.
    virtual bool onWheelAxis(CDrawContext* context, const CPoint& where, int32_t axis,
                             float distance);
    virtual bool onDrop(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void onDragEnter(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void onDragLeave(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void onDragMove(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void onFocusLost(CDrawContext* context);
    virtual void onFocusGained(CDrawContext* context);
    virtual bool isDirty() const;
    virtual void setDirty(bool flag = true);
    virtual void setMouseEnabled(bool flag = true);
    virtual bool isMouseEnabled() const;
    virtual void setMouseArea(const CRect& rect);
    virtual CRect& getMouseArea(CRect& rect) const;
    // All four edges of the mouse area are inside.
    virtual bool hitTest(const CPoint& where, int32_t buttons = -1);
    virtual void setTransparent(bool flag);
    virtual bool isTransparent() const;
    virtual void setBounds(const CRect& rect);
    virtual CRect& getBounds(CRect& rect) const;
    virtual bool onRemoved(CView* parent);
    virtual bool onAttached(CView* parent);
    // The pointer position in the coordinate space of this view's bounds.
    virtual void getMouseLocation(CDrawContext* context, CPoint& point);
    virtual CPoint& frameToLocal(CPoint& point) const;
    virtual CPoint& localToFrame(CPoint& point) const;
    virtual int32_t notify(CView* sender, const char* message);
    virtual void redrawRect(CDrawContext* context, const CRect& rect);
    virtual bool wantsFocus() const;
    virtual void setWantsFocus(bool flag);
    virtual bool isTypeOf(const char* name) const;
    virtual void update(CDrawContext* context);

    // Asks the frame to draw this view at once.
    void redraw();

    const CRect& getViewSize() const { return size; }
    int32_t getWidth() const { return size.width(); }
    int32_t getHeight() const { return size.height(); }
    CFrame* getFrame() const { return parentFrame; }
    void setFrame(CFrame* frame) { parentFrame = frame; }
    CView* getParentView() const { return parentView; }
    void setParentView(CView* view) { parentView = view; }

protected:
    // Both offsets of the context, shifted while a container descends into its children.
    static void shiftOffsets(CDrawContext* context, int32_t dx, int32_t dy);

    CRect size;
    CRect mouseableArea;
    CFrame* parentFrame = nullptr; // not counted
    CView* parentView = nullptr;   // not counted
    bool dirty = false;
    bool mouseEnabled = true;
    bool transparent = false;
    bool focusWanted = false;
    CBitmap* background = nullptr; // counted
};

} // namespace VSTGUI
