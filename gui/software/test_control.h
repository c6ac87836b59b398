// Test control of the software platform: the pointer, the buttons, the clock, the module's
// resources, and the record of drawn text (this platform records text instead of rasterising it).
#pragma once

#include "gui/platform/draw.h"

#include <functional>
#include <string>
#include <vector>

namespace VSTGUI
{
namespace software
{

void setPointerScreenPosition(const CPoint& position);
// kLButton, kMButton, kRButton of the physical buttons, with kShift, kControl and kAlt.
void setPhysicalMouseButtons(int32_t buttons);
void setMouseButtonsSwapped(bool swapped);
void setTickCount(uint32_t milliseconds); // platform::sleep advances it
void setMessageTime(uint32_t milliseconds);
void setDoubleClickTime(uint32_t milliseconds);
void postLeftButtonDown(); // queues a press for platform::takeLeftButtonDown
// What platform::getScreenScale answers for every window (1 by default).
void setScreenScale(double scale);
// Runs whenever the platform reads the pointer, the buttons or the clock, so that a test can
// script a gesture while a control polls inside its mouse loop.
void setPollHook(std::function<void()> hook);

// Resources of the module, looked up before the embedded skin images.
void addPngResource(int32_t id, std::vector<uint8_t> bytes);
// A plain bitmap resource; pixels are 0x00RRGGBB, top row first.
void addBitmapResource(int32_t id, int32_t width, int32_t height, std::vector<uint32_t> pixels);

struct TextRecord
{
    std::string text;
    CRect rect; // device coordinates
    platform::TextAlign align = platform::TextAlign::left;
    CColor color;
    bool opaque = false;
    CColor background;
    std::string face;
    int32_t height = 0;
    int32_t weight = 0;
};
const std::vector<TextRecord>& drawnTexts();

// Back to a released pointer at (0, 0), clock 0, default settings, no added resources and no
// recorded text.
void reset();

} // namespace software
} // namespace VSTGUI
