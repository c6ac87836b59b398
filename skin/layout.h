// Window geometry of the editor that the skin has to fit: where the editor places its controls
// over the background, and the sizes of the pictures it loads.
#pragma once

namespace skin
{

struct Box
{
    int left, top, right, bottom;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    double centreX() const { return (left + right) * 0.5; }
    double centreY() const { return (top + bottom) * 0.5; }
};

constexpr int kPanelWidth = 630;
constexpr int kPanelHeight = 140;

constexpr int kKnobSize = 70;
constexpr int kKnobFrames = 135;

constexpr Box kKnobs[3] = {{170, 35, 240, 105}, {280, 35, 350, 105}, {390, 35, 460, 105}};
constexpr Box kFields[3] = {{184, 117, 227, 130}, {294, 117, 337, 130}, {404, 117, 447, 130}};
constexpr const char* kKnobLabels[3] = {"DRIVE", "TONE", "LEVEL"};

constexpr Box kBypassButton = {524, 82, 598, 112};
constexpr Box kLogoArea = {46, 39, 126, 99};
constexpr Box kNameArea = {489, 46, 619, 66};

constexpr int kAboutWidth = 330;
constexpr int kAboutHeight = 125;
// Where the editor shows the about picture when a splash area is clicked.
constexpr int kAboutLeft = 150;
constexpr int kAboutTop = 7;

// Knob angle model: the minimum points to the lower left (225 degrees, counter-clockwise from
// the positive x axis with y up) and the sweep runs 270 degrees clockwise over the top.
constexpr double kKnobStartDegrees = 225.0;
constexpr double kKnobSweepDegrees = 270.0;

inline double knobValueOfFrame(int frame)
{
    return frame / double(kKnobFrames - 1);
}
inline double knobDegrees(double value)
{
    return kKnobStartDegrees - kKnobSweepDegrees * value;
}

} // namespace skin
