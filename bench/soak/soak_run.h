// Drives one plug-in instance through the soak.
#pragma once

#include "soak_options.h"
#include "soak_result.h"
#include "tools/vsthost/plugin_library.h"

// Creates an instance through the entry point, processes options.seconds of audio and closes
// it. Throws ToolError(kExitNoInstance) when the entry answers no usable instance, and
// ToolError(kExitUnsupported) for double precision on an instance without it.
SoakResult runSoak(PluginEntry entry, const SoakOptions& options);
