// The pixels the skin draws into: 32-bit words 0xAARRGGBB with colour premultiplied by alpha,
// as the toolkit's images hold them.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace skin
{

// Pixels of a picture's size at a scale: rounded up, so that the whole picture fits.
inline int pixelsOf(double units, double scale)
{
    return static_cast<int>(std::ceil(units * scale - 1e-9));
}

// Rows of words someone else owns: row y starts at top + y * stride (words; negative for memory
// that runs bottom-up).
struct Pixels
{
    uint32_t* top = nullptr;
    std::ptrdiff_t stride = 0;
    int width = 0;
    int height = 0;

    uint32_t* row(int y) const { return top + y * stride; }
};

// 8-bit coverage, row by row.
struct Mask
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> values;

    uint8_t at(int x, int y) const
    {
        return values[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// Words of its own, top row first, cleared to transparent.
class Image
{
public:
    Image() = default;
    Image(int width, int height)
        : width_(width), height_(height),
          words_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u)
    {
    }

    int width() const { return width_; }
    int height() const { return height_; }
    Pixels pixels() { return {words_.data(), width_, width_, height_}; }
    uint32_t at(int x, int y) const
    {
        return words_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                      static_cast<std::size_t>(x)];
    }
    const std::vector<uint32_t>& words() const { return words_; }
    Mask alpha() const
    {
        Mask mask{width_, height_, std::vector<uint8_t>(words_.size())};
        for (std::size_t i = 0; i < words_.size(); ++i)
            mask.values[i] = static_cast<uint8_t>(words_[i] >> 24);
        return mask;
    }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> words_;
};

} // namespace skin
