// vsthost info: everything a host can learn about a plug-in without processing audio.
#include "commands.h"
#include "host_context.h"
#include "plugin_instance.h"
#include "tool_error.h"

#include <cctype>
#include <cstdio>
#include <string>

namespace
{

const char* const kFlagNames[] = {
    "HasEditor",
    "HasClip",
    "HasVu",
    "CanMono",
    "CanReplacing",
    "ProgramChunks",
    nullptr,
    nullptr,
    "IsSynth",
    "NoSoundInStop",
    "ExtIsAsync",
    "ExtHasBuffer",
    "CanDoubleReplacing",
};

std::string flagNames(VstInt32 flags)
{
    std::string names;
    for (unsigned bit = 0; bit < 32; ++bit)
    {
        if ((static_cast<std::uint32_t>(flags) & (1u << bit)) == 0)
        {
            continue;
        }
        const bool known =
            bit < sizeof(kFlagNames) / sizeof(kFlagNames[0]) && kFlagNames[bit] != nullptr;
        names += names.empty() ? "" : " ";
        names += known ? kFlagNames[bit] : "bit" + std::to_string(bit);
    }
    return names.empty() ? "none" : names;
}

// The four characters of an ID, with anything unprintable shown as '?'.
std::string fourCharacters(VstInt32 id)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        const auto c = static_cast<unsigned char>(static_cast<std::uint32_t>(id) >> shift);
        text += std::isprint(c) ? static_cast<char>(c) : '?';
    }
    return text;
}

const char* categoryName(VstIntPtr category)
{
    switch (category)
    {
    case kPlugCategUnknown:
        return "unknown";
    case kPlugCategEffect:
        return "effect";
    case kPlugCategSynth:
        return "synth";
    default:
        return "other";
    }
}

} // namespace

int runInfo(const Options& options)
{
    requireArguments(options, 1, {"--set", "--program", "--trace"}, "vsthost info PLUGIN");
    HostContext host;
    host.trace = options.trace;
    const PluginLibrary library(options.positional[0]);
    PluginInstance plugin(library);
    plugin.applySettings(options);
    AEffect& effect = plugin.effect();

    std::printf("plug-in:        %s\n", library.path().c_str());
    std::printf("effect name:    %s\n", plugin.text(effGetEffectName).c_str());
    std::printf("vendor:         %s\n", plugin.text(effGetVendorString).c_str());
    std::printf("product:        %s\n", plugin.text(effGetProductString).c_str());
    std::printf("vendor version: %lld\n",
                static_cast<long long>(plugin.dispatch(effGetVendorVersion)));
    const VstIntPtr category = plugin.dispatch(effGetPlugCategory);
    std::printf("category:       %lld (%s)\n", static_cast<long long>(category),
                categoryName(category));
    std::printf("VST version:    %lld\n",
                static_cast<long long>(plugin.dispatch(effGetVstVersion)));
    std::printf("unique ID:      %s (0x%08X)\n", fourCharacters(effect.uniqueID).c_str(),
                static_cast<unsigned>(effect.uniqueID));
    std::printf("version:        %d\n", static_cast<int>(effect.version));
    std::printf("programs:       %d\n", static_cast<int>(effect.numPrograms));
    std::printf("parameters:     %d\n", static_cast<int>(effect.numParams));
    std::printf("inputs:         %d\n", static_cast<int>(effect.numInputs));
    std::printf("outputs:        %d\n", static_cast<int>(effect.numOutputs));
    std::printf("initial delay:  %d\n", static_cast<int>(effect.initialDelay));
    std::printf("flags:          0x%08X (%s)\n", static_cast<unsigned>(effect.flags),
                flagNames(effect.flags).c_str());
    std::printf("current program: %lld\n", static_cast<long long>(plugin.dispatch(effGetProgram)));

    std::printf("\nparameters (index, name, label, display, value):\n");
    for (VstInt32 i = 0; i < effect.numParams; ++i)
    {
        std::printf("  %3d  %-16s %-10s %-12s %.6f\n", static_cast<int>(i),
                    ("\"" + plugin.text(effGetParamName, i) + "\"").c_str(),
                    ("\"" + plugin.text(effGetParamLabel, i) + "\"").c_str(),
                    ("\"" + plugin.text(effGetParamDisplay, i) + "\"").c_str(),
                    static_cast<double>(effect.getParameter(&effect, i)));
    }
    std::printf("\nprograms (index, name):\n");
    for (VstInt32 i = 0; i < effect.numPrograms; ++i)
    {
        std::printf("  %3d  \"%s\"\n", static_cast<int>(i),
                    plugin.text(effGetProgramNameIndexed, i, 0).c_str());
    }
    std::printf("\nhost calls received:\n");
    for (const auto& [opcode, count] : host.calls())
    {
        std::printf("  %s x%lu\n", hostOpcodeName(opcode).c_str(), count);
    }
    return kExitOk;
}
