#include "plugin_instance.h"

#include "host_context.h"
#include "tool_error.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace
{

// Far larger than any maximum of the interface: plug-ins are known to write past those.
constexpr std::size_t kTextBufferSize = 512;

bool sameTextIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](unsigned char x, unsigned char y)
                                              { return std::tolower(x) == std::tolower(y); });
}

bool isIndex(const std::string& key)
{
    return !key.empty() && key.size() < 9 &&
           std::all_of(key.begin(), key.end(), [](unsigned char c) { return std::isdigit(c); });
}

} // namespace

PluginInstance::PluginInstance(const PluginLibrary& library)
{
    effect_ = library.entry()(&HostContext::callback);
    if (effect_ == nullptr)
    {
        throw ToolError(kExitNoInstance, "the plug-in answered no instance: " + library.path());
    }
    if (effect_->magic != kEffectMagic)
    {
        // Closing a record of unknown shape is not safe: leave it alone.
        throw ToolError(kExitNoInstance,
                        "the plug-in answered a record without the VST magic: " + library.path());
    }
    dispatch(effOpen);
}

PluginInstance::~PluginInstance()
{
    if (running_)
    {
        dispatch(effMainsChanged, 0, 0);
    }
    dispatch(effClose);
}

VstIntPtr PluginInstance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) const
{
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string PluginInstance::text(VstInt32 opcode, VstInt32 index, VstIntPtr value) const
{
    char buffer[kTextBufferSize] = {};
    dispatch(opcode, index, value, buffer);
    buffer[kTextBufferSize - 1] = '\0';
    return buffer;
}

VstInt32 PluginInstance::findParameter(const std::string& key) const
{
    if (isIndex(key))
    {
        const long index = std::stol(key);
        if (index >= effect_->numParams)
        {
            throw ToolError(kExitUsage, "--set " + key + ": the plug-in has " +
                                            std::to_string(effect_->numParams) + " parameters");
        }
        return static_cast<VstInt32>(index);
    }
    VstInt32 caseless = -1;
    for (VstInt32 i = 0; i < effect_->numParams; ++i)
    {
        const std::string name = text(effGetParamName, i);
        if (name == key)
        {
            return i;
        }
        if (caseless < 0 && sameTextIgnoringCase(name, key))
        {
            caseless = i;
        }
    }
    if (caseless < 0)
    {
        throw ToolError(kExitUsage, "--set " + key + ": the plug-in has no such parameter");
    }
    return caseless;
}

void PluginInstance::applySettings(const Options& options) const
{
    if (options.program)
    {
        if (*options.program >= effect_->numPrograms)
        {
            throw ToolError(kExitUsage, "--program " + std::to_string(*options.program) +
                                            ": the plug-in has " +
                                            std::to_string(effect_->numPrograms) + " programs");
        }
        dispatch(effBeginSetProgram);
        dispatch(effSetProgram, 0, *options.program);
        dispatch(effEndSetProgram);
    }
    for (const auto& setting : options.settings)
    {
        effect_->setParameter(effect_, findParameter(setting.key), setting.value);
    }
}

void PluginInstance::setSampleRateAndBlockSize(double sampleRate, VstInt32 blockSize) const
{
    dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    dispatch(effSetBlockSize, 0, blockSize);
}

void PluginInstance::resume()
{
    dispatch(effMainsChanged, 0, 1);
    running_ = true;
}
