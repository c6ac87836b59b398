// The skin's file names in the resources folder.
#pragma once

#include <string>

namespace skingen
{

constexpr const char* kBackgroundFile = "background.png";
constexpr const char* kKnobFiles[3] = {"knob_drive.png", "knob_tone.png", "knob_level.png"};
constexpr const char* kBypassFile = "bypass.png";
constexpr const char* kAboutFile = "about.png";

// The sets of the skin: each picture of the 1x set has a sibling per scale, named with the
// scale in percent (knob_drive_200.png).
struct SkinSet
{
    double scale;
    const char* suffix;
};
constexpr SkinSet kSkinSets[] = {{1.0, ""}, {1.5, "_150"}, {2.0, "_200"}};

// The name of a 1x file in a set.
inline std::string fileOf(const char* file, const SkinSet& set)
{
    const std::string name(file);
    const std::size_t dot = name.rfind('.');
    return name.substr(0, dot) + set.suffix + name.substr(dot);
}

} // namespace skingen
