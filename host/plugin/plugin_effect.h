// The effect as the VST entry hands it to hosts: the plug-in's effect with its editor attached.
#pragma once

#include "host/audio_effect.h"

// Null when the effect's factory makes none; throws when the effect or its editor cannot be made,
// leaving nothing behind.
AudioEffect* createPluginEffect(audioMasterCallback host);
