// GDI images, the module's resources, and the image copies and blends. "AlphaBlend" and
// "TransparentBlt" come from msimg32.dll when it is there; without them the same pixels are
// produced here.
#include "gui/pixel_blend.h"
#include "gui/platform/module.h"
#include "gui/win32/gdi_handles.h"

#include <algorithm>
#include <vector>

namespace VSTGUI
{
namespace platform
{

namespace
{

using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                         BLENDFUNCTION);
using TransparentBltFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                             UINT);

struct BlendLibrary
{
    int32_t users = 0;
    HMODULE module = nullptr;
    AlphaBlendFunction alphaBlend = nullptr;
    TransparentBltFunction transparentBlt = nullptr;
    bool offsetBug = false; // the blend of Windows 98 misreads source offsets
} blendLibrary;

template <typename Function> Function lookUp(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

HINSTANCE module()
{
    return static_cast<HINSTANCE>(getModuleHandle());
}

// A 32-bit section with its rows top-down, for reading and writing pixels directly.
struct PixelSection
{
    HBITMAP bitmap = nullptr;
    uint32_t* pixels = nullptr;

    PixelSection(int32_t width, int32_t height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels = static_cast<uint32_t*>(bits);
    }
    ~PixelSection()
    {
        if (bitmap)
            DeleteObject(bitmap);
    }
    PixelSection(const PixelSection&) = delete;
    PixelSection& operator=(const PixelSection&) = delete;
};

// The image's pixels as 0xAARRGGBB words, top row first; empty when they cannot be read.
std::vector<uint32_t> readPixels(Image image, HDC device, int32_t& width, int32_t& height)
{
    BITMAP info{};
    if (!GetObject(hbitmap(image), sizeof(info), &info))
        return {};
    width = info.bmWidth;
    height = info.bmHeight;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<std::size_t>(width) *
                                 static_cast<std::size_t>(height));
    if (!GetDIBits(device, hbitmap(image), 0, static_cast<UINT>(height), pixels.data(), &format,
                   DIB_RGB_COLORS))
        return {};
    return pixels;
}

// The blend done here: the destination area is read into a section, blended and written back.
void blendWithoutLibrary(HDC device, const CRect& rect, Image image, const CPoint& offset,
                         uint8_t alpha, bool perPixelAlpha)
{
    int32_t width = 0;
    int32_t height = 0;
    const std::vector<uint32_t> source = readPixels(image, device, width, height);
    PixelSection area(rect.width(), rect.height());
    if (source.empty() || !area.pixels)
        return;
    ImageDevice areaDevice(toImage(area.bitmap), device);
    BitBlt(areaDevice.get(), 0, 0, rect.width(), rect.height(), device, rect.left, rect.top,
           SRCCOPY);
    GdiFlush();
    for (int32_t y = 0; y < rect.height(); ++y)
    {
        const int32_t sy = offset.v + y;
        for (int32_t x = 0; x < rect.width(); ++x)
        {
            const int32_t sx = offset.h + x;
            if (sx < 0 || sy < 0 || sx >= width || sy >= height)
                continue;
            uint32_t& d = area.pixels[y * rect.width() + x];
            d = blendPixel(d, source[static_cast<std::size_t>(sy * width + sx)], alpha,
                           perPixelAlpha);
        }
    }
    BitBlt(device, rect.left, rect.top, rect.width(), rect.height(), areaDevice.get(), 0, 0,
           SRCCOPY);
}

} // namespace

void openBlendLibrary()
{
    if (blendLibrary.users++ > 0)
        return;
    blendLibrary.alphaBlend = nullptr;
    blendLibrary.transparentBlt = nullptr;
    blendLibrary.module = LoadLibraryA("msimg32.dll");
    if (!blendLibrary.module)
        return;
    blendLibrary.alphaBlend = lookUp<AlphaBlendFunction>(blendLibrary.module, "AlphaBlend");
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    blendLibrary.offsetBug = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS &&
                             version.dwMajorVersion == 4 && version.dwMinorVersion == 10;
    // The consumer family's transparent blit is not trusted.
    if (version.dwPlatformId > VER_PLATFORM_WIN32_WINDOWS)
        blendLibrary.transparentBlt =
            lookUp<TransparentBltFunction>(blendLibrary.module, "TransparentBlt");
}

// The entry points are forgotten with the last user, before the library can go away.
void closeBlendLibrary()
{
    if (blendLibrary.users == 0 || --blendLibrary.users > 0)
        return;
    blendLibrary.alphaBlend = nullptr;
    blendLibrary.transparentBlt = nullptr;
    if (blendLibrary.module)
        FreeLibrary(blendLibrary.module);
    blendLibrary.module = nullptr;
}

Image createImage32(int32_t width, int32_t height, uint8_t** pixels)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // positive: bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits)
    {
        if (bitmap)
            DeleteObject(bitmap);
        return nullptr;
    }
    if (pixels)
        *pixels = static_cast<uint8_t*>(bits);
    return toImage(bitmap);
}

uint8_t* imageRows(Image image, std::ptrdiff_t& rowStep)
{
    GdiFlush();
    DIBSECTION section{};
    if (GetObject(hbitmap(image), sizeof(section), &section) != sizeof(section) ||
        !section.dsBm.bmBits)
        return nullptr;
    auto* bits = static_cast<uint8_t*>(section.dsBm.bmBits);
    const std::ptrdiff_t rowBytes = section.dsBm.bmWidthBytes;
    if (section.dsBmih.biHeight < 0) // top-down
    {
        rowStep = rowBytes;
        return bits;
    }
    rowStep = -rowBytes;
    return bits + rowBytes * (section.dsBm.bmHeight - 1);
}

// Sections are drawn as they are; GDI only has to see the writes.
void imageRowsWritten(Image, int32_t, int32_t)
{
    GdiFlush();
}

Image createCompatibleImage(Device device, int32_t width, int32_t height)
{
    return toImage(CreateCompatibleBitmap(dc(device), width, height));
}

Image loadBitmapResource(int32_t id)
{
    return toImage(LoadBitmapA(module(), MAKEINTRESOURCEA(id)));
}

bool getImageSize(Image image, int32_t& width, int32_t& height)
{
    BITMAP info{};
    if (!GetObject(hbitmap(image), sizeof(info), &info))
        return false;
    width = info.bmWidth;
    height = info.bmHeight;
    return true;
}

void deleteImage(Image image)
{
    DeleteObject(hbitmap(image));
}

bool readImagePixels(Image image, const CRect& area, uint32_t* words)
{
    if (!image || area.isEmpty())
        return false;
    HDC screen = GetDC(nullptr);
    int32_t width = 0;
    int32_t height = 0;
    const std::vector<uint32_t> pixels = readPixels(image, screen, width, height);
    ReleaseDC(nullptr, screen);
    if (pixels.empty() || area.left < 0 || area.top < 0 || area.right > width ||
        area.bottom > height)
        return false;
    for (int32_t y = area.top; y < area.bottom; ++y)
        words = std::copy_n(&pixels[static_cast<std::size_t>(y) * width + area.left], area.width(),
                            words);
    return true;
}

bool findPngResource(int32_t id, const uint8_t*& data, std::size_t& size)
{
    HRSRC resource = FindResourceA(module(), MAKEINTRESOURCEA(id), "PNG");
    if (!resource)
        return false;
    HGLOBAL loaded = LoadResource(module(), resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return false;
    data = static_cast<const uint8_t*>(bytes);
    size = SizeofResource(module(), resource);
    return true;
}

void copyImage(Device device, const CRect& rect, Image image, const CPoint& offset)
{
    ImageDevice source(image, dc(device));
    BitBlt(dc(device), rect.left, rect.top, rect.width(), rect.height(), source.get(), offset.h,
           offset.v, SRCCOPY);
}

// Destination XOR image, AND mask, XOR image again: where the mask is 1 the destination comes
// back unchanged, where it is 0 the image remains. Done in a scratch copy so that the
// destination never shows the intermediate steps.
void copyImageMasked(Device device, const CRect& rect, Image image, Image mask,
                     const CPoint& offset)
{
    HDC target = dc(device);
    HBITMAP scratchBitmap = CreateCompatibleBitmap(target, rect.width(), rect.height());
    if (!scratchBitmap)
        return;
    {
        ImageDevice scratch(toImage(scratchBitmap), target);
        ImageDevice picture(image, target);
        ImageDevice stencil(mask, target);
        HDC s = scratch.get();
        // One-bit pixels become the colours of the receiving device: 1 white, 0 black.
        SetBkColor(s, RGB(255, 255, 255));
        SetTextColor(s, RGB(0, 0, 0));
        const int w = rect.width();
        const int h = rect.height();
        BitBlt(s, 0, 0, w, h, target, rect.left, rect.top, SRCCOPY);
        BitBlt(s, 0, 0, w, h, picture.get(), offset.h, offset.v, SRCINVERT);
        BitBlt(s, 0, 0, w, h, stencil.get(), offset.h, offset.v, SRCAND);
        BitBlt(s, 0, 0, w, h, picture.get(), offset.h, offset.v, SRCINVERT);
        BitBlt(target, rect.left, rect.top, w, h, s, 0, 0, SRCCOPY);
    }
    DeleteObject(scratchBitmap);
}

// Copying colour into one bit sets 1 where the source pixel equals the source's background
// colour.
Image createMask(Device source, const CPoint& offset, int32_t width, int32_t height,
                 const CColor& key)
{
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    if (!mask)
        return nullptr;
    ImageDevice maskDevice(toImage(mask), dc(source));
    const COLORREF previous = SetBkColor(dc(source), colorRef(key));
    BitBlt(maskDevice.get(), 0, 0, width, height, dc(source), offset.h, offset.v, SRCCOPY);
    SetBkColor(dc(source), previous);
    return toImage(mask);
}

Image createImageMask(Image source, const CColor& key)
{
    int32_t width = 0;
    int32_t height = 0;
    if (!getImageSize(source, width, height))
        return nullptr;
    ImageDevice sourceDevice(source, nullptr);
    return createMask(reinterpret_cast<Device>(sourceDevice.get()), CPoint(), width, height, key);
}

bool transparentBlit(Device device, const CRect& rect, Image image, const CPoint& offset,
                     const CColor& key)
{
    if (!blendLibrary.transparentBlt)
        return false;
    ImageDevice source(image, dc(device));
    blendLibrary.transparentBlt(dc(device), rect.left, rect.top, rect.width(), rect.height(),
                                source.get(), offset.h, offset.v, rect.width(), rect.height(),
                                colorRef(key));
    return true;
}

void alphaBlend(Device device, const CRect& rect, Image image, const CPoint& offset, uint8_t alpha,
                bool perPixelAlpha)
{
    if (rect.isEmpty())
        return;
    if (!blendLibrary.alphaBlend)
    {
        blendWithoutLibrary(dc(device), rect, image, offset, alpha, perPixelAlpha);
        return;
    }
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha,
                              static_cast<BYTE>(perPixelAlpha ? AC_SRC_ALPHA : 0)};
    ImageDevice source(image, dc(device));
    if (!blendLibrary.offsetBug)
    {
        blendLibrary.alphaBlend(dc(device), rect.left, rect.top, rect.width(), rect.height(),
                                source.get(), offset.h, offset.v, rect.width(), rect.height(),
                                blend);
        return;
    }
    PixelSection part(rect.width(), rect.height());
    if (!part.bitmap)
        return;
    ImageDevice partDevice(toImage(part.bitmap), dc(device));
    BitBlt(partDevice.get(), 0, 0, rect.width(), rect.height(), source.get(), offset.h, offset.v,
           SRCCOPY);
    blendLibrary.alphaBlend(dc(device), rect.left, rect.top, rect.width(), rect.height(),
                            partDevice.get(), 0, 0, rect.width(), rect.height(), blend);
}

} // namespace platform
} // namespace VSTGUI
