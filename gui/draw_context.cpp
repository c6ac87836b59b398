#include "gui/draw_context.h"

#include "gui/frame.h"
#include "gui/scale.h"

#include <algorithm>
#include <memory>
#include <new>

namespace VSTGUI
{

const char* const kStandardFontName[kNumStandardFonts] = {"Arial", "Arial", "Arial", "Arial",
                                                          "Arial", "Arial", "Arial", "Symbol"};
const int32_t kStandardFontSize[kNumStandardFonts] = {12, 18, 14, 12, 11, 10, 9, 13};

namespace
{

bool mouseButtonsSwapped = false;

CRect shifted(CRect rect, const CPoint& by)
{
    return rect.offset(by);
}

CPoint shifted(CPoint point, const CPoint& by)
{
    return point.offset(by.h, by.v);
}

// Device points of a caller's point list: up to 30 on the stack, more on the heap (no drawing
// when that allocation fails).
template <typename Draw>
void withDevicePoints(const CDrawContext& context, const CPoint* points, int32_t count, Draw draw)
{
    constexpr int32_t kFixedPoints = 30;
    CPoint fixed[kFixedPoints];
    std::unique_ptr<CPoint[]> heap;
    CPoint* converted = fixed;
    if (count > kFixedPoints)
    {
        heap.reset(new (std::nothrow) CPoint[static_cast<std::size_t>(count)]);
        if (!heap)
            return;
        converted = heap.get();
    }
    for (int32_t i = 0; i < count; ++i)
        converted[i] = context.toDevicePoint(points[i]);
    draw(converted, count);
}

} // namespace

CDrawContext::CDrawContext(CFrame* inFrame, platform::Device inDevice, platform::Window inWindow)
    : device(inDevice), window(inWindow), frame(inFrame),
      scale(inFrame ? inFrame->getScale() : 1.0),
      clipRect(inFrame ? inFrame->getViewSize() : CRect(0, 0, 1000, 1000))
{
    if (!device && window)
        device = ownedDevice = platform::getWindowDevice(window);
    if (device)
    {
        saved = platform::getSelectedObjects(device);
        platform::setTransparentTextBackground(device, true);
    }
    if (window)
        offsetScreen = platform::getWindowScreenOrigin(window);
    setFrameColor(kWhiteCColor);
    setLineStyle(kLineSolid);
    setLineWidth(1);
    setFillColor(kBlackCColor);
    setFontColor(kWhiteCColor);
    setFont(kSystemFont);
    setDrawMode(kCopyMode);
}

CDrawContext::~CDrawContext()
{
    detachDevice();
    if (brush)
        platform::deleteBrush(brush);
    if (pen)
        platform::deletePen(pen);
    if (font)
        platform::deleteFont(font);
    if (ownedDevice)
        platform::releaseWindowDevice(window, ownedDevice);
}

void CDrawContext::attachDevice(platform::Device newDevice)
{
    device = newDevice;
    saved = platform::getSelectedObjects(device);
    platform::selectPen(device, pen);
    platform::selectBrush(device, brush);
    platform::selectFont(device, font);
    platform::setTextColor(device, fontColor);
    platform::setBackgroundColor(device, fillColor);
    setRasterMix(device, drawMode);
}

void CDrawContext::detachDevice()
{
    if (!device)
        return;
    platform::selectBrush(device, saved.brush);
    platform::selectPen(device, saved.pen);
    platform::selectFont(device, saved.font);
    device = nullptr;
}

CRect CDrawContext::toDeviceRect(const CRect& rect) const
{
    return toDevice(shifted(rect, offset), scale);
}

CPoint CDrawContext::toDevicePoint(const CPoint& point) const
{
    return toDevice(shifted(point, offset), scale);
}

void CDrawContext::moveTo(const CPoint& point)
{
    if (device)
        platform::moveTo(device, toDevicePoint(point));
}

void CDrawContext::lineTo(const CPoint& point)
{
    if (device)
        platform::lineTo(device, toDevicePoint(point));
}

void CDrawContext::drawLines(const CPoint* pairs, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
    {
        moveTo(pairs[2 * i]);
        lineTo(pairs[2 * i + 1]);
    }
}

void CDrawContext::polyLine(const CPoint* points, int32_t count)
{
    if (!device)
        return;
    withDevicePoints(*this, points, count,
                     [this](const CPoint* converted, int32_t n)
                     { platform::polyline(device, converted, n); });
}

void CDrawContext::fillPolygon(const CPoint* points, int32_t count)
{
    if (!device)
        return;
    withDevicePoints(*this, points, count,
                     [this](const CPoint* converted, int32_t n)
                     { platform::fillPolygon(device, converted, n); });
}

void CDrawContext::drawPolygon(const CPoint* points, int32_t count, int32_t style)
{
    if (style == kDrawFilled || style == kDrawFilledAndStroked)
        fillPolygon(points, count);
    if (style == kDrawStroked || style == kDrawFilledAndStroked)
        polyLine(points, count);
}

void CDrawContext::drawRect(const CRect& rect, int32_t style)
{
    if (!device)
        return;
    const CRect r = toDeviceRect(rect);
    if (style == kDrawFilled || style == kDrawFilledAndStroked)
        platform::fillRect(device, r, brush);
    if ((style == kDrawStroked || style == kDrawFilledAndStroked) && scale != 1.0 &&
        lineStyle != kLineOnOffDash)
    {
        // Bands of the pen's width at scale, inside the rectangle as at 1x.
        const CCoord band = std::max<CCoord>(1, toDevice(lineWidth, scale));
        fillDeviceRect(CRect(r.left, r.top, r.right, r.top + band), frameColor);
        fillDeviceRect(CRect(r.left, r.bottom - band, r.right, r.bottom), frameColor);
        fillDeviceRect(CRect(r.left, r.top, r.left + band, r.bottom), frameColor);
        fillDeviceRect(CRect(r.right - band, r.top, r.right, r.bottom), frameColor);
    }
    else if (style == kDrawStroked || style == kDrawFilledAndStroked)
    {
        // Back to the start, whose end point is left out: every outline pixel is drawn once.
        const CPoint outline[] = {CPoint(r.left, r.top), CPoint(r.right - 1, r.top),
                                  CPoint(r.right - 1, r.bottom - 1), CPoint(r.left, r.bottom - 1),
                                  CPoint(r.left, r.top)};
        platform::polyline(device, outline, 5);
    }
}

void CDrawContext::fillRect(const CRect& rect)
{
    if (device)
        platform::fillRect(
            device, toDeviceRect(CRect(rect.left + 1, rect.top + 1, rect.right, rect.bottom)),
            brush);
}

void CDrawContext::fillDeviceRect(const CRect& rect, const CColor& color)
{
    platform::Brush band = platform::createBrush(color);
    if (!band)
        return;
    platform::fillRect(device, rect, band);
    platform::deleteBrush(band);
}

void CDrawContext::fillEllipse(const CRect& rect)
{
    if (device)
        platform::fillEllipse(device, toDeviceRect(CRect(rect.left + 1, rect.top + 1,
                                                         rect.right + 1, rect.bottom + 1)));
}

void CDrawContext::drawEllipse(const CRect& rect)
{
    if (device)
        platform::strokeEllipse(
            device, toDeviceRect(CRect(rect.left, rect.top, rect.right + 1, rect.bottom + 1)));
}

void CDrawContext::drawArc(const CRect& rect, const CPoint& point1, const CPoint& point2)
{
    if (device)
        platform::strokeArc(
            device, toDeviceRect(CRect(rect.left, rect.top, rect.right + 1, rect.bottom + 1)),
            toDevicePoint(point1), toDevicePoint(point2));
}

void CDrawContext::drawPoint(const CPoint& point, const CColor& color)
{
    if (!device)
        return;
    // A layout pixel covers a block of device pixels at scale.
    const CRect block = toDeviceRect(CRect(point, 1, 1));
    for (CCoord y = block.top; y < block.bottom; ++y)
        for (CCoord x = block.left; x < block.right; ++x)
            platform::setPixel(device, CPoint(x, y), color);
}

CColor CDrawContext::getPoint(const CPoint& point)
{
    return device ? platform::getPixel(device, toDevicePoint(point)) : kBlackCColor;
}

void CDrawContext::floodFill(const CPoint& point)
{
    if (device)
        platform::floodFill(device, toDevicePoint(point));
}

void CDrawContext::drawString(const char* text, const CRect& rect, bool opaque, int32_t alignment)
{
    if (!text || !device)
        return;
    CRect r = rect;
    platform::TextAlign align = platform::TextAlign::left;
    if (alignment == kCenterText)
        align = platform::TextAlign::center;
    else if (alignment == kRightText)
        align = platform::TextAlign::right;
    else if (alignment == kLeftText)
        r.left += 1;
    platform::setTransparentTextBackground(device, !opaque);
    platform::drawText(device, text, toDeviceRect(r), align);
    platform::setTransparentTextBackground(device, true);
}

int32_t CDrawContext::getStringWidth(const char* text)
{
    if (!text || !device)
        return 0;
    return static_cast<int32_t>(std::ceil(platform::getTextWidth(device, text) / scale));
}

void CDrawContext::selectNewPen()
{
    const int32_t width =
        scale == 1.0 ? lineWidth : std::max<CCoord>(1, toDevice(lineWidth, scale));
    platform::Pen newPen = platform::createPen(penStyle, width, frameColor);
    if (device)
        platform::selectPen(device, newPen);
    if (pen)
        platform::deletePen(pen);
    pen = newPen;
}

void CDrawContext::setLineStyle(int32_t style)
{
    if (style == lineStyle)
        return;
    lineStyle = style;
    penStyle = style == kLineOnOffDash ? platform::PenStyle::dotted : platform::PenStyle::solid;
    selectNewPen();
}

void CDrawContext::setLineWidth(int32_t width)
{
    if (width == lineWidth)
        return;
    lineWidth = width;
    selectNewPen();
}

void CDrawContext::setFrameColor(const CColor& color)
{
    if (color == frameColor)
        return;
    frameColor = color;
    selectNewPen();
}

void CDrawContext::setFillColor(const CColor& color)
{
    if (color == fillColor)
        return;
    fillColor = color;
    if (device)
        platform::setBackgroundColor(device, color);
    platform::Brush newBrush = platform::createBrush(color);
    if (!newBrush)
        return;
    if (device)
        platform::selectBrush(device, newBrush);
    if (brush)
        platform::deleteBrush(brush);
    brush = newBrush;
}

void CDrawContext::setFontColor(const CColor& color)
{
    fontColor = color;
    if (device)
        platform::setTextColor(device, color);
}

void CDrawContext::setDrawMode(int32_t mode)
{
    if (mode == drawMode)
        return;
    drawMode = mode;
    if (device)
        setRasterMix(device, mode);
}

void CDrawContext::setRasterMix(platform::Device target, int32_t mode)
{
    platform::RasterMix mix = platform::RasterMix::copy;
    if (mode == kOrMode)
        mix = platform::RasterMix::merge;
    else if (mode == kXorMode)
        mix = platform::RasterMix::notXor;
    platform::setRasterMix(target, mix);
}

void CDrawContext::setClipRect(const CRect& clip)
{
    const CRect r = shifted(clip, offset);
    if (r == clipRect)
        return;
    clipRect = r;
    if (device)
        platform::setClipRect(device, toDevice(r, scale));
}

CRect& CDrawContext::getClipRect(CRect& clip) const
{
    clip = shifted(clipRect, CPoint(-offset.h, -offset.v));
    return clip;
}

void CDrawContext::setFont(int32_t id, int32_t size, int32_t style)
{
    // Unknown ids, negative ones included, fall back to the system font.
    if (id < 0 || id >= kNumStandardFonts)
        id = kSystemFont;
    if (size == 0)
        size = kStandardFontSize[id];
    if (id == fontId && size == fontSize && style == fontStyle)
        return;
    fontId = id;
    fontSize = size;
    fontStyle = style;

    platform::FontDescription description;
    description.face = kStandardFontName[id];
    description.height = -toDevice(size, scale);
    description.weight = (style & kBoldFace) || id == kSystemFont ? 700 : 400;
    description.italic = (style & kItalicFace) != 0;
    description.underline = (style & kUnderlineFace) != 0;
    description.decorative = id == kSymbolFont;
    platform::Font newFont = platform::createFont(description);
    if (device)
        platform::selectFont(device, newFont);
    if (font)
        platform::deleteFont(font);
    font = newFont;
}

void CDrawContext::setMouseButtonsSwapped(bool swapped)
{
    mouseButtonsSwapped = swapped;
}

int32_t CDrawContext::getMouseButtons()
{
    int32_t buttons = platform::getPhysicalMouseButtons();
    if (mouseButtonsSwapped)
    {
        const int32_t left = buttons & kLButton;
        const int32_t right = buttons & kRButton;
        buttons &= ~(kLButton | kRButton);
        buttons |= (left ? kRButton : 0) | (right ? kLButton : 0);
    }
    return buttons;
}

void CDrawContext::getMouseLocation(CPoint& point)
{
    const CPoint screen = platform::getPointerScreenPosition();
    point = toLayout(CPoint(screen.h - offsetScreen.h, screen.v - offsetScreen.v), scale);
}

bool CDrawContext::pointerNear(const CPoint& anchor)
{
    CPoint now;
    getMouseLocation(now);
    return now.h >= anchor.h - 2 && now.h < anchor.h + 2 && now.v >= anchor.v - 2 &&
           now.v < anchor.v + 2;
}

bool CDrawContext::waitDoubleClick()
{
    CPoint anchor;
    getMouseLocation(anchor);
    const uint32_t deadline = platform::getMessageTime() + platform::getDoubleClickTime();
    // Signed difference: the tick count may wrap around between the two readings.
    while (static_cast<int32_t>(deadline - platform::getTickCount()) > 0)
    {
        if (!pointerNear(anchor))
            return false;
        if (platform::takeLeftButtonDown())
            return true;
        platform::sleep(1);
    }
    return false;
}

bool CDrawContext::waitDrag()
{
    if (!frame)
        return false;
    CPoint anchor;
    getMouseLocation(anchor);
    while (getMouseButtons() & kLButton)
    {
        frame->runIdle();
        if (!pointerNear(anchor))
            return true;
    }
    return false;
}

} // namespace VSTGUI
