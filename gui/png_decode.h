// PNG bytes decoded into a 32-bit image of the platform: blue, green, red, alpha premultiplied
// (by >> 8), the picture's top row in the last memory row.
#pragma once

#include "gui/shared_images.h"

#include <cstddef>
#include <cstdint>

namespace VSTGUI
{

// The image is finished for drawing (platform::finishImage32). A libpng error leaves the image
// with what was decoded so far; an image that could not be
// created is null, with the header's size when it was read. Images written in bands (the skin's:
// a private chunk drBN gives the rows per band and the band count, each band one IDAT chunk
// that starts where deflate emptied its dictionary) are decoded band by band on several
// threads; anything amiss with the bands falls back to decoding the whole in one pass.
DecodedImage decodePng(const uint8_t* data, std::size_t size);

// The two ways: in one pass, which every PNG takes, and in bands, false (with nothing made) when
// the bytes do not hold bands that decode.
DecodedImage decodePngWhole(const uint8_t* data, std::size_t size);
bool decodePngBands(const uint8_t* data, std::size_t size, DecodedImage& decoded);

} // namespace VSTGUI
