// The skin's file names in the resources folder.
#pragma once

namespace skingen
{

constexpr const char* kBackgroundFile = "background.png";
constexpr const char* kKnobFiles[3] = {"knob_drive.png", "knob_tone.png", "knob_level.png"};
constexpr const char* kBypassFile = "bypass.png";
constexpr const char* kAboutFile = "about.png";

} // namespace skingen
