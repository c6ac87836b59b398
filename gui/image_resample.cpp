#include "gui/image_resample.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace VSTGUI
{

namespace
{

// The source positions and weights that make each target position, kept flat: every position
// has the same number of slots, unused ones weighing nothing.
struct Taps
{
    int32_t perPosition = 0;
    std::vector<int32_t> index;
    std::vector<float> weight;

    Taps(int32_t source, int32_t target)
    {
        const double ratio = static_cast<double>(source) / target;
        const double radius = std::max(1.0, ratio);
        perPosition = static_cast<int32_t>(std::ceil(radius)) * 2 + 1;
        index.assign(static_cast<std::size_t>(target) * perPosition, 0);
        weight.assign(index.size(), 0.0f);
        for (int32_t t = 0; t < target; ++t)
        {
            const double centre = (t + 0.5) * ratio - 0.5;
            const auto first = static_cast<int32_t>(std::ceil(centre - radius));
            const std::size_t slots = static_cast<std::size_t>(t) * perPosition;
            double total = 0.0;
            int32_t used = 0;
            for (int32_t s = first; s <= centre + radius && used < perPosition; ++s)
            {
                const double w = 1.0 - std::fabs(s - centre) / radius;
                if (w <= 0.0)
                    continue;
                index[slots + used] = std::clamp(s, 0, source - 1);
                weight[slots + used] = static_cast<float>(w);
                total += w;
                ++used;
            }
            for (int32_t i = 0; i < used; ++i)
                weight[slots + i] = static_cast<float>(weight[slots + i] / total);
        }
    }
};

} // namespace

void resamplePixels(const uint32_t* pixels, int32_t width, int32_t height, uint32_t* target,
                    int32_t targetWidth, int32_t targetHeight, std::ptrdiff_t targetStride)
{
    if (width <= 0 || height <= 0 || targetWidth <= 0 || targetHeight <= 0)
        return;
    const Taps columns(width, targetWidth);
    const Taps rows(height, targetHeight);
    // One row of the source weighed down the column, four channels a pixel.
    std::vector<float> down(static_cast<std::size_t>(width) * 4);
    for (int32_t y = 0; y < targetHeight; ++y)
    {
        std::fill(down.begin(), down.end(), 0.0f);
        for (int32_t r = 0; r < rows.perPosition; ++r)
        {
            const std::size_t slot = static_cast<std::size_t>(y) * rows.perPosition + r;
            const float w = rows.weight[slot];
            if (w == 0.0f)
                continue;
            const uint32_t* row = pixels + static_cast<std::ptrdiff_t>(rows.index[slot]) * width;
            for (int32_t x = 0; x < width; ++x)
                for (int c = 0; c < 4; ++c)
                    down[static_cast<std::size_t>(x) * 4 + c] +=
                        static_cast<float>((row[x] >> (8 * c)) & 0xFF) * w;
        }
        uint32_t* out = target + y * targetStride;
        for (int32_t x = 0; x < targetWidth; ++x)
        {
            float sum[4] = {};
            for (int32_t k = 0; k < columns.perPosition; ++k)
            {
                const std::size_t slot = static_cast<std::size_t>(x) * columns.perPosition + k;
                const float w = columns.weight[slot];
                for (int c = 0; c < 4; ++c)
                    sum[c] += down[static_cast<std::size_t>(columns.index[slot]) * 4 + c] * w;
            }
            uint32_t pixel = 0;
            for (int c = 0; c < 4; ++c)
                pixel |= static_cast<uint32_t>(std::clamp(std::lround(sum[c]), 0L, 255L))
                         << (8 * c);
            out[x] = pixel;
        }
    }
}

} // namespace VSTGUI
