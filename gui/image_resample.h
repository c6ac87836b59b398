// Resampling of premultiplied 32-bit pictures, for images drawn at a scale they were not made for.
#pragma once

#include <cstddef>
#include <cstdint>

namespace VSTGUI
{

// A picture of width x height 0xAARRGGBB words, top row first, resampled into target (rows of
// targetWidth words, targetStride words apart, negative for bottom-up memory) with a tent filter:
// bilinear when it grows, averaging over each target pixel's footprint when it shrinks. Edge
// pixels repeat outwards, so nothing from beyond the picture (a neighbouring film-strip frame)
// bleeds in. Does nothing when a size is not positive.
void resamplePixels(const uint32_t* pixels, int32_t width, int32_t height, uint32_t* target,
                    int32_t targetWidth, int32_t targetHeight, std::ptrdiff_t targetStride);

} // namespace VSTGUI
