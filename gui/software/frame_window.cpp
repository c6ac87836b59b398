// Window-less frame windows: a memory surface per window, events injected by the tests.
#include "gui/drag_container.h"
#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/platform/window.h"
#include "gui/software/state.h"
#include "gui/software/window_control.h"

namespace VSTGUI
{
namespace
{

struct FrameWindow : platform::WindowObject
{
    CFrame* frame = nullptr;
    bool dropTarget = false;
};

FrameWindow* frameWindow(platform::Window window)
{
    return static_cast<FrameWindow*>(window);
}

int32_t classUses = 0;
CursorKind cursorKind = CursorKind::original;

} // namespace

namespace platform
{

void initThreadServices() {}
void exitThreadServices() {}

bool retainWindowClass()
{
    return classUses++ == 0;
}

void releaseWindowClass()
{
    if (classUses > 0)
        --classUses;
}

Window createFrameWindow(CFrame* frame, void*, int32_t width, int32_t height)
{
    auto* window = new FrameWindow;
    window->surface = ImageObject(width, height);
    window->frame = frame;
    return window;
}

void destroyFrameWindow(Window window)
{
    delete frameWindow(window);
}

void resizeWindow(Window window, int32_t width, int32_t height)
{
    if (window)
        window->surface = ImageObject(width, height);
}

bool resizeAncestors(Window window, int32_t width, int32_t height)
{
    resizeWindow(window, width, height);
    return false;
}

CPoint getPluginWindowPosition(Window)
{
    return CPoint();
}

CRect getParentWindowRect(Window window)
{
    return window ? CRect(0, 0, window->surface.width, window->surface.height) : CRect();
}

double getScreenScale(void*)
{
    return software::state().screenScale;
}

void* getCursor()
{
    return reinterpret_cast<void*>(static_cast<intptr_t>(cursorKind));
}

// The handle is the kind itself.
void setCursor(CursorKind kind, void* fallback)
{
    cursorKind = isStandardCursor(kind)
                     ? kind
                     : static_cast<CursorKind>(reinterpret_cast<intptr_t>(fallback));
}

bool registerDropTarget(Window window, CFrame*)
{
    frameWindow(window)->dropTarget = true;
    return true;
}

void revokeDropTarget(Window window)
{
    frameWindow(window)->dropTarget = false;
}

} // namespace platform

namespace software
{

CFrame* frameOfWindow(platform::Window window)
{
    return frameWindow(window)->frame;
}

void paintWindow(platform::Window window, const CRect& rect)
{
    CFrame* frame = frameOfWindow(window);
    if (!frame || rect.isEmpty())
        return;
    platform::Device device = platform::getWindowDevice(window);
    frame->paint(device, rect);
    platform::releaseWindowDevice(window, device);
}

void pressMouseButton(platform::Window window, const CPoint& where)
{
    if (CFrame* frame = frameOfWindow(window))
        frame->mouseDown(where, kButtonsUnknown);
}

bool turnWheel(platform::Window window, const CPoint& screenPosition, int32_t delta)
{
    CFrame* frame = frameOfWindow(window);
    if (!frame)
        return false;
    const CPoint origin = platform::getWindowScreenOrigin(window);
    const CPoint where(screenPosition.h - origin.h, screenPosition.v - origin.v);
    return frame->wheel(where, kMouseWheelAxisY, static_cast<float>(delta) / 120.0f);
}

void destroyHostWindow(platform::Window window)
{
    if (CFrame* frame = frameOfWindow(window))
        frame->windowDestroyed();
}

uint32_t windowPixel(platform::Window window, int32_t x, int32_t y)
{
    return window->surface.at(x, y) & 0x00FFFFFFu;
}

bool isWindowClassRegistered()
{
    return classUses > 0;
}

CursorKind currentCursorKind()
{
    return cursorKind;
}

bool isDropTargetRegistered(platform::Window window)
{
    return frameWindow(window)->dropTarget;
}

} // namespace software
} // namespace VSTGUI
