#include "png_writer.h"

#include <csetjmp>

namespace gui_test
{

namespace
{

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

int channelsOf(int colorType)
{
    switch (colorType)
    {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_PALETTE:
        return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    default:
        return 4;
    }
}

} // namespace

std::vector<uint8_t> encodePng(int width, int height, int colorType, int bitDepth,
                               const std::vector<uint8_t>& samples, const PngChunks& chunks)
{
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, appendBytes, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
                 bitDepth, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!chunks.palette.empty())
        png_set_PLTE(png, info, chunks.palette.data(), static_cast<int>(chunks.palette.size()));
    if (chunks.transparent)
        png_set_tRNS(png, info, nullptr, 0, chunks.transparent);
    png_write_info(png, info);
    const std::size_t rowBytes =
        static_cast<std::size_t>(width * channelsOf(colorType) * bitDepth / 8);
    for (int y = 0; y < height; ++y)
        png_write_row(png, samples.data() + rowBytes * static_cast<std::size_t>(y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

} // namespace gui_test
