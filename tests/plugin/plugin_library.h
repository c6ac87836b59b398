// Loads the built plug-in binary the way a host does and hands out instances made through its
// entry point.
#pragma once

#include "host/vst_interface.h"

#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

using PluginEntry = AEffect*(VSTCALLBACK*)(audioMasterCallback host);

class PluginLibrary
{
public:
    // One load per test program, kept until it ends, as a host keeps a plug-in it uses.
    static PluginLibrary& shared()
    {
        static PluginLibrary library(DRANVELOR_PLUGIN_PATH);
        return library;
    }

    bool loaded() const { return handle != nullptr; }

#if defined(_WIN32)
    HMODULE module() const
    {
        return handle;
    }
#endif

    PluginEntry entry(const char* name) const
    {
#if defined(_WIN32)
        auto symbol = reinterpret_cast<void (*)()>(GetProcAddress(handle, name));
#else
        void* symbol = dlsym(handle, name);
#endif
        return reinterpret_cast<PluginEntry>(symbol);
    }

private:
    explicit PluginLibrary(const char* path)
#if defined(_WIN32)
        : handle(LoadLibraryA(path))
#else
        : handle(dlopen(path, RTLD_NOW | RTLD_LOCAL))
#endif
    {
    }

#if defined(_WIN32)
    HMODULE handle;
#else
    void* handle;
#endif
};

// A host that answers what every plug-in needs to start: its version and a sample rate.
inline VstIntPtr VSTCALLBACK plainHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    switch (opcode)
    {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterGetSampleRate:
        return 44100;
    default:
        return 0;
    }
}

// One instance made through VSTPluginMain, closed through the dispatcher like a host does.
class PluginInstance
{
public:
    explicit PluginInstance(audioMasterCallback host = plainHost)
        : record(PluginLibrary::shared().entry("VSTPluginMain")(host))
    {
    }
    ~PluginInstance()
    {
        if (record)
            dispatch(effClose);
    }
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f)
    {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }

    template <typename Sample> void run(Sample** inputs, Sample** outputs, VstInt32 frames)
    {
        if constexpr (sizeof(Sample) == sizeof(float))
            record->processReplacing(record, inputs, outputs, frames);
        else
            record->processDoubleReplacing(record, inputs, outputs, frames);
    }

    template <typename Sample> std::vector<Sample> process(std::vector<Sample> input)
    {
        std::vector<Sample> output(input.size(), Sample(0));
        Sample* inputs[] = {input.data()};
        Sample* outputs[] = {output.data()};
        run(inputs, outputs, static_cast<VstInt32>(input.size()));
        return output;
    }

    AEffect* const record;
};
