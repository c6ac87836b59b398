// Makes the program's icon from a frame of the Drive knob: PNG files of given sizes for the
// desktop, and a Windows .ico holding PNG images. The skin draws the frame at each size its
// scales reach; a smaller size is drawn at the smallest scale and reduced, so none is enlarged.
//
// dranvelor_icon [--frame INDEX] [--png SIZE FILE]... [--ico FILE SIZE,SIZE...]
#include "skin/layout.h"
#include "skin/skin.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace
{

struct Image
{
    int width = 0;
    int height = 0;
    std::vector<float> rgba; // premultiplied by alpha, 0 to 1
};

// One axis of a tent filter two target pixels wide: each target pixel averages the source
// pixels under it with a share of its neighbours', which keeps reduced edges smooth.
std::vector<std::vector<std::pair<int, float>>> weights(int from, int to)
{
    const double radius = static_cast<double>(from) / to;
    std::vector<std::vector<std::pair<int, float>>> taps(static_cast<std::size_t>(to));
    for (int target = 0; target < to; ++target)
    {
        const double centre = (target + 0.5) * radius - 0.5;
        double total = 0.0;
        auto& list = taps[static_cast<std::size_t>(target)];
        for (int source = static_cast<int>(std::floor(centre - radius)); source <= centre + radius;
             ++source)
        {
            const double weight = 1.0 - std::abs(source - centre) / radius;
            if (weight <= 0.0)
                continue;
            list.emplace_back(std::clamp(source, 0, from - 1), static_cast<float>(weight));
            total += weight;
        }
        for (auto& tap : list)
            tap.second = static_cast<float>(tap.second / total);
    }
    return taps;
}

Image reduce(const Image& image, int size)
{
    const auto across = weights(image.width, size);
    const auto down = weights(image.height, size);
    Image rows; // reduced across, full height
    rows.width = size;
    rows.height = image.height;
    rows.rgba.assign(static_cast<std::size_t>(size) * image.height * 4, 0.0f);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < size; ++x)
            for (const auto& [source, weight] : across[static_cast<std::size_t>(x)])
                for (int channel = 0; channel < 4; ++channel)
                    rows.rgba[(static_cast<std::size_t>(y) * size + x) * 4 + channel] +=
                        weight *
                        image.rgba[(static_cast<std::size_t>(y) * image.width + source) * 4 +
                                   channel];
    Image result;
    result.width = size;
    result.height = size;
    result.rgba.assign(static_cast<std::size_t>(size) * size * 4, 0.0f);
    for (int y = 0; y < size; ++y)
        for (const auto& [source, weight] : down[static_cast<std::size_t>(y)])
            for (std::size_t value = 0; value < static_cast<std::size_t>(size) * 4; ++value)
                result.rgba[static_cast<std::size_t>(y) * size * 4 + value] +=
                    weight * rows.rgba[static_cast<std::size_t>(source) * size * 4 + value];
    return result;
}

// The Drive knob's frame, size x size pixels.
Image knobFrame(int frame, int size)
{
    const double scale = std::max(1.0, static_cast<double>(size) / skin::kKnobSize);
    const int side = skin::pixelsOf(skin::kKnobSize, scale);
    skin::Image drawn(side, side);
    skin::makePainter(skin::Picture::KnobDrive, scale)->drawFrame(frame, drawn.pixels());
    Image image;
    image.width = side;
    image.height = side;
    image.rgba.reserve(drawn.words().size() * 4);
    for (const std::uint32_t word : drawn.words())
        for (const int shift : {16, 8, 0, 24}) // 0xAARRGGBB to R, G, B, A
            image.rgba.push_back(static_cast<float>((word >> shift) & 0xffu) / 255.0f);
    return side == size ? image : reduce(image, size);
}

std::vector<std::uint8_t> encodePng(const Image& image)
{
    std::vector<std::uint8_t> pixels(image.rgba.size());
    for (std::size_t pixel = 0; pixel < pixels.size(); pixel += 4)
    {
        const float alpha = image.rgba[pixel + 3];
        for (std::size_t channel = 0; channel < 4; ++channel)
        {
            const float value =
                channel == 3 ? alpha : (alpha > 0.0f ? image.rgba[pixel + channel] / alpha : 0.0f);
            pixels[pixel + channel] =
                static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
        }
    }
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_get_memory_size(png, size, 0, pixels.data(), 0, nullptr))
        throw std::runtime_error(std::string("PNG encoding: ") + png.message);
    std::vector<std::uint8_t> bytes(size);
    if (!png_image_write_to_memory(&png, bytes.data(), &size, 0, pixels.data(), 0, nullptr))
        throw std::runtime_error(std::string("PNG encoding: ") + png.message);
    bytes.resize(size);
    return bytes;
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file.flush())
        throw std::runtime_error("cannot write " + path);
}

void putLittleEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value, int count)
{
    for (int byte = 0; byte < count; ++byte)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * byte)));
}

// An icon directory, then each image as PNG data; a width or height of 256 is written as 0.
std::vector<std::uint8_t>
encodeIco(const std::vector<std::pair<int, std::vector<std::uint8_t>>>& images)
{
    std::vector<std::uint8_t> bytes;
    putLittleEndian(bytes, 0, 2);
    putLittleEndian(bytes, 1, 2);
    putLittleEndian(bytes, static_cast<std::uint32_t>(images.size()), 2);
    std::size_t offset = 6 + 16 * images.size();
    for (const auto& [size, png] : images)
    {
        bytes.push_back(static_cast<std::uint8_t>(size & 0xff));
        bytes.push_back(static_cast<std::uint8_t>(size & 0xff));
        putLittleEndian(bytes, 0, 2); // no palette, reserved
        putLittleEndian(bytes, 1, 2); // planes
        putLittleEndian(bytes, 32, 2);
        putLittleEndian(bytes, static_cast<std::uint32_t>(png.size()), 4);
        putLittleEndian(bytes, static_cast<std::uint32_t>(offset), 4);
        offset += png.size();
    }
    for (const auto& image : images)
        bytes.insert(bytes.end(), image.second.begin(), image.second.end());
    return bytes;
}

int numberFrom(const std::string& text, int lowest, int highest, const std::string& what)
{
    std::size_t end = 0;
    int number = lowest - 1;
    try
    {
        number = std::stoi(text, &end);
    }
    catch (const std::logic_error&)
    {
    }
    if (end != text.size() || number < lowest || number > highest)
        throw std::runtime_error(what + " is " + std::to_string(lowest) + " to " +
                                 std::to_string(highest) + ", not '" + text + "'");
    return number;
}

int sizeFrom(const std::string& text)
{
    return numberFrom(text, 1, 256, "an icon size");
}

void run(const std::vector<std::string>& arguments)
{
    std::vector<std::pair<int, std::string>> pngs;
    std::vector<std::pair<std::string, std::string>> icos;
    int frame = 0;
    for (std::size_t index = 0; index < arguments.size(); ++index)
    {
        const std::string& option = arguments[index];
        const std::size_t values = option == "--png" || option == "--ico" ? 2 : 1;
        if (option != "--frame" && values == 1)
            throw std::runtime_error("unknown argument '" + option + "'");
        if (index + values >= arguments.size())
            throw std::runtime_error(option + " needs " + std::to_string(values) + " value(s)");
        const std::string& first = arguments[index + 1];
        const std::string& second = arguments[index + values];
        index += values;
        if (option == "--frame")
            frame = numberFrom(first, 0, skin::kKnobFrames - 1, "--frame");
        else if (option == "--png")
            pngs.emplace_back(sizeFrom(first), second);
        else
            icos.emplace_back(first, second);
    }
    for (const auto& [size, path] : pngs)
        writeFile(path, encodePng(knobFrame(frame, size)));
    for (const auto& [path, sizes] : icos)
    {
        std::vector<std::pair<int, std::vector<std::uint8_t>>> images;
        std::istringstream list(sizes);
        for (std::string size; std::getline(list, size, ',');)
            images.emplace_back(sizeFrom(size), encodePng(knobFrame(frame, sizeFrom(size))));
        writeFile(path, encodeIco(images));
    }
}

} // namespace

int main(int argc, char** argv)
{
    try
    {
        run(std::vector<std::string>(argv + 1, argv + argc));
        return 0;
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "dranvelor_icon: %s\n", error.what());
        return 1;
    }
}
