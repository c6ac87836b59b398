#pragma once

#include <cairo.h>

#include <string>

namespace skingen
{

enum class PngFormat
{
    Rgb,  // colour type 2: the surface must be opaque
    Rgba, // colour type 6, straight (not premultiplied) alpha
};

// Writes an ARGB32 or RGB24 image surface as an 8-bit, non-interlaced PNG without time or
// text chunks, so equal pixels give equal files. The rows are compressed in bands that can be
// inflated apart, one IDAT chunk each; the private chunk drBN before them gives the rows per
// band and the number of bands. Answers false when the file cannot be written or an Rgb
// picture has a see-through pixel.
bool writePng(cairo_surface_t* surface, const std::string& path, PngFormat format);

} // namespace skingen
