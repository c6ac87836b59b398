#include "host_context.h"

#include <cstdio>
#include <cstring>

namespace
{

HostContext* activeContext = nullptr;

const char* const kHostOpcodeNames[] = {
    "audioMasterAutomate",
    "audioMasterVersion",
    "audioMasterCurrentId",
    "audioMasterIdle",
    "audioMasterPinConnected",
    nullptr,
    "audioMasterWantMidi",
    "audioMasterGetTime",
    "audioMasterProcessEvents",
    "audioMasterSetTime",
    "audioMasterTempoAt",
    "audioMasterGetNumAutomatableParameters",
    "audioMasterGetParameterQuantization",
    "audioMasterIOChanged",
    "audioMasterNeedIdle",
    "audioMasterSizeWindow",
    "audioMasterGetSampleRate",
    "audioMasterGetBlockSize",
    "audioMasterGetInputLatency",
    "audioMasterGetOutputLatency",
    "audioMasterGetPreviousPlug",
    "audioMasterGetNextPlug",
    "audioMasterWillReplaceOrAccumulate",
    "audioMasterGetCurrentProcessLevel",
    "audioMasterGetAutomationState",
    "audioMasterOfflineStart",
    "audioMasterOfflineRead",
    "audioMasterOfflineWrite",
    "audioMasterOfflineGetCurrentPass",
    "audioMasterOfflineGetCurrentMetaPass",
    "audioMasterSetOutputSampleRate",
    "audioMasterGetOutputSpeakerArrangement",
    "audioMasterGetVendorString",
    "audioMasterGetProductString",
    "audioMasterGetVendorVersion",
    "audioMasterVendorSpecific",
    "audioMasterSetIcon",
    "audioMasterCanDo",
    "audioMasterGetLanguage",
    "audioMasterOpenWindow",
    "audioMasterCloseWindow",
    "audioMasterGetDirectory",
    "audioMasterUpdateDisplay",
    "audioMasterBeginEdit",
    "audioMasterEndEdit",
    "audioMasterOpenFileSelector",
    "audioMasterCloseFileSelector",
    "audioMasterEditFile",
    "audioMasterGetChunkFile",
    "audioMasterGetInputSpeakerArrangement",
};

constexpr VstInt32 kHostOpcodeCount =
    static_cast<VstInt32>(sizeof(kHostOpcodeNames) / sizeof(kHostOpcodeNames[0]));

// The plug-in's buffers for these strings hold kVstMaxVendorStrLen / kVstMaxProductStrLen.
VstIntPtr copyString(void* ptr, const char* text)
{
    if (ptr == nullptr)
    {
        return 0;
    }
    std::snprintf(static_cast<char*>(ptr), kVstMaxVendorStrLen, "%s", text);
    return 1;
}

} // namespace

std::string hostOpcodeName(VstInt32 opcode)
{
    if (opcode >= 0 && opcode < kHostOpcodeCount && kHostOpcodeNames[opcode] != nullptr)
    {
        return kHostOpcodeNames[opcode];
    }
    return "opcode " + std::to_string(opcode);
}

HostContext::HostContext()
{
    activeContext = this;
}

HostContext::~HostContext()
{
    activeContext = nullptr;
}

VstIntPtr VSTCALLBACK HostContext::callback(AEffect* /*effect*/, VstInt32 opcode, VstInt32 index,
                                            VstIntPtr value, void* ptr, float opt)
{
    return activeContext != nullptr ? activeContext->answer(opcode, index, value, ptr, opt) : 0;
}

VstIntPtr HostContext::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                              float opt)
{
    ++calls_[opcode];
    if (trace)
    {
        const bool hasText = opcode == audioMasterCanDo && ptr != nullptr;
        std::fprintf(stderr, "host: %s index %d value %lld opt %g%s%s\n",
                     hostOpcodeName(opcode).c_str(), static_cast<int>(index),
                     static_cast<long long>(value), static_cast<double>(opt),
                     hasText ? " text " : "", hasText ? static_cast<const char*>(ptr) : "");
    }
    switch (opcode)
    {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterGetSampleRate:
        return static_cast<VstIntPtr>(sampleRate);
    case audioMasterGetBlockSize:
        return blockSize;
    case audioMasterGetVendorString:
        return copyString(ptr, "Ostravelk");
    case audioMasterGetProductString:
        return copyString(ptr, "vsthost");
    case audioMasterGetVendorVersion:
        return 1000;
    case audioMasterAutomate:
        if (printEdits)
        {
            std::printf("automate %d %.9g\n", static_cast<int>(index), static_cast<double>(opt));
            std::fflush(stdout);
        }
        return 0;
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
        if (printEdits)
        {
            std::printf("%s %d\n", opcode == audioMasterBeginEdit ? "begin" : "end",
                        static_cast<int>(index));
            std::fflush(stdout);
        }
        return 1;
    case audioMasterIdle:
        if (printIdle)
        {
            std::puts("idle");
            std::fflush(stdout);
        }
        return 0;
    case audioMasterCanDo:
        return ptr != nullptr && sizeWindow &&
                       std::strcmp(static_cast<char*>(ptr), "sizeWindow") == 0
                   ? 1
                   : 0;
    case audioMasterSizeWindow:
        if (printEdits)
        {
            std::printf("size %d %d\n", static_cast<int>(index), static_cast<int>(value));
            std::fflush(stdout);
        }
        return sizeWindow && sizeWindow(index, static_cast<int>(value)) ? 1 : 0;
    default:
        return 0;
    }
}
