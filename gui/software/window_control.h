// Test control of the software frame windows: the events a window procedure would deliver, the
// host's side of a window's life, and what the platform shows of cursors, the window class and
// drop registrations.
#pragma once

#include "gui/platform/drag_payload.h"
#include "gui/platform/draw.h"

#include <string>
#include <vector>

namespace VSTGUI
{

class CFrame;

namespace software
{

// A paint request for rect: the tree is drawn through the back buffer onto the window surface.
void paintWindow(platform::Window window, const CRect& rect);
// A button press at a client position, as the window procedure delivers it (buttons unread).
void pressMouseButton(platform::Window window, const CPoint& where);
// A wheel turn of delta (120 per notch) with the pointer at a screen position; answers whether a
// view took it.
bool turnWheel(platform::Window window, const CPoint& screenPosition, int32_t delta);
// The host destroys its window, and with it the frame's.
void destroyHostWindow(platform::Window window);

CFrame* frameOfWindow(platform::Window window);
// 0x00RRGGBB of a client pixel.
uint32_t windowPixel(platform::Window window, int32_t x, int32_t y);

bool isWindowClassRegistered();
// Kind shown now, original for the fallback cursor.
CursorKind currentCursorKind();
bool isDropTargetRegistered(platform::Window window);

// A payload as a drop source offers it.
using DragPayload = platform::DragPayload;

} // namespace software
} // namespace VSTGUI
