// Text on X11: cairo's font interface over fontconfig, placed by the font's metrics the way
// GDI's single-line DrawText places it. Fontconfig maps the Windows faces (Arial) to their
// metric-compatible twins (Liberation Sans).
#include "gui/x11/x11.h"

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <tuple>

namespace VSTGUI
{
namespace platform
{

namespace
{

constexpr double kDefaultSize = 12.0;

// The toolkit's strings are in the Windows character set; cairo wants UTF-8. Latin-1 is close
// enough for the characters a value field shows.
std::string utf8(const char* text)
{
    std::string out;
    for (const char* c = text; *c; ++c)
    {
        const auto byte = static_cast<unsigned char>(*c);
        if (byte < 0x80)
        {
            out += *c;
            continue;
        }
        out += static_cast<char>(0xC0 | (byte >> 6));
        out += static_cast<char>(0x80 | (byte & 0x3F));
    }
    return out;
}

// The faces are few (a family, weight and slant each) and every window uses them: each is
// resolved through fontconfig once and kept for the life of the process.
cairo_font_face_t* faceOf(const char* family, bool italic, bool bold)
{
    using Key = std::tuple<std::string, bool, bool>;
    static auto* faces = new std::map<Key, cairo_font_face_t*>;
    const Key key(family, italic, bold);
    const auto found = faces->find(key);
    if (found != faces->end())
        return found->second;
    cairo_font_face_t* face = cairo_toy_font_face_create(
        family, italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
        bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    faces->emplace(key, face);
    return face;
}

struct Metrics
{
    int32_t ascent = 0;
    int32_t height = 0; // ascent plus descent, GDI's cell height
};

Metrics metricsOf(cairo_t* cr)
{
    cairo_font_extents_t extents;
    cairo_font_extents(cr, &extents);
    Metrics m;
    m.ascent = static_cast<int32_t>(std::ceil(extents.ascent));
    m.height = m.ascent + static_cast<int32_t>(std::ceil(extents.descent));
    return m;
}

} // namespace

namespace x11
{

void selectFont(cairo_t* cr, const FontDescription& font)
{
    const char* family = font.face && *font.face ? font.face : "sans-serif";
    if (font.decorative && !(font.face && *font.face))
        family = "serif";
    cairo_set_font_face(cr, faceOf(family, font.italic, font.weight >= 600));
    cairo_font_options_t* options = cairo_font_options_create();
    // Crisp, fully hinted glyphs, as GDI draws small text at its default quality.
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    if (font.height < 0)
    {
        cairo_set_font_size(cr, -font.height);
        return;
    }
    if (font.height == 0)
    {
        cairo_set_font_size(cr, kDefaultSize);
        return;
    }
    // A positive height is the whole cell: scale the em so that ascent plus descent fill it.
    cairo_set_font_size(cr, 100.0);
    cairo_font_extents_t extents;
    cairo_font_extents(cr, &extents);
    const double cell = extents.ascent + extents.descent;
    cairo_set_font_size(cr, cell > 0 ? font.height * 100.0 / cell : kDefaultSize);
}

int32_t textWidth(cairo_t* cr, const char* text)
{
    cairo_text_extents_t extents;
    cairo_text_extents(cr, utf8(text).c_str(), &extents);
    return static_cast<int32_t>(std::lround(extents.x_advance));
}

CRect showText(cairo_t* cr, const char* text, const CRect& rect, TextAlign align)
{
    const Metrics m = metricsOf(cr);
    const int32_t width = textWidth(cr, text);
    int32_t left = rect.left;
    if (align == TextAlign::center)
        left = rect.left + (rect.width() - width) / 2;
    else if (align == TextAlign::right)
        left = rect.right - width;
    const int32_t top = rect.top + (rect.height() - m.height) / 2;
    cairo_move_to(cr, left, top + m.ascent);
    cairo_show_text(cr, utf8(text).c_str());
    return CRect(left, top, left + width, top + m.height);
}

} // namespace x11

void drawText(Device device, const char* text, const CRect& rect, TextAlign align)
{
    cairo_t* cr = x11::createContext(*device);
    cairo_rectangle(cr, rect.left, rect.top, rect.width(), rect.height());
    cairo_clip(cr);
    x11::selectFont(cr, device->font->description);
    if (!device->transparentBackground)
    {
        // The opaque cell first, then the glyphs over it.
        cairo_push_group(cr);
        x11::setSourceColor(cr, device->textColor);
        const CRect cell = x11::showText(cr, text, rect, align);
        cairo_pattern_t* glyphs = cairo_pop_group(cr);
        x11::setSourceColor(cr, device->backgroundColor);
        cairo_rectangle(cr, cell.left, cell.top, cell.width(), cell.height());
        cairo_fill(cr);
        cairo_set_source(cr, glyphs);
        cairo_paint(cr);
        cairo_pattern_destroy(glyphs);
    }
    else
    {
        x11::setSourceColor(cr, device->textColor);
        x11::showText(cr, text, rect, align);
    }
    cairo_destroy(cr);
    x11::touch(*device, rect);
}

int32_t getTextWidth(Device device, const char* text)
{
    cairo_t* cr = x11::createContext(*device);
    x11::selectFont(cr, device->font->description);
    const int32_t width = x11::textWidth(cr, text);
    cairo_destroy(cr);
    return width;
}

} // namespace platform
} // namespace VSTGUI
