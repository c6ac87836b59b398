// A plug-in library whose entry point, exported only under the old name "main", declines to
// create an instance.
#include "host/vst_interface.h"

#if defined(_WIN32)
// Exported as "main" by null_plugin.def.
extern "C" AEffect* VSTCALLBACK nullEntry(audioMasterCallback host)
#else
extern "C" __attribute__((visibility("default"))) AEffect*
nullEntry(audioMasterCallback host) __asm__("main");
extern "C" AEffect* nullEntry(audioMasterCallback host)
#endif
{
    host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f);
    return nullptr;
}
