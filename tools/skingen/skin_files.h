// The skin's file names in the resources folder.
#pragma once

#include "skin/skin.h"

namespace skingen
{

// By skin::Picture.
constexpr const char* kPictureFiles[] = {"background.png", "knob_drive.png", "knob_tone.png",
                                         "knob_level.png", "bypass.png",     "about.png"};

inline const char* fileOf(skin::Picture picture)
{
    return kPictureFiles[static_cast<int>(picture)];
}

} // namespace skingen
