// The editor's skin, drawn at any scale from 1 to 4: the background panel, the three knobs'
// film strips, the bypass switch and the about picture. skingen writes the 1x PNG resources
// with it; the windows draw every other scale with it, frame by frame as frames are shown.
#pragma once

#include "skin/image.h"

#include <cstdint>
#include <memory>

namespace skin
{

enum class Picture
{
    Background,
    KnobDrive,
    KnobTone,
    KnobLevel,
    Bypass,
    About
};
constexpr Picture kPictures[] = {Picture::Background, Picture::KnobDrive, Picture::KnobTone,
                                 Picture::KnobLevel,  Picture::Bypass,    Picture::About};

// A picture's frames, stacked top to bottom at 1x; at other scales each frame takes
// pixelsOf(width, scale) x pixelsOf(height, scale) pixels of its own.
struct Shape
{
    int width;  // layout units
    int height; // of one frame
    int frames;
};
Shape shapeOf(Picture picture);

// The picture of the PNG resource with that id (its 1x id); false for none of the skin's.
bool pictureOfResource(int32_t resourceId, Picture& picture);

// Draws a picture's frames at one scale. What every frame shares is drawn once, when the
// painter is made; drawing a frame then only reads it, so painters may serve several threads.
class Painter
{
public:
    virtual ~Painter() = default;
    // Draws the frame's rows from top on into target, which is as wide as the frame and cleared
    // to transparent: a frame drawn in parts on several threads is the frame drawn whole.
    virtual void drawRows(int frame, const Pixels& target, int top) const = 0;
    void drawFrame(int frame, const Pixels& target) const { drawRows(frame, target, 0); }
};
std::unique_ptr<Painter> makePainter(Picture picture, double scale);

// Draws the frame into target (the frame's pixels, cleared), in bands on two threads when it is
// large enough for that to pay.
void drawFrameOnThreads(const Painter& painter, int frame, const Pixels& target);

// The whole picture at a scale, its frames stacked, as the PNG resources hold it.
Image drawPicture(Picture picture, double scale);

} // namespace skin
