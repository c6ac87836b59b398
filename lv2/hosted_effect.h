// The effect as the VST entry creates it, on a host callback of the bundle's own.
#pragma once

#include "host/vst_interface.h"

// The opened effect's record; throws std::bad_alloc when there is none. effClose deletes it.
AEffect* openHostedEffect();
