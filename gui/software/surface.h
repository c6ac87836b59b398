// The objects behind the software platform's handles: 32-bit memory surfaces and the device
// state that GDI keeps per device context.
#pragma once

#include "gui/platform/device_state.h"

#include <string>
#include <vector>

namespace VSTGUI
{
namespace platform
{

// Pixels are stored as 0xAARRGGBB words (blue, green, red, alpha in memory), the first memory row
// being the bottom row of the picture. A monochrome image holds 0 or 0x00FFFFFF per pixel.
struct ImageObject
{
    int32_t width = 0;
    int32_t height = 0;
    bool monochrome = false;
    std::vector<uint32_t> pixels;

    ImageObject() = default;
    ImageObject(int32_t w, int32_t h, bool mono = false)
        : width(w), height(h), monochrome(mono),
          pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0)
    {
    }

    bool contains(int32_t x, int32_t y) const
    {
        return x >= 0 && y >= 0 && x < width && y < height;
    }
    uint32_t& at(int32_t x, int32_t y)
    {
        return pixels[static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// A window as far as drawing goes: its client surface and where that lies on the screen. The
// software windows of the toolkit embed one of these.
struct WindowObject
{
    ImageObject surface;
    CPoint screenOrigin;
};

struct DeviceObject : DeviceState
{
    ImageObject defaultImage{1, 1, true}; // what a fresh memory device draws into
    ImageObject* target = &defaultImage;
    WindowObject* window = nullptr; // set for a window's device
    int32_t dashPhase = 0;

    DeviceObject() = default;
    DeviceObject(const DeviceObject&) = delete;
    DeviceObject& operator=(const DeviceObject&) = delete;
};

} // namespace platform
} // namespace VSTGUI
