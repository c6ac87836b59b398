// What the frame needs from the platform for its window: the shared window class, the child
// window in the host's window, its size and position, cursors, and the drop-target registration.
// Implemented on Win32 (gui/win32/), on X11 (gui/x11/) and as window-less memory surfaces
// (gui/software/). The window delivers paint, button, wheel and destroy events to its frame
// through the frame's paint, onMouseDown, onWheel and windowDestroyed.
#pragma once

#include "gui/platform/draw.h"

#include <cstddef>
#include <iterator>
#include <string>

namespace VSTGUI
{

class CFrame;
class CView;

namespace platform
{

// Component-object and drag-and-drop services of the calling thread; calls must balance.
void initThreadServices();
void exitThreadServices();

// Counts one use of the process-wide window class, registering it on the first; true when this
// call registered it.
bool retainWindowClass();
// Drops one use; the class is unregistered when the last use goes.
void releaseWindowClass();

// The frame's visible child window at (0, 0) inside parent; null on failure.
Window createFrameWindow(CFrame* frame, void* parent, int32_t width, int32_t height);
// Unbinds the frame first, so that the window's destruction no longer reaches it.
void destroyFrameWindow(Window window);
// Resizes the window keeping its position and puts it on top of its siblings.
void resizeWindow(Window window, int32_t width, int32_t height);
// Grows the windows between the frame window and the host's own window so that the frame gets
// width x height; true when it stopped at a parent that is taken to be the host's window.
bool resizeAncestors(Window window, int32_t width, int32_t height);
// Top-left corner of the plug-in's outer window in its parent's client coordinates.
CPoint getPluginWindowPosition(Window window);
// The rectangle of the frame window's parent in the client coordinates of its own parent.
CRect getParentWindowRect(Window window);

// The scale of the screen that shows parent (its dots per inch over 96), of the main screen when
// parent is null; 1 when the platform does not tell.
double getScreenScale(void* parent);

// The cursor shown now, as an opaque handle.
void* getCursor();
// Shows the platform's shape of a standard kind, and fallback for every other value.
void setCursor(CursorKind kind, void* fallback);

// The kinds with a shape of their own, in the order of the platforms' shape tables.
inline constexpr CursorKind kStandardCursors[] = {
    CursorKind::wait,         CursorKind::resizeLeftRight,
    CursorKind::resizeUpDown, CursorKind::move,
    CursorKind::resizeRising, CursorKind::resizeFalling,
    CursorKind::notAllowed,   CursorKind::hand};

// A row of a platform's shape table.
template <typename Shape> struct CursorRow
{
    CursorKind kind;
    Shape shape;
};

// True when table has a row for each standard kind, in their order; every table asserts it.
template <typename Shape, std::size_t count>
constexpr bool coversStandardCursors(const CursorRow<Shape> (&table)[count])
{
    if (count != std::size(kStandardCursors))
        return false;
    for (std::size_t i = 0; i < count; ++i)
        if (table[i].kind != kStandardCursors[i])
            return false;
    return true;
}

// The row of kind, null for the original cursor and for values that name no standard kind.
template <typename Shape, std::size_t count>
constexpr const CursorRow<Shape>* findCursorRow(const CursorRow<Shape> (&table)[count],
                                                CursorKind kind)
{
    for (const CursorRow<Shape>& row : table)
        if (row.kind == kind)
            return &row;
    return nullptr;
}

constexpr bool isStandardCursor(CursorKind kind)
{
    for (CursorKind standard : kStandardCursors)
        if (standard == kind)
            return true;
    return false;
}

// Makes the window accept drops, delivered to the frame; false when the platform refuses.
bool registerDropTarget(Window window, CFrame* frame);
void revokeDropTarget(Window window);

// Drag payloads, as handed to the drop target. A payload offering text is read as one text
// item even when it also carries files.
bool dragOffersText(void* payload);
// 1 for text, the number of files for a file list, 0 when the payload offers neither.
int32_t dragItemCount(void* payload);
// Reads item index: the text (index 0 only), or the file name at index with a shortcut file
// replaced by its target. Type is 1 for text and 0 for a file; false when there is no such item.
bool readDragItem(void* payload, int32_t index, std::string& item, int32_t& type);

// Colours the native edit box of the focused text field: sets the box's text and background
// colours on device and answers the brush that paints its background. The text edit installs
// it; while it is null the box keeps the platform's colours.
using EditColourHandler = Brush (*)(CView* focusView, Device device);
extern EditColourHandler editColourHandler;

} // namespace platform
} // namespace VSTGUI
