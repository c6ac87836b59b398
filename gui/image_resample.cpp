#include "gui/image_resample.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI
{

namespace
{

struct Tap
{
    int32_t index;
    float weight;
};

// For each target position, the source positions and weights that make it (weights sum to 1).
std::vector<std::vector<Tap>> tapsFor(int32_t source, int32_t target)
{
    const double ratio = static_cast<double>(source) / target;
    const double radius = std::max(1.0, ratio);
    std::vector<std::vector<Tap>> taps(static_cast<std::size_t>(target));
    for (int32_t t = 0; t < target; ++t)
    {
        const double centre = (t + 0.5) * ratio - 0.5;
        const auto first = static_cast<int32_t>(std::ceil(centre - radius));
        const auto last = static_cast<int32_t>(std::floor(centre + radius));
        double total = 0.0;
        std::vector<Tap>& row = taps[static_cast<std::size_t>(t)];
        for (int32_t s = first; s <= last; ++s)
        {
            const double weight = 1.0 - std::fabs(s - centre) / radius;
            if (weight <= 0.0)
                continue;
            row.push_back({std::clamp(s, 0, source - 1), static_cast<float>(weight)});
            total += weight;
        }
        for (Tap& tap : row)
            tap.weight = static_cast<float>(tap.weight / total);
    }
    return taps;
}

struct Channels
{
    float c[4] = {};

    void add(uint32_t pixel, float weight)
    {
        for (int i = 0; i < 4; ++i)
            c[i] += static_cast<float>((pixel >> (8 * i)) & 0xFF) * weight;
    }
    void add(const Channels& other, float weight)
    {
        for (int i = 0; i < 4; ++i)
            c[i] += other.c[i] * weight;
    }
    uint32_t pack() const
    {
        uint32_t pixel = 0;
        for (int i = 0; i < 4; ++i)
            pixel |= static_cast<uint32_t>(std::clamp(std::lround(c[i]), 0L, 255L)) << (8 * i);
        return pixel;
    }
};

} // namespace

std::vector<uint32_t> resamplePixels(const uint32_t* pixels, int32_t width, int32_t height,
                                     int32_t targetWidth, int32_t targetHeight)
{
    if (width <= 0 || height <= 0 || targetWidth <= 0 || targetHeight <= 0)
        return {};
    const auto columns = tapsFor(width, targetWidth);
    const auto rows = tapsFor(height, targetHeight);

    // Across first, then down.
    std::vector<Channels> across(static_cast<std::size_t>(height) * targetWidth);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < targetWidth; ++x)
        {
            Channels& out = across[static_cast<std::size_t>(y) * targetWidth + x];
            for (const Tap& tap : columns[static_cast<std::size_t>(x)])
                out.add(pixels[static_cast<std::size_t>(y) * width + tap.index], tap.weight);
        }
    std::vector<uint32_t> result(static_cast<std::size_t>(targetWidth) * targetHeight);
    for (int32_t y = 0; y < targetHeight; ++y)
        for (int32_t x = 0; x < targetWidth; ++x)
        {
            Channels out;
            for (const Tap& tap : rows[static_cast<std::size_t>(y)])
                out.add(across[static_cast<std::size_t>(tap.index) * targetWidth + x], tap.weight);
            result[static_cast<std::size_t>(y) * targetWidth + x] = out.pack();
        }
    return result;
}

} // namespace VSTGUI
