#include "standalone/effect_host.h"

#include "editor/cklv_editor.h"
#include "effect/cklv.h"

#include <cstdio>
#include <cstring>

namespace standalone
{
namespace
{

EffectHost* activeHost = nullptr;

VstIntPtr copyString(void* ptr, const char* text)
{
    if (!ptr)
        return 0;
    std::snprintf(static_cast<char*>(ptr), kVstMaxVendorStrLen, "%s", text);
    return 1;
}

// The effect builds no window: the program gives it the editor, which the effect then owns.
CKLVEditor* attachEditor(CKLV& effect)
{
    auto* editor = new CKLVEditor(&effect);
    effect.setEditor(editor);
    return editor;
}

} // namespace

EffectHost::EffectHost(double sampleRate) : rate(sampleRate)
{
    activeHost = this;
    plugin = std::make_unique<CKLV>(callback);
    window = attachEditor(*plugin);
}

EffectHost::~EffectHost()
{
    plugin.reset();
    activeHost = nullptr;
}

VstIntPtr VSTCALLBACK EffectHost::callback(AEffect*, VstInt32 opcode, VstInt32 index,
                                           VstIntPtr value, void* ptr, float)
{
    return activeHost ? activeHost->answer(opcode, index, value, ptr) : 0;
}

VstIntPtr EffectHost::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr)
{
    switch (opcode)
    {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterGetSampleRate:
        return static_cast<VstIntPtr>(rate);
    case audioMasterGetVendorString:
        return copyString(ptr, "Ostravelk");
    case audioMasterGetProductString:
        return copyString(ptr, "Dranvelor");
    case audioMasterGetVendorVersion:
        return 1000;
    case audioMasterCanDo:
        return ptr && sizeWindow && std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0;
    case audioMasterSizeWindow:
        return sizeWindow && sizeWindow(index, static_cast<int>(value)) ? 1 : 0;
    default:
        return 0;
    }
}

} // namespace standalone
