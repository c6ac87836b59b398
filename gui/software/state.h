// Process-wide state of the software platform and the pixel loop its copies share.
#pragma once

#include "gui/software/surface.h"
#include "gui/software/test_control.h"

#include <functional>
#include <map>

namespace VSTGUI
{
namespace software
{

struct PlainBitmap
{
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels; // top row first
};

struct State
{
    CPoint pointer;
    int32_t buttons = 0;
    bool swapped = false;
    uint32_t ticks = 0;
    uint32_t messageTime = 0;
    uint32_t doubleClickTime = 500;
    double screenScale = 1.0;
    int32_t pendingLeftButtonDowns = 0;
    std::function<void()> pollHook;
    std::map<int32_t, std::vector<uint8_t>> pngResources;
    std::map<int32_t, PlainBitmap> bitmapResources;
    std::vector<TextRecord> texts;
};

State& state();

inline bool visible(const platform::DeviceObject& d, int32_t x, int32_t y)
{
    if (!d.target->contains(x, y))
        return false;
    return !d.clipped ||
           (x >= d.clip.left && x < d.clip.right && y >= d.clip.top && y < d.clip.bottom);
}

// For every pixel of rect that the destination shows and the source has (starting at offset):
// destination pixel = combine(destination pixel, source pixel).
template <typename Combine>
void copyRegion(platform::DeviceObject& destination, const CRect& rect,
                platform::ImageObject& source, const CPoint& offset, Combine combine)
{
    for (int32_t y = rect.top; y < rect.bottom; ++y)
    {
        const int32_t sy = offset.v + y - rect.top;
        for (int32_t x = rect.left; x < rect.right; ++x)
        {
            const int32_t sx = offset.h + x - rect.left;
            if (visible(destination, x, y) && source.contains(sx, sy))
            {
                uint32_t& d = destination.target->at(x, y);
                d = combine(d, source.at(sx, sy));
            }
        }
    }
}

} // namespace software
} // namespace VSTGUI
