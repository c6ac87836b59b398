// A captured picture and the files it is saved to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RgbImage
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // top row first, three bytes a pixel, no padding
};

// Saves as PNG when the name ends in ".png", else as a 24-bit BMP; replaces the file only when
// complete. Throws ToolError(kExitOutputFailed) on failure.
void saveImage(const std::string& path, const RgbImage& image);
