// The library's one entry point and its load hook.
#include "gui/platform/module.h"
#include "host/plugin/plugin_effect.h"

#if defined(_WIN32)
#include <windows.h>
#define DRANVELOR_EXPORT
#else
#define DRANVELOR_EXPORT __attribute__((visibility("default")))
#endif

extern "C" DRANVELOR_EXPORT AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback host)
{
    // A host that answers 0 is too old to drive a VST 2.4 effect.
    if (host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;
    try
    {
        AudioEffect* effect = createPluginEffect(host);
        return effect ? effect->getAeffect() : nullptr;
    }
    catch (...)
    {
        // No exception may unwind into the host; a failed construction is simply no instance.
        return nullptr;
    }
}

#if defined(_WIN32)
// The export named main comes from the module-definition file.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD /*reason*/, LPVOID /*reserved*/)
{
    // The window class and the skin images are the library's, not the host's.
    VSTGUI::platform::setModuleHandle(instance);
    return TRUE;
}
#else
// Older hosts look the entry point up under the name main.
extern "C" DRANVELOR_EXPORT AEffect* legacyMain(audioMasterCallback host) asm("main")
    __attribute__((alias("VSTPluginMain")));
#endif
