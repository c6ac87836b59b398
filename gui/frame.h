// CFrame: the root of the view tree, bound to a native child window in the host's window.
#pragma once

#include "gui/frame_owner.h"
#include "gui/platform/draw.h"
#include "gui/view_container.h"

#include <string>
#include <vector>

namespace VSTGUI
{

class CDrawContext;
class COffscreenContext;

class CFrame : public CViewContainer
{
public:
    // Creates the child window inside parentWindow when one is given, of the size times scale.
    // The owner may be null: nothing above the frame is then told anything.
    CFrame(const CRect& size, void* parentWindow, IFrameOwner* owner, double scale = 1.0);
    ~CFrame() override;

    void draw(CDrawContext* context = nullptr) override;
    void drawUpdateRect(CDrawContext* context, const CRect& updateRect) override;
    // `where` is in frame coordinates.
    void onMouseDown(CDrawContext* context, CPoint& where, int32_t buttons) override;
    int32_t onKeyDown(KeyCode& keyCode) override;
    int32_t onKeyUp(KeyCode& keyCode) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    bool onWheelAxis(CDrawContext* context, const CPoint& where, int32_t axis,
                     float distance) override;
    void setBounds(const CRect& rect) override;
    bool isTypeOf(const char* name) const override;
    void update(CDrawContext* context) override;
    CView* getViewUnderMouse() override;
    bool advanceFocus(CView* oldFocus, bool reverse) override;

    virtual bool openHostWindow(const CRect& position);
    virtual bool closeHostWindow();
    virtual bool isOpen() const;
    // Redraws what is dirty, once the window has been painted for the first time.
    virtual void idle();
    // Lets the owner and its host idle while a control tracks the mouse.
    virtual void runIdle();
    virtual uint32_t getTicks() const;
    virtual int32_t getKnobMode() const;
    virtual bool setPosition(int32_t x, int32_t y);
    virtual bool getPosition(int32_t& x, int32_t& y) const;
    virtual bool setSize(int32_t width, int32_t height);
    // The host window's rectangle in the coordinates of its own parent.
    virtual bool getSize(CRect* rect) const;
    virtual bool getSize(CRect& rect) const;
    virtual bool setModalView(CView* view);
    virtual CView* getModalView() const;
    virtual void beginParameterEdit(int32_t index);
    virtual void endParameterEdit(int32_t index);
    // The pointer position relative to the frame window's client origin.
    virtual bool getCurrentLocation(CPoint& where);
    virtual void setCursor(CursorKind kind);
    virtual void setFocusView(CView* view);
    virtual CView* getFocusView() const;
    virtual bool setDropActive(bool flag);
    virtual bool isDropActive() const;
    virtual void setOpenFlag(bool flag);
    virtual bool getOpenFlag() const;
    // Marks dirty every child whose bounds touch or overlap rect.
    virtual void invalidate(const CRect& rect);
    virtual bool updatesDisabled() const;
    // Answers the previous value.
    virtual bool setUpdatesDisabled(bool flag);
    // Draws the view (or the frame, for a view that is not a direct child) straight onto the
    // window, without the back buffer.
    virtual void redrawView(CView* view);

    // Shows a popup menu at where (frame coordinates) over the window and waits for the user:
    // the index picked, or -1 when cancelled.
    int32_t showPopupMenu(const CPoint& where, const std::vector<std::string>& items,
                          int32_t checked);

    // The painting context, retained, or a new context on the window; the caller releases it.
    CDrawContext* createDrawContext();
    // The whole-frame drawing surface, created on demand.
    COffscreenContext* getBackBuffer();

    // Device pixels per layout unit: views keep their layout, the window and the drawing scale.
    double getScale() const { return scale; }
    // Redraws at another scale with the window resized to match, asked of the host when it can
    // resize its window. A host that cannot keeps its window, and the frame then draws at the
    // largest scale up to the wanted one that fits in it. Answers the scale now in force.
    double setScale(double wanted);

    // The window procedure's entry points; positions and rectangles are in device pixels.
    // Draws updateRect through the back buffer onto the device being painted.
    void paint(platform::Device device, const CRect& updateRect);
    // A button press (buttons as the message tells them, or kButtonsUnknown).
    void mouseDown(const CPoint& where, int32_t buttons);
    bool wheel(const CPoint& where, int32_t axis, float distance);
    // The window now lies on a screen of another density: the owner picks the scale again.
    void screenChanged();
    // The window is going away: the frame is closed and forgets the host's window.
    void windowDestroyed();

    platform::Window getWindow() const { return window; }
    void* getParentWindow() const { return parentWindow; }

private:
    // Asks the owner's host to resize the frame's window.
    bool hostResizes(int32_t width, int32_t height);
    // Gives the window the frame's size at the frame's scale.
    void resizeToScale();

    IFrameOwner* owner;
    void* parentWindow;
    double scale;
    CView* modalView = nullptr;
    CView* focusView = nullptr; // not counted
    bool firstDraw = true;
    bool open = true;
    bool dropActive = false;
    bool noUpdates = false;
    platform::Window window = nullptr;
    COffscreenContext* backBuffer = nullptr;
    CDrawContext* paintingContext = nullptr;
    bool cursorSaved = false;
    void* savedCursor = nullptr;
};

} // namespace VSTGUI
