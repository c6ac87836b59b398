#include "standalone/bar_views.h"

#include "gui/draw_context.h"
#include "gui/frame.h"

#include <algorithm>
#include <cmath>

using namespace VSTGUI;

namespace standalone
{
namespace
{

constexpr CColor kFace{58, 58, 62, 255};
constexpr CColor kEdge{110, 110, 118, 255};
constexpr CColor kText{226, 226, 230, 255};
constexpr CColor kMutedFace{170, 40, 36, 255};
constexpr CColor kMeterGreen{70, 190, 90, 255};
constexpr CColor kMeterDark{28, 28, 30, 255};
constexpr CColor kClipOff{70, 30, 30, 255};
constexpr CColor kClipOn{240, 40, 30, 255};
constexpr CCoord kTextInset = 4;
constexpr CCoord kArrowRoom = 10;
constexpr double kMeterFloorDb = -60.0;
constexpr float kMeterFall = 0.85f; // per update, so the bar falls back smoothly

void drawBox(CDrawContext* context, const CRect& box, const CColor& face)
{
    context->setFillColor(face);
    context->setFrameColor(kEdge);
    context->drawRect(box, kDrawFilledAndStroked);
}

void drawLabel(CDrawContext* context, const CRect& box, const std::string& text, int32_t align)
{
    CRect inner(box.left + kTextInset, box.top, box.right - kTextInset, box.bottom);
    context->setFont(kNormalFontSmall);
    context->setFontColor(kText);
    CRect clip;
    context->getClipRect(clip);
    CRect shown = inner;
    context->setClipRect(shown.intersect(clip));
    context->drawString(text.c_str(), inner, false, align);
    context->setClipRect(clip);
}

} // namespace

MenuButton::MenuButton(const CRect& bounds, std::function<Menu()> menu,
                       std::function<void(int32_t)> onChosen)
    : CView(bounds), items(std::move(menu)), chosen(std::move(onChosen))
{
}

void MenuButton::setLabel(const std::string& label)
{
    if (label == text)
        return;
    text = label;
    setDirty(true);
}

void MenuButton::draw(CDrawContext* context)
{
    drawBox(context, size, kFace);
    drawLabel(context, CRect(size.left, size.top, size.right - kArrowRoom, size.bottom), text,
              kLeftText);
    // The arrow that says a menu opens here.
    const CCoord middle = (size.top + size.bottom) / 2;
    const CPoint arrow[] = {CPoint(size.right - 11, middle - 2), CPoint(size.right - 4, middle - 2),
                            CPoint(size.right - 7, middle + 2)};
    context->setFillColor(kText);
    context->setFrameColor(kText);
    context->drawPolygon(arrow, 3, kDrawFilledAndStroked);
    setDirty(false);
}

void MenuButton::onMouseDown(CDrawContext*, CPoint&, int32_t buttons)
{
    if (!(buttons & kLButton) || !getFrame())
        return;
    const Menu menu = items();
    if (menu.items.empty())
        return;
    CPoint below(size.left, size.bottom);
    localToFrame(below);
    const int32_t index = getFrame()->showPopupMenu(below, menu.items, menu.checked);
    if (index >= 0 && index < static_cast<int32_t>(menu.items.size()))
        chosen(index);
}

MuteButton::MuteButton(const CRect& bounds, std::function<void(bool)> onToggle)
    : CView(bounds), toggled(std::move(onToggle))
{
}

void MuteButton::setMuted(bool muted)
{
    if (muted == on)
        return;
    on = muted;
    setDirty(true);
}

void MuteButton::draw(CDrawContext* context)
{
    drawBox(context, size, on ? kMutedFace : kFace);
    drawLabel(context, size, on ? "Muted" : "Mute", kCenterText);
    setDirty(false);
}

void MuteButton::onMouseDown(CDrawContext*, CPoint&, int32_t buttons)
{
    if (!(buttons & kLButton))
        return;
    setMuted(!on);
    toggled(on);
}

LevelMeter::LevelMeter(const CRect& bounds) : CView(bounds) {}

void LevelMeter::show(float peak, bool clipped)
{
    const double db = peak > 0.0f ? 20.0 * std::log10(peak) : kMeterFloorDb;
    const auto target = static_cast<float>(std::clamp(1.0 - db / kMeterFloorDb, 0.0, 1.0));
    const float next = std::max(target, level * kMeterFall);
    const int hold = clipped ? kClipHoldUpdates : std::max(0, clipHold - 1);
    if (std::fabs(next - level) > 1e-3f || (hold > 0) != (clipHold > 0))
        setDirty(true);
    level = next < 1e-3f ? 0.0f : next;
    clipHold = hold;
}

void LevelMeter::draw(CDrawContext* context)
{
    const CCoord light = size.height();
    const CRect bar(size.left, size.top, size.right - light - 2, size.bottom);
    drawBox(context, bar, kMeterDark);
    const auto width =
        static_cast<CCoord>(std::lround(static_cast<float>(bar.width() - 2) * level));
    if (width > 0)
    {
        context->setFillColor(kMeterGreen);
        context->drawRect(CRect(bar.left + 1, bar.top + 1, bar.left + 1 + width, bar.bottom - 1),
                          kDrawFilled);
    }
    drawBox(context, CRect(size.right - light, size.top, size.right, size.bottom),
            clipHold > 0 ? kClipOn : kClipOff);
    setDirty(false);
}

TextLine::TextLine(const CRect& bounds) : CView(bounds) {}

void TextLine::setText(const std::string& line)
{
    if (line == text)
        return;
    text = line;
    setDirty(true);
}

void TextLine::draw(CDrawContext* context)
{
    context->setFillColor(kFace);
    context->setFrameColor(kFace);
    context->drawRect(size, kDrawFilledAndStroked);
    drawLabel(context, size, text, kLeftText);
    setDirty(false);
}

} // namespace standalone
