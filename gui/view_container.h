// CViewContainer: a view that owns an ordered list of children and routes events to them.
#pragma once

#include "gui/view.h"

namespace VSTGUI
{

class COffscreenContext;

class CViewContainer : public CView
{
public:
    // The background bitmap is retained when given.
    CViewContainer(const CRect& size, CFrame* frame, CBitmap* background = nullptr);
    ~CViewContainer() override;

    void draw(CDrawContext* context) override;
    void drawUpdateRect(CDrawContext* context, const CRect& updateRect) override;
    void onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons) override;
    int32_t onKeyDown(KeyCode& keyCode) override;
    int32_t onKeyUp(KeyCode& keyCode) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    bool onWheelAxis(CDrawContext* context, const CPoint& where, int32_t axis,
                     float distance) override;
    bool onDrop(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void onDragEnter(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void onDragLeave(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void onDragMove(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void onFocusLost(CDrawContext* context) override;
    void onFocusGained(CDrawContext* context) override;
    // Also true when a child is dirty and lies (partly) inside the container.
    bool isDirty() const override;
    bool hitTest(const CPoint& where, int32_t buttons = -1) override;
    void setBounds(const CRect& rect) override;
    bool onRemoved(CView* parent) override;
    bool onAttached(CView* parent) override;
    CPoint& frameToLocal(CPoint& point) const override;
    CPoint& localToFrame(CPoint& point) const override;
    int32_t notify(CView* sender, const char* message) override;
    void redrawRect(CDrawContext* context, const CRect& rect) override;
    bool isTypeOf(const char* name) const override;
    void update(CDrawContext* context) override;

    // Takes a reference; the container releases the view twice when it lets it go, its own
    // reference and the creator's.
    virtual void addView(CView* view);
    virtual void addViewWithArea(CView* view, const CRect& mouseArea, bool mouseEnabled = true);
    virtual void removeView(CView* view, bool releaseView = true);
    virtual void removeAll(bool releaseViews = true);
    virtual bool isChild(CView* view) const;
    virtual int32_t getViewCount() const;
    virtual CView* getView(int32_t index) const;
    virtual void setBackgroundColor(const CColor& color);
    virtual CColor getBackgroundColor() const;
    virtual void setBackgroundOffset(const CPoint& offset);
    virtual const CPoint& getBackgroundOffset() const;
    // `rect` is in the container's local coordinates.
    virtual void drawBackgroundRect(CDrawContext* context, const CRect& rect);
    // 0: redraw the whole container when anything in it is dirty; 1: only the dirty children.
    virtual void setUpdateMode(int32_t mode);
    virtual int32_t getUpdateMode() const;
    virtual void setDrawOffscreen(bool flag);
    virtual CView* getViewUnderMouse();
    // Inclusive on all edges; the mouse-enabled flag is not consulted.
    virtual CView* getViewAt(const CPoint& where, bool deep = false);
    virtual bool advanceFocus(CView* oldFocus, bool reverse);

protected:
    struct ChildNode
    {
        explicit ChildNode(CView* child);
        ~ChildNode();
        ChildNode(const ChildNode&) = delete;
        ChildNode& operator=(const ChildNode&) = delete;

        CView* view; // counted
        ChildNode* next = nullptr;
        ChildNode* previous = nullptr;
    };

    // The rectangle (0, 0, width, height): the container in its own coordinates.
    CRect localRect() const;
    COffscreenContext* createOffscreen();
    // The last child whose mouse area contains the local point, edges included.
    CView* childAt(const CPoint& local) const;
    // The child that takes a click at where (the container's parent's coordinates), or null.
    CView* mouseTarget(const CPoint& where, int32_t buttons);
    // Drops the frame's focus and this container's drag target when they lie in a leaving view.
    void forgetView(CView* view);
    void unlink(ChildNode* node);
    // Offers a key to the children from the last to the first; the first answer other than -1
    // wins.
    int32_t routeKey(int32_t (CView::*handler)(KeyCode&), KeyCode& keyCode);

    ChildNode* firstChild = nullptr;
    ChildNode* lastChild = nullptr;
    int32_t updateMode = 1;
    COffscreenContext* offscreen = nullptr; // counted
    CColor backgroundColor = kBlackCColor;
    CPoint backgroundOffset;
    bool drawOffscreen = false;
    CView* dragTarget = nullptr; // not counted
};

} // namespace VSTGUI
