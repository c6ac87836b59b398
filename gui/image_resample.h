// Resampling of premultiplied 32-bit pictures, for images drawn at a scale they were not made for.
#pragma once

#include <cstdint>
#include <vector>

namespace VSTGUI
{

// A picture of width x height 0xAARRGGBB words, top row first, resampled to targetWidth x
// targetHeight with a tent filter: bilinear when it grows, and averaging over each target pixel's
// footprint when it shrinks. Edge pixels repeat outwards, so nothing from beyond the picture
// (a neighbouring film-strip frame) bleeds in. Empty when a size is not positive.
std::vector<uint32_t> resamplePixels(const uint32_t* pixels, int32_t width, int32_t height,
                                     int32_t targetWidth, int32_t targetHeight);

} // namespace VSTGUI
