#include "skin/skin.h"

#include "resources/resource_ids.h"
#include "skin/layout.h"
#include "skin/pictures.h"

#include <algorithm>
#include <system_error>
#include <thread>

namespace skin
{

namespace
{

// A picture of one frame drawn whole.
class StillPainter : public Painter
{
public:
    StillPainter(void (*draw)(Canvas&), double scale) : draw_(draw), scale_(scale) {}

    void drawRows(int, const Pixels& target, int top) const override
    {
        startOpaque(target);
        Canvas canvas(target, scale_, 0, top);
        draw_(canvas);
    }

private:
    void (*draw_)(Canvas&);
    double scale_;
};

} // namespace

void startOpaque(const Pixels& target)
{
    for (int y = 0; y < target.height; ++y)
        std::fill(target.row(y), target.row(y) + target.width, 0xFF000000u);
}

Shape shapeOf(Picture picture)
{
    switch (picture)
    {
    case Picture::Background:
        return {kPanelWidth, kPanelHeight, 1};
    case Picture::KnobDrive:
    case Picture::KnobTone:
    case Picture::KnobLevel:
        return {kKnobSize, kKnobSize, kKnobFrames};
    case Picture::Bypass:
        return {kBypassButton.width(), kBypassButton.height(), 2};
    case Picture::About:
        return {kAboutWidth, kAboutHeight, 1};
    }
    return {0, 0, 0};
}

bool pictureOfResource(int32_t resourceId, Picture& picture)
{
    constexpr int32_t ids[] = {IDB_BACKGROUND, IDB_KNOB_DRIVE, IDB_KNOB_TONE,
                               IDB_KNOB_LEVEL, IDB_BYPASS,     IDB_ABOUT};
    for (int i = 0; i < 6; ++i)
        if (ids[i] == resourceId)
        {
            picture = kPictures[i];
            return true;
        }
    return false;
}

std::unique_ptr<Painter> makePainter(Picture picture, double scale)
{
    switch (picture)
    {
    case Picture::Background:
        return std::make_unique<StillPainter>(drawBackground, scale);
    case Picture::KnobDrive:
        return knobPainter(kDriveCap, scale);
    case Picture::KnobTone:
        return knobPainter(kToneCap, scale);
    case Picture::KnobLevel:
        return knobPainter(kLevelCap, scale);
    case Picture::Bypass:
        return bypassPainter(scale);
    case Picture::About:
        return std::make_unique<StillPainter>(drawAbout, scale);
    }
    return nullptr;
}

void drawFrameOnThreads(const Painter& painter, int frame, const Pixels& target)
{
    // Below this many pixels a thread costs more than it saves.
    constexpr long kPixelsPerThread = 100000;
    const int half = target.height / 2;
    if (static_cast<long>(target.width) * target.height < 2 * kPixelsPerThread)
    {
        painter.drawFrame(frame, target);
        return;
    }
    Pixels lower = target;
    lower.top = target.row(half);
    lower.height = target.height - half;
    Pixels upper = target;
    upper.height = half;
    std::thread helper;
    try
    {
        helper = std::thread([&] { painter.drawRows(frame, lower, half); });
    }
    catch (const std::system_error&)
    {
        painter.drawRows(frame, lower, half); // no thread to be had: one after the other
    }
    painter.drawRows(frame, upper, 0);
    if (helper.joinable())
        helper.join();
}

Image drawPicture(Picture picture, double scale)
{
    const Shape shape = shapeOf(picture);
    const int frameHeight = pixelsOf(shape.height, scale);
    Image image(pixelsOf(shape.width, scale), frameHeight * shape.frames);
    const std::unique_ptr<Painter> painter = makePainter(picture, scale);
    Pixels all = image.pixels();
    for (int frame = 0; frame < shape.frames; ++frame)
    {
        Pixels part = all;
        part.top = all.row(frame * frameHeight);
        part.height = frameHeight;
        painter->drawFrame(frame, part);
    }
    return image;
}

} // namespace skin
