#include "window_pictures.h"

#include "skin/skin.h"

#include <png.h>

#include <algorithm>
#include <cmath>
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

Picture drawnSkin(const char* base, double scale)
{
    const std::string name = std::string(base) + ".png";
    for (const skin::Picture picture : skin::kPictures)
    {
        // The resources' file names follow the pictures' order.
        static const char* const files[] = {"background.png", "knob_drive.png", "knob_tone.png",
                                            "knob_level.png", "bypass.png",     "about.png"};
        if (name != files[static_cast<int>(picture)])
            continue;
        const skin::Image image = skin::drawPicture(picture, scale);
        Picture drawn;
        drawn.width = image.width();
        drawn.height = image.height();
        drawn.premultiplied = true;
        for (const unsigned word : image.words())
            drawn.rgba.insert(drawn.rgba.end(), {static_cast<unsigned char>(word >> 16),
                                                 static_cast<unsigned char>(word >> 8),
                                                 static_cast<unsigned char>(word),
                                                 static_cast<unsigned char>(word >> 24)});
        return drawn;
    }
    throw std::runtime_error(std::string("no skin picture ") + base);
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

const Picture& skinImage(const char* name)
{
    // A deque: references handed out stay valid while more images are read.
    static std::deque<std::pair<std::string, Picture>> loaded;
    for (const auto& entry : loaded)
        if (entry.first == name)
            return entry.second;
    loaded.emplace_back(name, readSkinImage(name));
    return loaded.back().second;
}

const Picture& skinAt(const char* base, double scale)
{
    if (scale == 1.0)
        return skinImage((std::string(base) + ".png").c_str());
    static std::deque<std::pair<std::string, Picture>> drawn;
    const std::string key = std::string(base) + "@" + std::to_string(scale);
    for (const auto& entry : drawn)
        if (entry.first == key)
            return entry.second;
    drawn.emplace_back(key, drawnSkin(base, scale));
    return drawn.back().second;
}

unsigned onScreen(const Picture& picture, int x, int y, unsigned under)
{
    const unsigned char* s = &picture.rgba[static_cast<size_t>((y * picture.width + x) * 4)];
    unsigned result = 0;
    for (int c = 0; c < 3; ++c)
    {
        const int shift = 16 - 8 * c;
        const unsigned colour = picture.premultiplied ? s[c] : (s[c] * unsigned{s[3]}) >> 8;
        const unsigned below = (under >> shift) & 0xFF;
        result |= (colour + (below * (255u - s[3]) + 127) / 255) << shift;
    }
    return result;
}

unsigned backgroundOnScreen(int x, int y)
{
    return onScreen(skinImage("background.png"), x, y, 0);
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

namespace
{

double lumaOf(unsigned pixel)
{
    return 0.299 * (pixel >> 16 & 0xFF) + 0.587 * (pixel >> 8 & 0xFF) + 0.114 * (pixel & 0xFF);
}

} // namespace

Sharpness sharpnessOf(const Capture& shown, const Area& area)
{
    std::vector<double> steps;
    double ranges = 0.0;
    int blocks = 0;
    for (int y = area.top; y + 1 < area.bottom; ++y)
        for (int x = area.left; x + 1 < area.right; ++x)
        {
            const double here = lumaOf(shown.pixel(x, y));
            steps.push_back(std::fabs(lumaOf(shown.pixel(x + 1, y)) - here));
            steps.push_back(std::fabs(lumaOf(shown.pixel(x, y + 1)) - here));
            if ((x - area.left) % 2 == 0 && (y - area.top) % 2 == 0)
            {
                const double block[4] = {here, lumaOf(shown.pixel(x + 1, y)),
                                         lumaOf(shown.pixel(x, y + 1)),
                                         lumaOf(shown.pixel(x + 1, y + 1))};
                ranges += *std::max_element(block, block + 4) - *std::min_element(block, block + 4);
                ++blocks;
            }
        }
    Sharpness result;
    if (steps.empty())
        return result;
    const auto at = steps.begin() + static_cast<std::ptrdiff_t>(steps.size() * 999 / 1000);
    std::nth_element(steps.begin(), at, steps.end());
    result.edge = *at;
    result.detail = ranges / blocks;
    return result;
}

Capture stretched(const Capture& shown, int width, int height)
{
    const int sourceWidth = shown.width;
    const int sourceHeight = static_cast<int>(shown.pixels.size()) / sourceWidth;
    Capture result;
    result.width = width;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const double sx =
                std::clamp((x + 0.5) * sourceWidth / width - 0.5, 0.0, sourceWidth - 1.0);
            const double sy =
                std::clamp((y + 0.5) * sourceHeight / height - 0.5, 0.0, sourceHeight - 1.0);
            const int x0 = static_cast<int>(sx), y0 = static_cast<int>(sy);
            const int x1 = std::min(x0 + 1, sourceWidth - 1),
                      y1 = std::min(y0 + 1, sourceHeight - 1);
            const double fx = sx - x0, fy = sy - y0;
            unsigned pixel = 0;
            for (const int shift : {16, 8, 0})
            {
                const auto c = [&](int px, int py)
                { return double(shown.pixel(px, py) >> shift & 0xFF); };
                const double top = c(x0, y0) + (c(x1, y0) - c(x0, y0)) * fx;
                const double bottom = c(x0, y1) + (c(x1, y1) - c(x0, y1)) * fx;
                pixel |= static_cast<unsigned>(top + (bottom - top) * fy + 0.5) << shift;
            }
            result.pixels.push_back(pixel);
        }
    return result;
}

std::string sharpnessFault(const Capture& shown, double scale)
{
    Capture skin1x;
    skin1x.width = 630;
    for (int y = 0; y < 140; ++y)
        for (int x = 0; x < 630; ++x)
            skin1x.pixels.push_back(backgroundOnScreen(x, y));
    const int width = shown.width;
    const int height = static_cast<int>(shown.pixels.size()) / width;
    const Capture blurred = stretched(skin1x, width, height);
    const auto at = [scale](int units) { return static_cast<int>(units * scale + 0.5); };
    std::string fault;
    for (const Area& area : {Area{30, 30, 140, 110}, Area{480, 40, 625, 80}})
    {
        // Only what the capture holds of the area (a screen may show part of the window).
        const Area scaled{at(area.left), at(area.top), std::min(at(area.right), width),
                          std::min(at(area.bottom), height)};
        if (scaled.right - scaled.left < 16 || scaled.bottom - scaled.top < 16)
            continue;
        const Sharpness sharp = sharpnessOf(shown, scaled);
        const Sharpness reference = sharpnessOf(skin1x, area);
        const Sharpness stretchedSkin = sharpnessOf(blurred, scaled);
        const std::string figures = " (edge " + std::to_string(sharp.edge) + ", 1x " +
                                    std::to_string(reference.edge) + ", stretched " +
                                    std::to_string(stretchedSkin.edge) + "; detail " +
                                    std::to_string(sharp.detail) + ", stretched " +
                                    std::to_string(stretchedSkin.detail) + ")";
        if (sharp.edge < 0.8 * reference.edge || sharp.edge < 1.2 * stretchedSkin.edge ||
            sharp.detail < 1.15 * stretchedSkin.detail)
            fault += "not sharp at " + std::to_string(area.left) + "," + std::to_string(area.top) +
                     figures + "\n";
    }
    return fault;
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
    return pictureMismatches(shown, area, skinImage(strip), 0, frame * kKnobSize);
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
