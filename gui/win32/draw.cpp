// GDI devices, drawing objects and primitives.
#include "gui/win32/gdi_handles.h"

#include <cstring>
#include <vector>

namespace VSTGUI
{
namespace platform
{

namespace
{

CreatedObjects created;

std::vector<POINT> toPoints(const CPoint* points, int32_t count)
{
    std::vector<POINT> converted(static_cast<std::size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        converted[static_cast<std::size_t>(i)] = POINT{points[i].h, points[i].v};
    return converted;
}

// Selects a stock object for one call and restores the previous selection.
class StockSelection
{
public:
    StockSelection(HDC device, int stockObject)
        : target(device), previous(SelectObject(device, GetStockObject(stockObject)))
    {
    }
    ~StockSelection() { SelectObject(target, previous); }
    StockSelection(const StockSelection&) = delete;
    StockSelection& operator=(const StockSelection&) = delete;

private:
    HDC target;
    HGDIOBJ previous;
};

} // namespace

Device getWindowDevice(Window window)
{
    return reinterpret_cast<Device>(GetDC(hwnd(window)));
}

void releaseWindowDevice(Window window, Device device)
{
    ReleaseDC(hwnd(window), dc(device));
}

CPoint getWindowScreenOrigin(Window window)
{
    POINT origin{0, 0};
    if (window)
        ClientToScreen(hwnd(window), &origin);
    return CPoint(origin.x, origin.y);
}

Device createMemoryDevice(Device compatible)
{
    return reinterpret_cast<Device>(CreateCompatibleDC(dc(compatible)));
}

void deleteMemoryDevice(Device device)
{
    DeleteDC(dc(device));
}

Image selectImage(Device device, Image image)
{
    return toImage(SelectObject(dc(device), hbitmap(image)));
}

Pen createPen(PenStyle style, int32_t width, const CColor& color)
{
    ++created.pens;
    return reinterpret_cast<Pen>(
        CreatePen(style == PenStyle::dotted ? PS_DOT : PS_SOLID, width, colorRef(color)));
}

Brush createBrush(const CColor& color)
{
    ++created.brushes;
    return reinterpret_cast<Brush>(CreateSolidBrush(colorRef(color)));
}

Font createFont(const FontDescription& description)
{
    ++created.fonts;
    LOGFONTA font{};
    font.lfHeight = description.height;
    font.lfWeight = description.weight;
    font.lfItalic = description.italic ? 1 : 0;
    font.lfUnderline = description.underline ? 1 : 0;
    font.lfCharSet = ANSI_CHARSET;
    font.lfOutPrecision = OUT_STRING_PRECIS;
    font.lfClipPrecision = CLIP_STROKE_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily =
        description.decorative ? (FF_DECORATIVE | DEFAULT_PITCH) : (FF_SWISS | VARIABLE_PITCH);
    std::strncpy(font.lfFaceName, description.face, LF_FACESIZE - 1);
    return reinterpret_cast<Font>(CreateFontIndirectA(&font));
}

CreatedObjects createdObjects()
{
    return created;
}

SelectedObjects getSelectedObjects(Device device)
{
    return {reinterpret_cast<Pen>(GetCurrentObject(dc(device), OBJ_PEN)),
            reinterpret_cast<Brush>(GetCurrentObject(dc(device), OBJ_BRUSH)),
            reinterpret_cast<Font>(GetCurrentObject(dc(device), OBJ_FONT))};
}

Pen selectPen(Device device, Pen pen)
{
    return reinterpret_cast<Pen>(SelectObject(dc(device), reinterpret_cast<HGDIOBJ>(pen)));
}

Brush selectBrush(Device device, Brush brush)
{
    return reinterpret_cast<Brush>(SelectObject(dc(device), reinterpret_cast<HGDIOBJ>(brush)));
}

Font selectFont(Device device, Font font)
{
    return reinterpret_cast<Font>(SelectObject(dc(device), reinterpret_cast<HGDIOBJ>(font)));
}

void deletePen(Pen pen)
{
    DeleteObject(reinterpret_cast<HGDIOBJ>(pen));
}
void deleteBrush(Brush brush)
{
    DeleteObject(reinterpret_cast<HGDIOBJ>(brush));
}
void deleteFont(Font font)
{
    DeleteObject(reinterpret_cast<HGDIOBJ>(font));
}

void setTextColor(Device device, const CColor& color)
{
    SetTextColor(dc(device), colorRef(color));
}

void setBackgroundColor(Device device, const CColor& color)
{
    SetBkColor(dc(device), colorRef(color));
}

void setTransparentTextBackground(Device device, bool transparent)
{
    SetBkMode(dc(device), transparent ? TRANSPARENT : OPAQUE);
}

void setRasterMix(Device device, RasterMix mix)
{
    int rop = R2_COPYPEN;
    if (mix == RasterMix::merge)
        rop = R2_MERGEPEN;
    else if (mix == RasterMix::notXor)
        rop = R2_NOTXORPEN;
    SetROP2(dc(device), rop);
}

void setClipRect(Device device, const CRect& rect)
{
    HRGN region = CreateRectRgn(rect.left, rect.top, rect.right, rect.bottom);
    SelectClipRgn(dc(device), region);
    DeleteObject(region);
}

void moveTo(Device device, const CPoint& point)
{
    MoveToEx(dc(device), point.h, point.v, nullptr);
}

void lineTo(Device device, const CPoint& point)
{
    LineTo(dc(device), point.h, point.v);
}

void polyline(Device device, const CPoint* points, int32_t count)
{
    const std::vector<POINT> converted = toPoints(points, count);
    Polyline(dc(device), converted.data(), count);
}

void fillRect(Device device, const CRect& rect, Brush brush)
{
    const RECT r = toRect(rect);
    FillRect(dc(device), &r,
             brush ? reinterpret_cast<HBRUSH>(brush)
                   : static_cast<HBRUSH>(GetCurrentObject(dc(device), OBJ_BRUSH)));
}

void fillPolygon(Device device, const CPoint* points, int32_t count)
{
    const std::vector<POINT> converted = toPoints(points, count);
    StockSelection noPen(dc(device), NULL_PEN);
    Polygon(dc(device), converted.data(), count);
}

void fillEllipse(Device device, const CRect& box)
{
    StockSelection noPen(dc(device), NULL_PEN);
    Ellipse(dc(device), box.left, box.top, box.right, box.bottom);
}

void strokeEllipse(Device device, const CRect& box)
{
    StockSelection noBrush(dc(device), NULL_BRUSH);
    Ellipse(dc(device), box.left, box.top, box.right, box.bottom);
}

void strokeArc(Device device, const CRect& box, const CPoint& from, const CPoint& to)
{
    Arc(dc(device), box.left, box.top, box.right, box.bottom, from.h, from.v, to.h, to.v);
}

void setPixel(Device device, const CPoint& point, const CColor& color)
{
    SetPixel(dc(device), point.h, point.v, colorRef(color));
}

CColor getPixel(Device device, const CPoint& point)
{
    const COLORREF c = GetPixel(dc(device), point.h, point.v);
    return CColor{GetRValue(c), GetGValue(c), GetBValue(c), 255};
}

void floodFill(Device device, const CPoint& point)
{
    ExtFloodFill(dc(device), point.h, point.v, GetPixel(dc(device), point.h, point.v),
                 FLOODFILLSURFACE);
}

void drawText(Device device, const char* text, const CRect& rect, TextAlign align)
{
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (align == TextAlign::center)
        format |= DT_CENTER;
    else if (align == TextAlign::right)
        format |= DT_RIGHT;
    RECT r = toRect(rect);
    DrawTextA(dc(device), text, -1, &r, format);
}

int32_t getTextWidth(Device device, const char* text)
{
    SIZE size{};
    GetTextExtentPoint32A(dc(device), text, static_cast<int>(std::strlen(text)), &size);
    return size.cx;
}

void copyPixels(Device destination, const CRect& rect, Device source, const CPoint& offset)
{
    BitBlt(dc(destination), rect.left, rect.top, rect.width(), rect.height(), dc(source), offset.h,
           offset.v, SRCCOPY);
}

} // namespace platform
} // namespace VSTGUI
