// Decoded images of the module's PNG resources, shared by every bitmap of the process: a
// resource is decoded once, whichever window or plug-in instance asks first. An image nobody
// holds stays while others are held (a window opened again decodes nothing) until another
// image has to be decoded; all go when the last bitmap holding one lets go, so that nothing
// outlives the editors (and unloading the library leaks nothing). Guarded by a lock: plug-in
// instances may open windows on different threads; the audio thread never comes here.
#pragma once

#include "gui/platform/draw.h"

#include <cstddef>
#include <cstdint>

namespace VSTGUI
{

struct DecodedImage
{
    platform::Image image = nullptr; // null when it could not be created
    int32_t width = 0;
    int32_t height = 0;
};

namespace sharedImages
{

using Decoder = DecodedImage (*)(const uint8_t* data, std::size_t size);

// The image of the resource's bytes, decoded now unless it is held already; the caller holds it
// until release. An image that could not be created is not kept (and needs no release).
DecodedImage acquire(int32_t resourceId, const uint8_t* data, std::size_t size, Decoder decode);
void release(platform::Image image);

struct Usage
{
    int32_t images = 0;    // decoded images held
    int32_t holders = 0;   // acquisitions not yet released
    std::size_t bytes = 0; // their pixels, 4 bytes each
};
Usage usage();

} // namespace sharedImages
} // namespace VSTGUI
