#include "gui/shared_images.h"

#include "gui/scale.h"
#include "skin/skin.h"

#include <algorithm>
#include <memory>
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

struct Drawn
{
    int32_t resourceId;
    double scale;
    skin::Picture picture;
    std::unique_ptr<skin::Painter> painter; // made with the first frame
    std::vector<platform::Image> frames;    // null until drawn
    int32_t holders = 0;

    Drawn(int32_t id, double s, skin::Picture p)
        : resourceId(id), scale(s), picture(p),
          frames(static_cast<std::size_t>(skin::shapeOf(p).frames), nullptr)
    {
    }
    Drawn(const Drawn&) = delete;
    Drawn& operator=(const Drawn&) = delete;
    ~Drawn()
    {
        for (const platform::Image frame : frames)
            if (frame)
                platform::deleteImage(frame);
    }
};

// Built on first use, never at library load.
struct Cache
{
    std::mutex mutex;
    std::vector<Entry> entries;
    std::vector<std::unique_ptr<Drawn>> drawn; // by address: handles point at them
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
    c.drawn.erase(std::remove_if(c.drawn.begin(), c.drawn.end(),
                                 [](const std::unique_ptr<Drawn>& d) { return d->holders == 0; }),
                  c.drawn.end());
}

// The frame's pixels, drawn by the skin into a new image.
platform::Image drawFrame(Drawn& drawn, int32_t frame)
{
    const skin::Shape shape = skin::shapeOf(drawn.picture);
    const int width = skin::pixelsOf(shape.width, drawn.scale);
    const int height = skin::pixelsOf(shape.height, drawn.scale);
    uint8_t* bytes = nullptr;
    const platform::Image image = platform::createImage32(width, height, &bytes);
    if (!image)
        return nullptr;
    if (!drawn.painter)
        drawn.painter = skin::makePainter(drawn.picture, drawn.scale);
    // The image's memory runs bottom-up: its top row is the last.
    auto* words = reinterpret_cast<uint32_t*>(bytes);
    std::fill(words, words + static_cast<std::ptrdiff_t>(width) * height, 0u);
    const skin::Pixels pixels{words + static_cast<std::ptrdiff_t>(height - 1) * width, -width,
                              width, height};
    skin::drawFrameOnThreads(*drawn.painter, frame, pixels);
    return image;
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

DrawnPicture acquireDrawn(int32_t resourceId, double scale)
{
    skin::Picture picture;
    if (!skin::pictureOfResource(resourceId, picture))
        return {};
    const skin::Shape shape = skin::shapeOf(picture);
    Cache& c = cache();
    const std::lock_guard<std::mutex> lock(c.mutex);
    Drawn* found = nullptr;
    for (const std::unique_ptr<Drawn>& d : c.drawn)
        if (d->resourceId == resourceId && sameScale(d->scale, scale))
            found = d.get();
    if (!found)
    {
        // As for decoded images: what nobody holds belongs to another scale now.
        freeUnheld(c);
        c.drawn.push_back(std::make_unique<Drawn>(resourceId, scale, picture));
        found = c.drawn.back().get();
    }
    ++found->holders;
    ++c.holders;
    return {found, shape.width, shape.height, shape.frames};
}

platform::Image drawnFrame(const void* handle, int32_t frame)
{
    Cache& c = cache();
    // Drawn under the lock: a second window showing the same frame waits for it.
    const std::lock_guard<std::mutex> lock(c.mutex);
    for (const std::unique_ptr<Drawn>& d : c.drawn)
        if (d.get() == handle)
        {
            if (frame < 0 || frame >= static_cast<int32_t>(d->frames.size()))
                return nullptr;
            platform::Image& image = d->frames[static_cast<std::size_t>(frame)];
            if (!image)
                image = drawFrame(*d, frame);
            return image;
        }
    return nullptr;
}

namespace
{

// An image nobody holds is kept while any other is held: a window that closes and opens
// again, with the editor's background still held, decodes and draws nothing.
void letGo(Cache& c, int32_t& holders)
{
    if (holders == 0)
        return;
    --holders;
    --c.holders;
    if (c.holders == 0)
        freeUnheld(c);
}

} // namespace

void releaseDrawn(const void* handle)
{
    Cache& c = cache();
    const std::lock_guard<std::mutex> lock(c.mutex);
    for (const std::unique_ptr<Drawn>& d : c.drawn)
        if (d.get() == handle)
        {
            letGo(c, d->holders);
            return;
        }
}

void release(platform::Image image)
{
    Cache& c = cache();
    const std::lock_guard<std::mutex> lock(c.mutex);
    for (Entry& entry : c.entries)
        if (entry.decoded.image == image)
        {
            letGo(c, entry.holders);
            return;
        }
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
    for (const std::unique_ptr<Drawn>& d : c.drawn)
    {
        ++result.images;
        const skin::Shape shape = skin::shapeOf(d->picture);
        const std::size_t frameBytes =
            static_cast<std::size_t>(skin::pixelsOf(shape.width, d->scale)) *
            static_cast<std::size_t>(skin::pixelsOf(shape.height, d->scale)) * 4;
        for (const platform::Image frame : d->frames)
            if (frame)
            {
                ++result.drawnFrames;
                result.bytes += frameBytes;
            }
    }
    return result;
}

} // namespace sharedImages
} // namespace VSTGUI
