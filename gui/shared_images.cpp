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

DecodedImage acquire(int32_t resourceId, const uint8_t* data, std::size_t size, Decoder decode)
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
    // Decoded under the lock: a second window asking for the same image waits for this one.
    const DecodedImage decoded = decode(data, size);
    if (!decoded.image)
        return decoded;
    c.entries.push_back({resourceId, data, size, decoded, 1});
    ++c.holders;
    return decoded;
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
        result.bytes += static_cast<std::size_t>(entry.decoded.width) *
                        static_cast<std::size_t>(entry.decoded.height) * 4;
    }
    return result;
}

} // namespace sharedImages
} // namespace VSTGUI
