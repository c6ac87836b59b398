// The platform handles are GDI's own handles in this implementation.
#pragma once

#include "gui/platform/draw.h"

#include <windows.h>

namespace VSTGUI
{
namespace platform
{

inline HDC dc(Device device)
{
    return reinterpret_cast<HDC>(device);
}
inline HWND hwnd(Window window)
{
    return reinterpret_cast<HWND>(window);
}
inline HBITMAP hbitmap(Image image)
{
    return reinterpret_cast<HBITMAP>(image);
}
inline Image toImage(HGDIOBJ bitmap)
{
    return reinterpret_cast<Image>(bitmap);
}
inline COLORREF colorRef(const CColor& c)
{
    return RGB(c.red, c.green, c.blue);
}
inline RECT toRect(const CRect& r)
{
    return RECT{r.left, r.top, r.right, r.bottom};
}

// A memory device showing an image for the duration of a copy from it.
class ImageDevice
{
public:
    ImageDevice(Image image, HDC compatible)
        : memory(CreateCompatibleDC(compatible)),
          previous(memory ? SelectObject(memory, hbitmap(image)) : nullptr)
    {
    }
    ~ImageDevice()
    {
        if (memory)
        {
            SelectObject(memory, previous);
            DeleteDC(memory);
        }
    }
    ImageDevice(const ImageDevice&) = delete;
    ImageDevice& operator=(const ImageDevice&) = delete;
    HDC get() const { return memory; }

private:
    HDC memory;
    HGDIOBJ previous;
};

} // namespace platform
} // namespace VSTGUI
