// One open instance of a plug-in, driven through its host record.
#pragma once

#include "host/vst_interface.h"
#include "options.h"
#include "plugin_library.h"

#include <string>

class PluginInstance
{
public:
    // Calls the entry point and opens the instance. Throws ToolError(kExitNoInstance) when the
    // entry answers null or a record without the VST magic.
    explicit PluginInstance(const PluginLibrary& library);
    // Suspends a running instance, then closes it.
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    AEffect& effect() const { return *effect_; }
    bool hasFlag(VstInt32 flag) const { return (effect_->flags & flag) != 0; }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) const;
    // A text the plug-in writes into a host buffer (names, labels, displays).
    std::string text(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0) const;

    // Applies --program and then every --set, in order. Throws ToolError(kExitUsage) for a
    // program or a parameter the plug-in does not have.
    void applySettings(const Options& options) const;
    void setSampleRateAndBlockSize(double sampleRate, VstInt32 blockSize) const;
    void resume();

private:
    VstInt32 findParameter(const std::string& key) const;

    AEffect* effect_ = nullptr;
    bool running_ = false;
};
