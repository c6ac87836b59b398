#include "gui/shared_images.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace VSTGUI
{
namespace sharedImages
{

namespace
{

struct Entry
{
    int32_t resourceId;
    const uint8_t* data; // the same id may name other bytes in the test platform
    std::size_t size;
    DecodedImage decoded;
    int32_t holders;
    PngBands bands;                // none for an image decoded at once
    std::vector<bool> bandDecoded; // by band
    std::size_t bandsLeft = 0;
};

// Built on first use, never at library load.
struct Cache
{
    std::mutex mutex;
    std::vector<Entry> entries;
    int32_t holders = 0;
};

Cache& cache()
{
    static Cache instance;
    return instance;
}

void freeUnheld(Cache& c)
{
    const auto unheld = [](const Entry& entry) { return entry.holders == 0; };
    for (const Entry& entry : c.entries)
        if (unheld(entry))
            platform::deleteImage(entry.decoded.image);
    c.entries.erase(std::remove_if(c.entries.begin(), c.entries.end(), unheld), c.entries.end());
}

} // namespace

DecodedImage acquire(int32_t resourceId, const uint8_t* data, std::size_t size)
{
    Cache& c = cache();
    const std::lock_guard<std::mutex> lock(c.mutex);
    for (Entry& entry : c.entries)
        if (entry.resourceId == resourceId && entry.data == data && entry.size == size)
        {
            ++entry.holders;
            ++c.holders;
            return entry.decoded;
        }
    // A new image means the windows show something else now (another scale): the images nobody
    // holds go before it comes, so that a set left behind does not stay.
    freeUnheld(c);
    Entry entry{resourceId, data, size, {}, 1, {}, {}, 0};
    if (findPngBands(data, size, entry.bands))
    {
        entry.decoded = {createBandedImage(entry.bands), static_cast<int32_t>(entry.bands.width),
                         static_cast<int32_t>(entry.bands.height)};
        entry.bandsLeft = entry.bands.count();
        entry.bandDecoded.assign(entry.bandsLeft, false);
    }
    else
    {
        // Decoded under the lock: a second window asking for the same image waits for this one.
        entry.decoded = decodePngWhole(data, size);
    }
    if (!entry.decoded.image)
        return entry.decoded;
    c.entries.push_back(std::move(entry));
    ++c.holders;
    return c.entries.back().decoded;
}

void prepareRows(platform::Image image, int32_t top, int32_t bottom)
{
    Cache& c = cache();
    const std::lock_guard<std::mutex> lock(c.mutex);
    const auto found = std::find_if(c.entries.begin(), c.entries.end(),
                                    [&](const Entry& e) { return e.decoded.image == image; });
    if (found == c.entries.end() || found->bandsLeft == 0 || top >= bottom)
        return;
    Entry& entry = *found;
    const std::size_t rows = entry.bands.rowsPerBand;
    const std::size_t first = static_cast<std::size_t>(std::max(top, 0)) / rows;
    const std::size_t last = std::min((static_cast<std::size_t>(std::max(bottom, 1)) - 1) / rows,
                                      entry.bands.count() - 1);
    std::vector<std::size_t> missing;
    for (std::size_t band = first; band <= last; ++band)
        if (!entry.bandDecoded[band])
            missing.push_back(band);
    if (missing.empty())
        return;
    // Under the lock: another window drawing the same rows waits for them. A band that fails
    // has had the whole picture decoded in one pass: nothing is left to do.
    if (decodePngBands(entry.bands, missing, image))
    {
        for (const std::size_t band : missing)
            entry.bandDecoded[band] = true;
        entry.bandsLeft -= missing.size();
    }
    else
    {
        entry.bandDecoded.assign(entry.bands.count(), true);
        entry.bandsLeft = 0;
    }
}

void release(platform::Image image)
{
    Cache& c = cache();
    const std::lock_guard<std::mutex> lock(c.mutex);
    for (Entry& entry : c.entries)
        if (entry.decoded.image == image && entry.holders > 0)
        {
            --entry.holders;
            --c.holders;
            break;
        }
    // An image nobody holds is kept while any other is held: a window that closes and opens
    // again, with the editor's background still held, decodes nothing.
    if (c.holders == 0)
        freeUnheld(c);
}

Usage usage()
{
    Cache& c = cache();
    const std::lock_guard<std::mutex> lock(c.mutex);
    Usage result;
    result.holders = c.holders;
    for (const Entry& entry : c.entries)
    {
        ++result.images;
        result.bands += entry.bands.count();
        result.decoded += entry.bands.count() - entry.bandsLeft;
        result.bytes += static_cast<std::size_t>(entry.decoded.width) *
                        static_cast<std::size_t>(entry.decoded.height) * 4;
    }
    return result;
}

} // namespace sharedImages
} // namespace VSTGUI
