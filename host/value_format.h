// The value-to-text formatting the effect and its front-ends share, free of any effect instance.
#pragma once

#include "host/vst_interface.h"

// value in at most maxLen characters, eight significant places with the fraction truncated, as
// AudioEffect::float2string writes it; text[maxLen] is always the terminator.
void formatFloat(float value, char* text, VstInt32 maxLen);
