#include "preview.h"

#include "canvas.h"
#include "layout.h"
#include "skin_files.h"

#include <cstdio>

namespace skingen
{

namespace
{

constexpr int kGap = 12;
constexpr int kPanels = 3;

Surface loadPng(const std::string& dir, const char* name)
{
    const std::string path = dir + "/" + name;
    Surface surface(cairo_image_surface_create_from_png(path.c_str()));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
    {
        std::fprintf(stderr, "skingen: cannot read %s\n", path.c_str());
        return nullptr;
    }
    return surface;
}

void drawPart(cairo_t* cr, cairo_surface_t* picture, double x, double y, double sourceY, double w,
              double h)
{
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    cairo_set_source_surface(cr, picture, x, y - sourceY);
    cairo_paint(cr);
    cairo_restore(cr);
}

// The values the editor would write into its fields, in white as it does.
void fieldTexts(cairo_t* cr, double top)
{
    const char* texts[3] = {"0.00", "5.00", "10.00"};
    selectFont(cr, Font::Regular, 11.0);
    cairo_set_source_rgb(cr, 1, 1, 1);
    for (int i = 0; i < 3; ++i)
    {
        cairo_new_path(cr);
        textPath(cr, texts[i], kFields[i].centreX(), top + kFields[i].bottom - 2.5, Align::Centre);
        cairo_fill(cr);
    }
}

} // namespace

bool writePreview(const std::string& skinDir, const std::string& outPath)
{
    Surface background = loadPng(skinDir, kBackgroundFile);
    Surface bypass = loadPng(skinDir, kBypassFile);
    Surface about = loadPng(skinDir, kAboutFile);
    Surface knobs[3] = {loadPng(skinDir, kKnobFiles[0]), loadPng(skinDir, kKnobFiles[1]),
                        loadPng(skinDir, kKnobFiles[2])};
    if (!background || !bypass || !about || !knobs[0] || !knobs[1] || !knobs[2])
        return false;

    const int height = kPanels * kPanelHeight + (kPanels + 1) * kGap;
    Surface out = makeSurface(kPanelWidth + 2 * kGap, height, 1.0, CAIRO_FORMAT_RGB24);
    Context context = makeContext(out.get());
    cairo_t* cr = context.get();
    cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
    cairo_paint(cr);

    const int frames[3] = {0, (kKnobFrames - 1) / 2, kKnobFrames - 1};
    for (int panel = 0; panel < kPanels; ++panel)
    {
        cairo_save(cr);
        cairo_translate(cr, kGap, kGap + panel * (kPanelHeight + kGap));
        drawPart(cr, background.get(), 0, 0, 0, kPanelWidth, kPanelHeight);
        for (int i = 0; i < 3; ++i)
            drawPart(cr, knobs[i].get(), kKnobs[i].left, kKnobs[i].top, frames[i] * kKnobSize,
                     kKnobSize, kKnobSize);
        fieldTexts(cr, 0);
        const Box& button = kBypassButton;
        drawPart(cr, bypass.get(), button.left, button.top, panel == 1 ? button.height() : 0,
                 button.width(), button.height());
        if (panel == 2)
            drawPart(cr, about.get(), kAboutLeft, kAboutTop, 0, kAboutWidth, kAboutHeight);
        cairo_restore(cr);
    }
    cairo_surface_flush(out.get());
    return cairo_surface_write_to_png(out.get(), outPath.c_str()) == CAIRO_STATUS_SUCCESS;
}

} // namespace skingen
