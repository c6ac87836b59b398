#include "gui/png_decode.h"

#include <png.h>

#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

namespace VSTGUI
{

namespace
{

using Piece = PngBands::Piece;

// Bytes served from a sequence of pieces, so that a band reads as a PNG of its own.
struct MemoryReader
{
    Piece pieces[6] = {};
    std::size_t count = 0;
    std::size_t piece = 0;
    std::size_t position = 0;
};

// A read beyond the end is a truncated file: reported to libpng as an error, so that it never
// decodes from bytes it was not given.
void readFromMemory(png_structp png, png_bytep out, png_size_t count)
{
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    while (count > 0)
    {
        if (reader->piece == reader->count)
            png_error(png, "truncated PNG data");
        const Piece& piece = reader->pieces[reader->piece];
        const std::size_t n = std::min(count, piece.size - reader->position);
        if (n > 0) // an empty piece may have no bytes at all
            std::memcpy(out, piece.data + reader->position, n);
        out += n;
        count -= n;
        reader->position += n;
        if (reader->position == piece.size)
        {
            ++reader->piece;
            reader->position = 0;
        }
    }
}

// Premultiplied by >> 8, not / 255: opaque 255 becomes 254, as the stored images expect, and
// alpha 0 clears the pixel. Pixels are little-endian words 0xAARRGGBB. Done row by row while the
// row is in the cache, blue and red in one multiplication (each product fits in its 16 bits).
void premultiply(uint8_t* row, png_uint_32 count)
{
    for (png_uint_32 i = 0; i < count; ++i)
    {
        uint32_t pixel;
        std::memcpy(&pixel, row + 4 * i, 4);
        const uint32_t alpha = pixel >> 24;
        const uint32_t blueRed = ((pixel & 0x00FF00FFu) * alpha >> 8) & 0x00FF00FFu;
        const uint32_t green = ((pixel >> 8 & 0xFFu) * alpha) & 0xFF00u;
        pixel = alpha << 24 | blueRed | green;
        std::memcpy(row + 4 * i, &pixel, 4);
    }
}

// Reads the header and sets up the transformations to blue, green, red, alpha; answers the
// number of interlace passes.
int prepare(png_structp png, png_infop info)
{
    png_read_info(png, info);
    const int colorType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    else
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    if (bitDepth == 16)
    {
        png_set_swap(png);
        png_set_strip_16(png);
    }
    // Palette entries are RGB too: without the swap their red and blue would trade places.
    if (colorType == PNG_COLOR_TYPE_RGB || colorType == PNG_COLOR_TYPE_RGB_ALPHA ||
        colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_bgr(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<std::size_t>(png_get_image_width(png, info)) * 4)
        png_error(png, "unexpected row layout");
    return passes;
}

// Rows go straight into the image: picture row y at top + y * step.
void readRows(png_structp png, int passes, uint8_t* top, std::ptrdiff_t step, png_uint_32 width,
              png_uint_32 firstRow, png_uint_32 rows)
{
    for (int pass = 0; pass < passes; ++pass)
    {
        png_bytep row = top + step * static_cast<std::ptrdiff_t>(firstRow);
        for (png_uint_32 y = 0; y < rows; ++y, row += step)
        {
            png_read_rows(png, &row, nullptr, 1);
            if (pass == passes - 1)
                premultiply(row, width);
        }
    }
}

// Runs job(png, info) on fresh libpng structures over the reader's bytes; false when libpng
// failed, or the structures could not be made.
template <typename Job> bool withPng(MemoryReader& reader, bool trusted, Job job)
{
    // The installed libpng's own version: it refuses to run against any other.
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    bool ok = false;
    if (info)
    {
        png_set_read_fn(png, &reader, readFromMemory);
#ifdef PNG_IGNORE_ADLER32
        // The images come from the module itself; the chunks' CRCs are still checked.
        png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
        // A band is read through a header and chunks made up for it, whose CRCs mean nothing.
        if (trusted)
            png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
        ok = job(png, info);
    }
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return ok;
}

// The whole picture into out's image, made here when out has none (else the header must give
// its size). libpng errors jump back here (no object with a destructor lives in between).
bool readWhole(png_structp png, png_infop info, DecodedImage& out)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    const int passes = prepare(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (out.image && (static_cast<png_uint_32>(out.width) != width ||
                      static_cast<png_uint_32>(out.height) != height))
        return false;
    out.width = static_cast<int32_t>(width);
    out.height = static_cast<int32_t>(height);
    if (!out.image)
        out.image = platform::createImage32(out.width, out.height, nullptr);
    std::ptrdiff_t step = 0;
    uint8_t* top = out.image ? platform::imageRows(out.image, step) : nullptr;
    if (!top)
        return false;
    readRows(png, passes, top, step, width, 0, height);
    png_read_end(png, nullptr);
    return true;
}

// Decodes into decoded's image (or a new one) and hands the rows to the platform.
void decodeWhole(const uint8_t* data, std::size_t size, DecodedImage& decoded)
{
    MemoryReader reader{{{data, size}}, 1};
    withPng(reader, false,
            [&](png_structp png, png_infop info) { return readWhole(png, info, decoded); });
    if (decoded.image)
        platform::imageRowsWritten(decoded.image, 0, decoded.height);
}

uint32_t bigEndian(const uint8_t* p)
{
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

void putBigEndian(uint8_t* p, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

constexpr std::size_t kSignatureAndHeader = 8 + 25;

// One band, read as a PNG of its rows: the image's header with the band's height, one IDAT
// chunk with the band's data, after a zlib header of its own (but for the first band) and
// before an empty last block (but for the last band), so that libpng sees the stream end, then
// IEND.
bool readBand(const PngBands& bands, std::size_t index, uint8_t* top, std::ptrdiff_t step)
{
    const png_uint_32 firstRow = static_cast<png_uint_32>(index) * bands.rowsPerBand;
    const png_uint_32 rows = std::min(bands.rowsPerBand, bands.height - firstRow);
    uint8_t header[kSignatureAndHeader];
    std::memcpy(header, bands.data, sizeof header);
    putBigEndian(header + 20, rows);
    static const uint8_t zlibHeader[2] = {0x78, 0x01};
    // A final stored block of no bytes, and the stream's checksum, which is not checked.
    static const uint8_t lastBlock[9] = {0x01, 0x00, 0x00, 0xFF, 0xFF, 0, 0, 0, 0};
    const Piece& data = bands.idat[index];
    const std::size_t before = index > 0 ? sizeof zlibHeader : 0;
    const std::size_t after = index + 1 < bands.count() ? sizeof lastBlock : 0;
    uint8_t idat[8] = {0, 0, 0, 0, 'I', 'D', 'A', 'T'};
    putBigEndian(idat, static_cast<uint32_t>(before + data.size + after));
    static const uint8_t end[16] = {0, 0, 0, 0, 0, 0, 0, 0, 'I', 'E', 'N', 'D', 0, 0, 0, 0};
    MemoryReader reader{{{header, sizeof header},
                         {idat, sizeof idat},
                         {zlibHeader, before},
                         {data.data, data.size},
                         {lastBlock, after},
                         {end, sizeof end}},
                        6};
    return withPng(reader, true,
                   [&](png_structp png, png_infop info)
                   {
                       if (setjmp(png_jmpbuf(png)))
                           return false;
                       const int passes = prepare(png, info);
                       readRows(png, passes, top, step, bands.width, firstRow, rows);
                       return true;
                   });
}

// The bands shared out among the processor's cores, this thread being one of them.
bool readBands(const PngBands& bands, const std::vector<std::size_t>& indices, uint8_t* top,
               std::ptrdiff_t step)
{
    std::atomic<std::size_t> next{0};
    std::atomic<bool> ok{true};
    const auto work = [&]
    {
        for (std::size_t i; (i = next++) < indices.size();)
            if (!readBand(bands, indices[i], top, step))
                ok = false;
    };
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> helpers;
    try
    {
        while (helpers.size() + 1 < std::min(cores, indices.size()))
            helpers.emplace_back(work);
    }
    catch (const std::system_error&)
    {
        // Fewer threads: the others take the bands.
    }
    work();
    for (std::thread& helper : helpers)
        helper.join();
    return ok;
}

} // namespace

bool findPngBands(const uint8_t* data, std::size_t size, PngBands& bands)
{
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size < kSignatureAndHeader || std::memcmp(data, signature, 8) != 0 ||
        bigEndian(data + 8) != 13 || std::memcmp(data + 12, "IHDR", 4) != 0)
        return false;
    const uint8_t* header = data + 16;
    bands = PngBands{};
    bands.data = data;
    bands.size = size;
    bands.width = bigEndian(header);
    bands.height = bigEndian(header + 4);
    // 8-bit RGB or RGBA, not interlaced: no palette can matter, and a transparency chunk (which
    // the bands would leave out) sends the image to the one-pass decoding.
    if (bands.width == 0 || bands.height == 0 || bands.width > INT32_MAX ||
        bands.height > INT32_MAX || header[8] != 8 || (header[9] != 2 && header[9] != 6) ||
        header[12] != 0)
        return false;
    uint32_t count = 0;
    for (std::size_t at = kSignatureAndHeader; size - at >= 12;)
    {
        const std::size_t length = bigEndian(data + at);
        const uint8_t* type = data + at + 4;
        if (length > size - at - 12)
            return false;
        if (std::memcmp(type, "drBN", 4) == 0 && length == 8)
        {
            bands.rowsPerBand = bigEndian(data + at + 8);
            count = bigEndian(data + at + 12);
        }
        else if (std::memcmp(type, "IDAT", 4) == 0)
            bands.idat.push_back({data + at + 8, length});
        else if (std::memcmp(type, "tRNS", 4) == 0)
            return false;
        else if (std::memcmp(type, "IEND", 4) == 0)
            break;
        at += length + 12;
    }
    const uint64_t rows = uint64_t{bands.rowsPerBand} * count;
    return count > 1 && bands.count() == count && rows >= bands.height &&
           rows - bands.rowsPerBand < bands.height;
}

platform::Image createBandedImage(const PngBands& bands)
{
    return platform::createImage32(static_cast<int32_t>(bands.width),
                                   static_cast<int32_t>(bands.height), nullptr);
}

bool decodePngBands(const PngBands& bands, const std::vector<std::size_t>& indices,
                    platform::Image image)
{
    std::ptrdiff_t step = 0;
    uint8_t* top = platform::imageRows(image, step);
    if (top && readBands(bands, indices, top, step))
    {
        const auto [first, last] = std::minmax_element(indices.begin(), indices.end());
        if (first != indices.end())
            platform::imageRowsWritten(image, static_cast<int32_t>(*first * bands.rowsPerBand),
                                       static_cast<int32_t>(std::min<uint64_t>(
                                           uint64_t{*last + 1} * bands.rowsPerBand, bands.height)));
        return true;
    }
    DecodedImage whole{image, static_cast<int32_t>(bands.width),
                       static_cast<int32_t>(bands.height)};
    decodeWhole(bands.data, bands.size, whole);
    return false;
}

DecodedImage decodePngWhole(const uint8_t* data, std::size_t size)
{
    DecodedImage decoded;
    decodeWhole(data, size, decoded);
    return decoded;
}

} // namespace VSTGUI
