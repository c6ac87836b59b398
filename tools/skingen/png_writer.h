#pragma once

#include "skin/image.h"

#include <string>

namespace skingen
{

enum class PngFormat
{
    Rgb,  // colour type 2: the surface must be opaque
    Rgba, // colour type 6, straight (not premultiplied) alpha
};

// Writes a premultiplied image as an 8-bit, non-interlaced PNG without time or
// text chunks, so equal pixels give equal files. The rows are compressed in bands that can be
// inflated apart, one IDAT chunk each; the private chunk drBN before them gives the rows per
// band and the number of bands. Answers false when the file cannot be written or an Rgb
// picture has a see-through pixel.
bool writePng(const skin::Image& image, const std::string& path, PngFormat format);

} // namespace skingen
