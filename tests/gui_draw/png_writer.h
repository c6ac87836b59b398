// Encodes small test pictures as PNG bytes.
#pragma once

#include <png.h>

#include <cstdint>
#include <vector>

namespace gui_test
{

struct PngChunks
{
    std::vector<png_color> palette;            // PLTE, for palette pictures
    const png_color_16* transparent = nullptr; // tRNS colour key of an RGB or grey picture
};

// colorType as PNG_COLOR_TYPE_*, samples top row first with channels interleaved.
std::vector<uint8_t> encodePng(int width, int height, int colorType, int bitDepth,
                               const std::vector<uint8_t>& samples, const PngChunks& chunks = {});

} // namespace gui_test
