// Source-over blending of 32-bit pixels (0xAARRGGBB words) with the arithmetic of the native
// blend: a constant alpha scales the source, and a premultiplied source covers the destination by
// its own alpha. Used where the native blend is missing and by the software platform.
#pragma once

#include <cstdint>

namespace VSTGUI
{

inline uint32_t scaleChannel(uint32_t value, uint32_t alpha)
{
    return (value * alpha + 127) / 255;
}

// perPixelAlpha: source is premultiplied and its alpha byte is used; otherwise only the constant
// alpha mixes source and destination.
inline uint32_t blendPixel(uint32_t destination, uint32_t source, uint32_t constantAlpha,
                           bool perPixelAlpha)
{
    uint32_t result = 0;
    if (perPixelAlpha)
    {
        const uint32_t coverage = scaleChannel(source >> 24, constantAlpha);
        for (int shift = 0; shift < 32; shift += 8)
        {
            const uint32_t s = scaleChannel((source >> shift) & 0xFF, constantAlpha);
            const uint32_t d = scaleChannel((destination >> shift) & 0xFF, 255 - coverage);
            const uint32_t sum = s + d;
            result |= (sum > 255 ? 255 : sum) << shift;
        }
    }
    else
    {
        for (int shift = 0; shift < 32; shift += 8)
        {
            const uint32_t s = (source >> shift) & 0xFF;
            const uint32_t d = (destination >> shift) & 0xFF;
            result |= ((s * constantAlpha + d * (255 - constantAlpha) + 127) / 255) << shift;
        }
    }
    return result;
}

} // namespace VSTGUI
