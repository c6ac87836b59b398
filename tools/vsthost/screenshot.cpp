#include "screenshot.h"

#include "output_file.h"
#include "tool_error.h"

#include <png.h>

#include <cctype>
#include <cstdio>

namespace
{

bool hasPngSuffix(const std::string& path)
{
    if (path.size() < 4)
    {
        return false;
    }
    std::string suffix = path.substr(path.size() - 4);
    for (char& c : suffix)
    {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return suffix == ".png";
}

void putLittleEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
    {
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

// BITMAPFILEHEADER and BITMAPINFOHEADER, then the rows bottom-up in BGR, each padded to 4 bytes.
bool writeBmp(const std::string& path, const RgbImage& image)
{
    const auto rowBytes = static_cast<std::uint32_t>((image.width * 3 + 3) & ~3);
    const std::uint32_t pixelBytes = rowBytes * static_cast<std::uint32_t>(image.height);
    std::vector<std::uint8_t> bytes = {'B', 'M'};
    putLittleEndian(bytes, 54 + pixelBytes, 4);
    putLittleEndian(bytes, 0, 4);
    putLittleEndian(bytes, 54, 4);
    putLittleEndian(bytes, 40, 4);
    putLittleEndian(bytes, static_cast<std::uint32_t>(image.width), 4);
    putLittleEndian(bytes, static_cast<std::uint32_t>(image.height), 4);
    putLittleEndian(bytes, 1, 2);
    putLittleEndian(bytes, 24, 2);
    putLittleEndian(bytes, 0, 4); // no compression
    putLittleEndian(bytes, pixelBytes, 4);
    putLittleEndian(bytes, 2835, 4); // 72 dots per inch
    putLittleEndian(bytes, 2835, 4);
    putLittleEndian(bytes, 0, 4);
    putLittleEndian(bytes, 0, 4);
    for (int y = image.height - 1; y >= 0; --y)
    {
        const std::uint8_t* row = &image.rgb[static_cast<std::size_t>(y * image.width * 3)];
        for (int x = 0; x < image.width; ++x)
        {
            bytes.insert(bytes.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
        }
        bytes.resize(bytes.size() + rowBytes - static_cast<std::uint32_t>(image.width * 3), 0);
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
    {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool writePng(const std::string& path, const RgbImage& image)
{
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    const int written =
        png_image_write_to_file(&png, path.c_str(), 0, image.rgb.data(), 0, nullptr);
    png_image_free(&png);
    return written != 0;
}

} // namespace

void saveImage(const std::string& path, const RgbImage& image)
{
    const std::string temporary = temporaryNameFor(path);
    const bool written =
        hasPngSuffix(path) ? writePng(temporary, image) : writeBmp(temporary, image);
    if (!written || !replaceFile(temporary, path))
    {
        std::remove(temporary.c_str());
        throw ToolError(kExitOutputFailed, "cannot write screenshot " + path);
    }
}
