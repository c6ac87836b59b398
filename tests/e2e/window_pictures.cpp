#include "window_pictures.h"

#include <png.h>

#include <cstdio>
#include <deque>
#include <stdexcept>
#include <utility>

namespace
{

Picture readSkinImage(const char* name)
{
    const std::string path = std::string(DRANVELOR_SKIN_DIR) + "/" + name;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Picture picture;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        throw std::runtime_error("cannot read " + path);
    image.format = PNG_FORMAT_RGBA;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr))
        throw std::runtime_error("cannot decode " + path);
    return picture;
}

} // namespace

unsigned Picture::pixel(int x, int y) const
{
    const unsigned char* p = &rgba[static_cast<size_t>((y * width + x) * 4)];
    return (unsigned{p[0]} << 16) | (unsigned{p[1]} << 8) | p[2];
}

bool hasSkin(const char* name)
{
    std::FILE* file = std::fopen((std::string(DRANVELOR_SKIN_DIR) + "/" + name).c_str(), "rb");
    if (file)
        std::fclose(file);
    return file != nullptr;
}

const Picture& skin(const char* name)
{
    // A deque: references handed out stay valid while more images are read.
    static std::deque<std::pair<std::string, Picture>> loaded;
    for (const auto& entry : loaded)
        if (entry.first == name)
            return entry.second;
    loaded.emplace_back(name, readSkinImage(name));
    return loaded.back().second;
}

unsigned onScreen(const Picture& picture, int x, int y, unsigned under)
{
    const unsigned char* s = &picture.rgba[static_cast<size_t>((y * picture.width + x) * 4)];
    unsigned result = 0;
    for (int c = 0; c < 3; ++c)
    {
        const int shift = 16 - 8 * c;
        const unsigned premultiplied = (s[c] * unsigned{s[3]}) >> 8;
        const unsigned below = (under >> shift) & 0xFF;
        result |= (premultiplied + (below * (255u - s[3]) + 127) / 255) << shift;
    }
    return result;
}

unsigned backgroundOnScreen(int x, int y)
{
    return onScreen(skin("background.png"), x, y, 0);
}

std::vector<unsigned> Capture::area(const Area& rect) const
{
    std::vector<unsigned> result;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            result.push_back(pixel(x, y));
    return result;
}

void Capture::save(const std::string& path) const
{
    std::vector<unsigned char> rgb;
    for (unsigned p : pixels)
        rgb.insert(rgb.end(), {static_cast<unsigned char>(p >> 16),
                               static_cast<unsigned char>(p >> 8), static_cast<unsigned char>(p)});
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(pixels.size() / static_cast<size_t>(width));
    image.format = PNG_FORMAT_RGB;
    png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr);
}

int pictureMismatches(const Capture& shown, const Area& area, const Picture& picture, int sx,
                      int sy)
{
    int mismatches = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (shown.pixel(x, y) !=
                onScreen(picture, sx + x - area.left, sy + y - area.top, backgroundOnScreen(x, y)))
                ++mismatches;
    return mismatches;
}

Area fieldOf(int knob)
{
    const int left = kKnobLefts[knob] + 14;
    return Area{left, 117, left + 43, 130};
}

int knobMismatches(const Capture& shown, int knob, const char* strip, int frame)
{
    const Area area{kKnobLefts[knob], kKnobTop, kKnobLefts[knob] + kKnobSize, kKnobTop + kKnobSize};
    return pictureMismatches(shown, area, skin(strip), 0, frame * kKnobSize);
}

std::vector<float> automated(const std::vector<std::string>& traffic, int index)
{
    std::vector<float> values;
    for (const std::string& line : traffic)
    {
        int i = -1;
        float value = 0;
        if (std::sscanf(line.c_str(), "automate %d %f", &i, &value) == 2 && i == index)
            values.push_back(value);
    }
    return values;
}
