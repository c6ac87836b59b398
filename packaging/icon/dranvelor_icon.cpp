// Makes the program's icon from a frame of a knob's film strip: PNG files of given sizes for the
// desktop, and a Windows .ico holding PNG images. Each size is resampled from the strip whose
// frames are the smallest at least that large (else the largest), so no size is blown up more
// than it must be.
//
// dranvelor_icon --frames COUNT --frame INDEX --strip FILE [--strip FILE]... [--png SIZE FILE]...
//                [--ico FILE SIZE,SIZE...]
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

Image readPng(const std::string& path)
{
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str()))
        throw std::runtime_error(path + ": " + png.message);
    png.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> bytes(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, bytes.data(), 0, nullptr))
        throw std::runtime_error(path + ": " + png.message);
    Image image;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.rgba.resize(bytes.size());
    for (std::size_t pixel = 0; pixel < bytes.size(); pixel += 4)
    {
        const float alpha = static_cast<float>(bytes[pixel + 3]) / 255.0f;
        for (std::size_t channel = 0; channel < 3; ++channel)
            image.rgba[pixel + channel] =
                static_cast<float>(bytes[pixel + channel]) / 255.0f * alpha;
        image.rgba[pixel + 3] = alpha;
    }
    return image;
}

Image frameOf(const Image& strip, int frames, int frame)
{
    if (frames < 1 || strip.height % frames != 0 || frame < 0 || frame >= frames)
        throw std::runtime_error("a strip of " + std::to_string(strip.height) +
                                 " rows has no frame " + std::to_string(frame) + " of " +
                                 std::to_string(frames));
    Image image;
    image.width = strip.width;
    image.height = strip.height / frames;
    const std::size_t size = static_cast<std::size_t>(image.width) * image.height * 4;
    const auto first = strip.rgba.begin() + static_cast<std::ptrdiff_t>(size * frame);
    image.rgba.assign(first, first + static_cast<std::ptrdiff_t>(size));
    return image;
}

// One axis of a tent filter as wide as a source or a target pixel, whichever is wider: an
// average when shrinking, a linear interpolation when enlarging.
std::vector<std::vector<std::pair<int, float>>> weights(int from, int to)
{
    const double scale = static_cast<double>(to) / from;
    const double radius = std::max(1.0, 1.0 / scale);
    std::vector<std::vector<std::pair<int, float>>> taps(static_cast<std::size_t>(to));
    for (int target = 0; target < to; ++target)
    {
        const double centre = (target + 0.5) / scale - 0.5;
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

Image resize(const Image& image, int size)
{
    const auto across = weights(image.width, size);
    const auto down = weights(image.height, size);
    Image rows; // resized across, full height
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

class IconMaker
{
public:
    IconMaker(const std::vector<std::string>& strips, int frames, int frame)
    {
        for (const auto& path : strips)
            sources.push_back(frameOf(readPng(path), frames, frame));
        if (sources.empty())
            throw std::runtime_error("no --strip given");
        std::sort(sources.begin(), sources.end(),
                  [](const Image& a, const Image& b) { return a.width < b.width; });
    }

    std::vector<std::uint8_t> png(int size) const
    {
        const auto source =
            std::find_if(sources.begin(), sources.end(),
                         [size](const Image& image) { return image.width >= size; });
        return encodePng(resize(source != sources.end() ? *source : sources.back(), size));
    }

private:
    std::vector<Image> sources;
};

void run(const std::vector<std::string>& arguments)
{
    std::vector<std::string> strips;
    std::vector<std::pair<int, std::string>> pngs;
    std::vector<std::pair<std::string, std::string>> icos;
    int frames = 1;
    int frame = 0;
    for (std::size_t index = 0; index < arguments.size(); ++index)
    {
        const std::string& option = arguments[index];
        const std::size_t values = option == "--png" || option == "--ico" ? 2 : 1;
        if (option != "--frames" && option != "--frame" && option != "--strip" && values == 1)
            throw std::runtime_error("unknown argument '" + option + "'");
        if (index + values >= arguments.size())
            throw std::runtime_error(option + " needs " + std::to_string(values) + " value(s)");
        const std::string& first = arguments[index + 1];
        const std::string& second = arguments[index + values];
        index += values;
        if (option == "--frames")
            frames = numberFrom(first, 1, 1 << 16, "--frames");
        else if (option == "--frame")
            frame = numberFrom(first, 0, (1 << 16) - 1, "--frame");
        else if (option == "--strip")
            strips.push_back(first);
        else if (option == "--png")
            pngs.emplace_back(sizeFrom(first), second);
        else
            icos.emplace_back(first, second);
    }
    const IconMaker maker(strips, frames, frame);
    for (const auto& [size, path] : pngs)
        writeFile(path, maker.png(size));
    for (const auto& [path, sizes] : icos)
    {
        std::vector<std::pair<int, std::vector<std::uint8_t>>> images;
        std::istringstream list(sizes);
        for (std::string size; std::getline(list, size, ',');)
            images.emplace_back(sizeFrom(size), maker.png(sizeFrom(size)));
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
