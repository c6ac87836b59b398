// Decoded images of the module's PNG resources, shared by every bitmap of the process: a
// resource is decoded once, whichever window or plug-in instance asks first. An image nobody
// holds stays while others are held (a window opened again decodes nothing) until another
// image has to be decoded; all go when the last bitmap holding one lets go, so that nothing
// outlives the editors (and unloading the library leaks nothing). Guarded by a lock: plug-in
// instances may open windows on different threads; the audio thread never comes here.
#pragma once

#include "gui/png_decode.h"

#include <cstddef>
#include <cstdint>

namespace VSTGUI
{
namespace sharedImages
{

// The image of the resource's PNG bytes, unless it is held already; the caller holds it until
// release. An image in bands is made with nothing decoded: each band is decoded when its rows
// are first drawn (prepareRows), so that a window shows its film strips' current frames without
// waiting for the rest. An image that could not be created is not kept (and needs no release).
DecodedImage acquire(int32_t resourceId, const uint8_t* data, std::size_t size);
void release(platform::Image image);
// Decodes what is not yet decoded of the picture's rows [top, bottom) of a held image.
void prepareRows(platform::Image image, int32_t top, int32_t bottom);

struct Usage
{
    int32_t images = 0;      // decoded images held
    int32_t holders = 0;     // acquisitions not yet released
    std::size_t bytes = 0;   // their pixels, 4 bytes each
    std::size_t bands = 0;   // bands of their pictures, decoded or not
    std::size_t decoded = 0; // bands decoded
};
Usage usage();

} // namespace sharedImages
} // namespace VSTGUI
