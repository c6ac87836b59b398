#include "preview.h"

#include "png_writer.h"
#include "skin/canvas.h"
#include "skin/layout.h"
#include "skin_files.h"

#include <png.h>

#include <cstdio>

namespace skingen
{

namespace
{

using skin::Canvas;
using skin::Image;

constexpr int kGap = 12;
constexpr int kPanels = 3;

// The PNG as premultiplied words; empty when it cannot be read.
Image loadPng(const std::string& dir, const char* name)
{
    const std::string path = dir + "/" + name;
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str()))
    {
        std::fprintf(stderr, "skingen: cannot read %s\n", path.c_str());
        return Image();
    }
    png.format = PNG_FORMAT_BGRA;
    Image image(static_cast<int>(png.width), static_cast<int>(png.height));
    if (!png_image_finish_read(&png, nullptr, image.pixels().top, 0, nullptr))
    {
        std::fprintf(stderr, "skingen: cannot read %s\n", path.c_str());
        return Image();
    }
    skin::Pixels pixels = image.pixels();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
        {
            uint32_t& p = pixels.row(y)[x];
            const uint32_t a = p >> 24;
            auto channel = [a](uint32_t c) { return (c * a + 127) / 255; };
            p = a << 24 | channel(p >> 16 & 255) << 16 | channel(p >> 8 & 255) << 8 |
                channel(p & 255);
        }
    return image;
}

// The picture's rows from sourceY on, at (x, y) of the canvas.
void drawPart(Canvas& cr, const Image& picture, int x, int y, int sourceY, int w, int h)
{
    cr.save();
    cr.rectangle(x, y, w, h);
    cr.clip();
    const skin::Point at = cr.toPicture(x, y);
    cr.setSource(picture, static_cast<int>(at.x), static_cast<int>(at.y) - sourceY);
    cr.paint();
    cr.restore();
}

// The values the editor would write into its fields, in white as it does.
void fieldTexts(Canvas& cr)
{
    const char* texts[3] = {"0.00", "5.00", "10.00"};
    cr.selectFont(skin::Font::Regular, 11.0);
    cr.setSource(skin::Rgb{1, 1, 1});
    for (int i = 0; i < 3; ++i)
    {
        cr.newPath();
        cr.textPath(texts[i], skin::kFields[i].centreX(), skin::kFields[i].bottom - 2.5,
                    skin::Align::Centre);
        cr.fill();
    }
}

} // namespace

bool writePreview(const std::string& skinDir, const std::string& outPath)
{
    using namespace skin;
    const Image background = loadPng(skinDir, fileOf(Picture::Background));
    const Image bypass = loadPng(skinDir, fileOf(Picture::Bypass));
    const Image about = loadPng(skinDir, fileOf(Picture::About));
    const Image knobs[3] = {loadPng(skinDir, fileOf(Picture::KnobDrive)),
                            loadPng(skinDir, fileOf(Picture::KnobTone)),
                            loadPng(skinDir, fileOf(Picture::KnobLevel))};
    if (background.width() == 0 || bypass.width() == 0 || about.width() == 0 ||
        knobs[0].width() == 0 || knobs[1].width() == 0 || knobs[2].width() == 0)
        return false;

    const int height = kPanels * kPanelHeight + (kPanels + 1) * kGap;
    Image out(kPanelWidth + 2 * kGap, height);
    Canvas cr(out.pixels(), 1.0);
    cr.setSource(Rgb{0.5, 0.5, 0.5});
    cr.paint();

    const int frames[3] = {0, (kKnobFrames - 1) / 2, kKnobFrames - 1};
    for (int panel = 0; panel < kPanels; ++panel)
    {
        cr.save();
        cr.translate(kGap, kGap + panel * (kPanelHeight + kGap));
        drawPart(cr, background, 0, 0, 0, kPanelWidth, kPanelHeight);
        for (int i = 0; i < 3; ++i)
            drawPart(cr, knobs[i], kKnobs[i].left, kKnobs[i].top, frames[i] * kKnobSize, kKnobSize,
                     kKnobSize);
        fieldTexts(cr);
        const Box& button = kBypassButton;
        drawPart(cr, bypass, button.left, button.top, panel == 1 ? button.height() : 0,
                 button.width(), button.height());
        if (panel == 2)
            drawPart(cr, about, kAboutLeft, kAboutTop, 0, kAboutWidth, kAboutHeight);
        cr.restore();
    }
    return writePng(out, outPath, PngFormat::Rgb);
}

} // namespace skingen
