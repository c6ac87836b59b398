#include "lv2/hosted_effect.h"

#include "host/audio_effect.h"

#include <new>

namespace
{

// The effect asks its host only for the version and the rate; LV2 hosts give the rate at
// instantiation, which reaches the effect through effSetSampleRate.
VstIntPtr VSTCALLBACK hostCallback(AEffect* /*effect*/, VstInt32 opcode, VstInt32 /*index*/,
                                   VstIntPtr /*value*/, void* /*ptr*/, float /*opt*/)
{
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

} // namespace

AEffect* openHostedEffect()
{
    AudioEffect* effect = createEffectInstance(hostCallback);
    if (!effect)
        throw std::bad_alloc();
    AEffect* record = effect->getAeffect();
    record->dispatcher(record, effOpen, 0, 0, nullptr, 0.0f);
    return record;
}
