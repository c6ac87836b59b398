// PNG bytes decoded into a 32-bit image of the platform: blue, green, red, alpha premultiplied
// (by >> 8).
#pragma once

#include "gui/platform/draw.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace VSTGUI
{

struct DecodedImage
{
    platform::Image image = nullptr; // null when it could not be created
    int32_t width = 0;
    int32_t height = 0;
};

// The image of a PNG in one pass, which every PNG takes. A libpng error leaves the image with
// what was decoded so far; an image that could not be created is null, with the header's size
// when it was read.
DecodedImage decodePngWhole(const uint8_t* data, std::size_t size);

// The bands of an image written in them (the skin's: a private chunk drBN gives the rows per
// band and the band count, each band one IDAT chunk that starts where deflate emptied its
// dictionary), each of which decodes on its own.
struct PngBands
{
    struct Piece
    {
        const uint8_t* data;
        std::size_t size;
    };
    const uint8_t* data = nullptr; // the whole PNG
    std::size_t size = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t rowsPerBand = 0;
    std::vector<Piece> idat; // each band's deflate data

    std::size_t count() const { return idat.size(); }
};

// The band layout of the bytes, checked against them; false for a PNG without bands.
bool findPngBands(const uint8_t* data, std::size_t size, PngBands& bands);
// A 32-bit image of the bands' size, with no rows decoded yet (for decodePngBands).
platform::Image createBandedImage(const PngBands& bands);
// Decodes the listed bands into the image, on several threads when there are several, and
// hands their rows to the platform. When a band fails, the whole picture is decoded in one
// pass instead, which leaves what was decoded before any error; false then.
bool decodePngBands(const PngBands& bands, const std::vector<std::size_t>& indices,
                    platform::Image image);

} // namespace VSTGUI
