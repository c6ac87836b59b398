// Decoded images of the module's PNG resources, shared by every bitmap of the process: a
// resource is decoded once, whichever window or plug-in instance asks first. An image nobody
// holds stays while others are held (a window opened again decodes nothing) until another
// image has to be decoded; all go when the last bitmap holding one lets go, so that nothing
// outlives the editors (and unloading the library leaks nothing). Guarded by a lock: plug-in
// instances may open windows on different threads; the audio thread never comes here.
#pragma once

#include "gui/png_decode.h"

#include <cstdint>

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

// The skin's pictures at scales other than 1 are drawn, not decoded: a picture is made for its
// scale with nothing drawn, and each of its frames (a knob's positions, the switch's states) is
// drawn into an image of its own when first shown. Shared and released like the decoded images.
struct DrawnPicture
{
    const void* handle = nullptr; // null: the id names none of the skin's pictures
    int32_t width = 0;            // layout units
    int32_t frameHeight = 0;      // layout units
    int32_t frames = 0;
};
DrawnPicture acquireDrawn(int32_t resourceId, double scale);
void releaseDrawn(const void* handle);
// The frame's image, drawn if it is not yet; null when it cannot be made.
platform::Image drawnFrame(const void* handle, int32_t frame);

struct Usage
{
    int32_t images = 0;          // decoded images and drawn pictures held
    int32_t holders = 0;         // acquisitions not yet released
    std::size_t bytes = 0;       // their pixels, 4 bytes each
    std::size_t bands = 0;       // bands of their pictures, decoded or not
    std::size_t decoded = 0;     // bands decoded
    std::size_t drawnFrames = 0; // frames of the drawn pictures drawn so far
};
Usage usage();

} // namespace sharedImages
} // namespace VSTGUI
