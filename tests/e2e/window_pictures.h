// What the plug-in's window shows and what it should show (captured pixels, the skin images
// placed and blended as the window draws them), and what its host hears.
#pragma once

#include <string>
#include <vector>

// Right and bottom excluded.
struct Area
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// One RGBA picture, top row first: straight as PNG files hold it, or premultiplied as the skin
// library draws it.
struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;
    bool premultiplied = false;

    // 0x00RRGGBB
    unsigned pixel(int x, int y) const;
};

// A skin image from the resources folder, read once.
const Picture& skinImage(const char* name);
// Whether the resources folder has that image.
bool hasSkin(const char* name);
// A skin image ("knob_drive") as a window at that scale shows it: the resource at 1x, else
// drawn by the skin library for the scale, its frames stacked.
const Picture& skinAt(const char* base, double scale);

// A skin pixel as the window shows it over `under`: a PNG's pixels are premultiplied by >> 8,
// and blended source-over with the system's rounding.
unsigned onScreen(const Picture& picture, int x, int y, unsigned under);
unsigned backgroundOnScreen(int x, int y);

// The window's client pixels, 0x00RRGGBB, top row first.
struct Capture
{
    int width = 0;
    std::vector<unsigned> pixels;

    unsigned pixel(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
    // The pixels of an area, for comparing areas of two captures.
    std::vector<unsigned> area(const Area& rect) const;
    // A PNG of the capture, for looking at a failure.
    void save(const std::string& path) const;
};

// How sharp a picture is, on its luma: edge, how steep its steepest edges are (the 99.9th
// percentile of the step between neighbouring pixels); detail, how much it changes inside
// 2 x 2 pixel blocks (their mean range). A picture resampled to a larger size loses both.
struct Sharpness
{
    double edge = 0.0;
    double detail = 0.0;
};
Sharpness sharpnessOf(const Capture& shown, const Area& area);
// The capture stretched to a size by bilinear interpolation, as a window drawn from smaller
// pictures would look.
Capture stretched(const Capture& shown, int width, int height);
// What is wrong with the sharpness of a window shown at scale, measured where only the skin is
// (the logo and the name, as far as the capture holds them): its edges must be as steep as the 1x
// skin's, and both its edges and its detail within 2 x 2 blocks well above those of the 1x skin
// stretched to the scale. Empty when nothing is.
std::string sharpnessFault(const Capture& shown, double scale);

// Pixels of an area that differ from the picture placed there from its (sx, sy) onwards, over
// the background.
int pictureMismatches(const Capture& shown, const Area& area, const Picture& picture, int sx,
                      int sy);

// The editor's layout.
struct Spot
{
    int x = 0;
    int y = 0;
};
constexpr int kKnobLefts[] = {170, 280, 390};
constexpr int kKnobTop = 35;
constexpr int kKnobSize = 70;
constexpr Area kDriveField{184, 117, 227, 130};
constexpr Area kLevelField{404, 117, 447, 130};
constexpr Area kBypassArea{524, 82, 598, 112};
constexpr Spot kDriveKnobCentre{205, 70};
constexpr Spot kDriveFieldCentre{205, 123};
constexpr Spot kBypassCentre{561, 97};
constexpr Spot kLeftSplashCentre{86, 69};
constexpr Spot kRightSplashCentre{554, 56};
constexpr Spot kPictureCentre{315, 70};

// The text field under knob 0, 1 or 2.
Area fieldOf(int knob);
// Pixels of a knob that differ from its film strip's frame over the background.
int knobMismatches(const Capture& shown, int knob, const char* strip, int frame);

// The automated values for one parameter index in host traffic lines ("automate 0 0.5"), in
// order.
std::vector<float> automated(const std::vector<std::string>& traffic, int index);
