#include "png_writer.h"

#include <zlib.h>

#include <algorithm>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace skingen
{

namespace
{

struct FileCloser
{
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// The skin keeps colour premultiplied by alpha; PNG wants it straight.
unsigned char unpremultiply(std::uint32_t channel, std::uint32_t alpha)
{
    return static_cast<unsigned char>((channel * 255 + alpha / 2) / alpha);
}

bool toRows(const skin::Image& image, PngFormat format, std::vector<unsigned char>& bytes)
{
    const int width = image.width();
    const int height = image.height();
    const std::size_t channels = format == PngFormat::Rgb ? 3 : 4;
    bytes.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * channels);
    unsigned char* out = bytes.data();
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            const std::uint32_t pixel = image.at(x, y);
            const std::uint32_t alpha = pixel >> 24;
            const std::uint32_t rgb[3] = {(pixel >> 16) & 255, (pixel >> 8) & 255, pixel & 255};
            if (format == PngFormat::Rgb)
            {
                if (alpha != 255)
                    return false;
                for (std::uint32_t c : rgb)
                    *out++ = static_cast<unsigned char>(c);
                continue;
            }
            for (std::uint32_t c : rgb)
                *out++ = alpha == 0 ? 0 : unpremultiply(c, alpha);
            *out++ = static_cast<unsigned char>(alpha);
        }
    }
    return true;
}

// Rows of about this many bytes go into one band: enough bands for a window to decode a film
// strip on several cores, few enough that the breaks cost no compression to speak of.
constexpr std::size_t kBandBytes = 1 << 19;
constexpr std::uint32_t kMaxBands = 16;

void put32(std::vector<unsigned char>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

void writeChunk(std::FILE* file, const char* type, const std::vector<unsigned char>& data)
{
    std::vector<unsigned char> chunk;
    put32(chunk, static_cast<std::uint32_t>(data.size()));
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, chunk.data() + 4, static_cast<uInt>(chunk.size() - 4));
    put32(chunk, static_cast<std::uint32_t>(crc));
    std::fwrite(chunk.data(), 1, chunk.size(), file);
}

// Each band's deflate data ends in a full flush, which empties the dictionary: a band can be
// inflated on its own, from the start of its IDAT chunk. The whole is still one ordinary
// zlib stream.
bool compressBands(const std::vector<unsigned char>& filtered, std::size_t rowBytes,
                   std::uint32_t rowsPerBand, std::vector<std::vector<unsigned char>>& bands)
{
    z_stream z{};
    if (deflateInit(&z, 6) != Z_OK)
        return false;
    const std::size_t bandBytes = rowBytes * rowsPerBand;
    bool ok = true;
    for (std::size_t start = 0; ok && start < filtered.size(); start += bandBytes)
    {
        const std::size_t length = std::min(bandBytes, filtered.size() - start);
        const bool last = start + length == filtered.size();
        std::vector<unsigned char> band(deflateBound(&z, static_cast<uLong>(length)) + 64);
        z.next_in = const_cast<Bytef*>(filtered.data() + start);
        z.avail_in = static_cast<uInt>(length);
        z.next_out = band.data();
        z.avail_out = static_cast<uInt>(band.size());
        const int result = deflate(&z, last ? Z_FINISH : Z_FULL_FLUSH);
        ok = z.avail_in == 0 && (last ? result == Z_STREAM_END : result == Z_OK);
        band.resize(band.size() - z.avail_out);
        bands.push_back(std::move(band));
    }
    deflateEnd(&z);
    return ok;
}

} // namespace

bool writePng(const skin::Image& image, const std::string& path, PngFormat format)
{
    std::vector<unsigned char> bytes;
    if (!toRows(image, format, bytes))
    {
        std::fprintf(stderr, "skingen: %s has see-through pixels but is written without alpha\n",
                     path.c_str());
        return false;
    }
    const auto width = static_cast<std::uint32_t>(image.width());
    const auto height = static_cast<std::uint32_t>(image.height());
    const std::size_t rowBytes = width * (format == PngFormat::Rgb ? 3u : 4u);
    // Unfiltered rows (filter byte 0) decode fastest, which the window pays at its first
    // opening, and the 1x film strips come out smallest: deflate finds the previous frame
    // within its window.
    std::vector<unsigned char> filtered;
    filtered.reserve((rowBytes + 1) * height);
    for (std::uint32_t y = 0; y < height; ++y)
    {
        filtered.push_back(0);
        filtered.insert(filtered.end(), bytes.begin() + static_cast<long>(y * rowBytes),
                        bytes.begin() + static_cast<long>((y + 1) * rowBytes));
    }
    const std::uint32_t bandCount = std::clamp<std::uint32_t>(
        static_cast<std::uint32_t>(filtered.size() / kBandBytes), 1, kMaxBands);
    const std::uint32_t rowsPerBand = (height + bandCount - 1) / bandCount;
    std::vector<std::vector<unsigned char>> bands;
    if (!compressBands(filtered, rowBytes + 1, rowsPerBand, bands))
        return false;

    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return false;
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::fwrite(signature, 1, sizeof signature, file.get());
    std::vector<unsigned char> header;
    put32(header, width);
    put32(header, height);
    // 8 bits, colour type, deflate, adaptive filtering (every row says None), not interlaced.
    header.insert(header.end(),
                  {8, static_cast<unsigned char>(format == PngFormat::Rgb ? 2 : 6), 0, 0, 0});
    writeChunk(file.get(), "IHDR", header);
    // The bands: how many rows each holds (the last may hold fewer), one IDAT chunk each.
    std::vector<unsigned char> table;
    put32(table, rowsPerBand);
    put32(table, static_cast<std::uint32_t>(bands.size()));
    writeChunk(file.get(), "drBN", table);
    for (const std::vector<unsigned char>& band : bands)
        writeChunk(file.get(), "IDAT", band);
    writeChunk(file.get(), "IEND", {});
    return std::fflush(file.get()) == 0 && !std::ferror(file.get());
}

} // namespace skingen
