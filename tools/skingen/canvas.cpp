#include "canvas.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace skingen
{

namespace
{

int toPixels(double units, double scale)
{
    return static_cast<int>(std::ceil(units * scale - 1e-9));
}

Surface pixelSurface(int width, int height, double scale, cairo_format_t format)
{
    Surface surface(cairo_image_surface_create(format, width, height));
    cairo_surface_set_device_scale(surface.get(), scale, scale);
    return surface;
}

} // namespace

Surface makeSurface(int width, int height, double scale, cairo_format_t format)
{
    return pixelSurface(toPixels(width, scale), toPixels(height, scale), scale, format);
}

double surfaceScale(cairo_surface_t* surface)
{
    double x = 1.0;
    double y = 1.0;
    cairo_surface_get_device_scale(surface, &x, &y);
    return x;
}

Context makeContext(cairo_surface_t* surface)
{
    Context cr(cairo_create(surface));
    cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_GRAY);
    return cr;
}

void setColour(cairo_t* cr, Rgb c, double alpha)
{
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

Rgb mix(Rgb a, Rgb b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

namespace
{

const char* fontFile(Font font)
{
    switch (font)
    {
    case Font::Regular:
        return "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
    case Font::Bold:
        return "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf";
    case Font::BoldItalic:
        return "/usr/share/fonts/truetype/liberation/LiberationSans-BoldItalic.ttf";
    }
    return nullptr;
}

// Loaded once and kept until exit: cairo's font cache may still refer to the faces after
// the last picture is drawn, so they are never unloaded.
cairo_font_face_t* fontFace(Font font)
{
    static FT_Library library = nullptr;
    static cairo_font_face_t* faces[3] = {};
    const int index = static_cast<int>(font);
    if (faces[index])
        return faces[index];
    FT_Face face = nullptr;
    if ((!library && FT_Init_FreeType(&library) != 0) ||
        FT_New_Face(library, fontFile(font), 0, &face) != 0)
    {
        std::fprintf(stderr, "skingen: cannot load %s (install fonts-liberation)\n",
                     fontFile(font));
        std::exit(1);
    }
    faces[index] = cairo_ft_font_face_create_for_ft_face(face, 0);
    return faces[index];
}

} // namespace

void selectFont(cairo_t* cr, Font font, double size)
{
    cairo_set_font_face(cr, fontFace(font));
    cairo_set_font_size(cr, size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

double textWidth(cairo_t* cr, const char* text, double spacing)
{
    const std::size_t length = std::strlen(text);
    double width = 0.0;
    for (std::size_t i = 0; i < length; ++i)
    {
        const char glyph[2] = {text[i], 0};
        cairo_text_extents_t extents;
        cairo_text_extents(cr, glyph, &extents);
        width += extents.x_advance + (i + 1 < length ? spacing : 0.0);
    }
    return width;
}

void textPath(cairo_t* cr, const char* text, double x, double baseline, Align align, double spacing)
{
    const double width = textWidth(cr, text, spacing);
    if (align == Align::Centre)
        x -= width * 0.5;
    else if (align == Align::Right)
        x -= width;
    for (const char* c = text; *c; ++c)
    {
        const char glyph[2] = {*c, 0};
        cairo_text_extents_t extents;
        cairo_text_extents(cr, glyph, &extents);
        cairo_move_to(cr, x, baseline);
        cairo_text_path(cr, glyph);
        x += extents.x_advance + spacing;
    }
}

void engravedText(cairo_t* cr, const char* text, double x, double baseline, Align align,
                  double spacing, Rgb colour)
{
    cairo_new_path(cr);
    textPath(cr, text, x, baseline + 1.0, align, spacing);
    cairo_set_source_rgba(cr, 0.0, 0.0, 0.0, 0.55);
    cairo_fill(cr);
    textPath(cr, text, x, baseline, align, spacing);
    setColour(cr, colour);
    cairo_fill(cr);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double radius)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -kPi / 2, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, kPi / 2);
    cairo_arc(cr, x + radius, y + h - radius, radius, kPi / 2, kPi);
    cairo_arc(cr, x + radius, y + radius, radius, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

namespace
{

// One box pass along a line of n samples spaced by step, edges clamped.
void boxPass(std::vector<int>& values, int start, int n, int step, int radius)
{
    std::vector<int> line(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        line[static_cast<std::size_t>(i)] = values[static_cast<std::size_t>(start + i * step)];
    const int window = 2 * radius + 1;
    for (int i = 0; i < n; ++i)
    {
        int sum = 0;
        for (int k = -radius; k <= radius; ++k)
            sum += line[static_cast<std::size_t>(std::clamp(i + k, 0, n - 1))];
        values[static_cast<std::size_t>(start + i * step)] = (sum + window / 2) / window;
    }
}

} // namespace

Surface blurred(cairo_surface_t* mask, int radius)
{
    cairo_surface_flush(mask);
    const int width = cairo_image_surface_get_width(mask);
    const int height = cairo_image_surface_get_height(mask);
    const int stride = cairo_image_surface_get_stride(mask);
    const unsigned char* source = cairo_image_surface_get_data(mask);
    std::vector<int> values(static_cast<std::size_t>(width * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            values[static_cast<std::size_t>(y * width + x)] = source[y * stride + x];
    const double scale = surfaceScale(mask);
    const int passRadius = std::max(1, static_cast<int>(std::lround(radius * scale)) / 2);
    for (int pass = 0; pass < 3; ++pass)
    {
        for (int y = 0; y < height; ++y)
            boxPass(values, y * width, width, 1, passRadius);
        for (int x = 0; x < width; ++x)
            boxPass(values, x, height, width, passRadius);
    }
    Surface result = pixelSurface(width, height, scale, CAIRO_FORMAT_A8);
    unsigned char* target = cairo_image_surface_get_data(result.get());
    const int targetStride = cairo_image_surface_get_stride(result.get());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            target[y * targetStride + x] =
                static_cast<unsigned char>(values[static_cast<std::size_t>(y * width + x)]);
    cairo_surface_mark_dirty(result.get());
    return result;
}

double Random::next()
{
    // xorshift32: tiny, and identical on every platform.
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return (state_ >> 8) / 16777216.0;
}

void brushedMetal(cairo_t* cr, double x, double y, double w, double h, Rgb top, Rgb bottom,
                  double grain, std::uint32_t seed)
{
    // The texture starts on a whole pixel, so that its grain is never resampled.
    const double scale = surfaceScale(cairo_get_target(cr));
    const double pixelLeft = std::floor(x * scale);
    const double pixelTop = std::floor(y * scale);
    const int width = toPixels(x + w, scale) - static_cast<int>(pixelLeft);
    const int height = toPixels(y + h, scale) - static_cast<int>(pixelTop);
    Surface texture = pixelSurface(width, height, scale, CAIRO_FORMAT_RGB24);
    unsigned char* data = cairo_image_surface_get_data(texture.get());
    const int stride = cairo_image_surface_get_stride(texture.get());
    Random random(seed);
    const int streak = static_cast<int>(std::lround(24 * scale));
    std::vector<double> noise(static_cast<std::size_t>(width + 2 * streak));
    for (int row = 0; row < height; ++row)
    {
        const Rgb base = mix(top, bottom, height > 1 ? row / double(height - 1) : 0.0);
        const double rowShade = random.next() - 0.5;
        for (double& n : noise)
            n = random.next() - 0.5;
        // A running mean along the row turns white noise into long brushing streaks.
        double sum = 0.0;
        for (int k = 0; k < 2 * streak - 1; ++k)
            sum += noise[static_cast<std::size_t>(k)];
        auto* pixels = reinterpret_cast<std::uint32_t*>(data + row * stride);
        for (int col = 0; col < width; ++col)
        {
            sum += noise[static_cast<std::size_t>(col + 2 * streak - 1)];
            const double streaks = sum / (2 * streak) * std::sqrt(12.0 * 2 * streak);
            const double fine = noise[static_cast<std::size_t>(col + streak)];
            const double shade = grain * (0.45 * rowShade + 0.35 * streaks * 0.5 + 0.2 * fine);
            auto channel = [shade](double v)
            { return static_cast<std::uint32_t>(std::clamp(v + shade, 0.0, 1.0) * 255.0 + 0.5); };
            pixels[col] = (channel(base.r) << 16) | (channel(base.g) << 8) | channel(base.b);
            sum -= noise[static_cast<std::size_t>(col)];
        }
    }
    cairo_surface_mark_dirty(texture.get());
    cairo_set_source_surface(cr, texture.get(), pixelLeft / scale, pixelTop / scale);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
}

} // namespace skingen
