#include "lv2/dsp_instance.h"

#include "lv2/hosted_effect.h"

#include <algorithm>

namespace
{

VstIntPtr dispatch(AEffect* effect, VstInt32 opcode, VstIntPtr value = 0, float opt = 0.0f)
{
    return effect->dispatcher(effect, opcode, 0, value, nullptr, opt);
}

// The record takes a signed count.
constexpr uint32_t kMaxRunFrames = 1u << 30;

} // namespace

DspInstance::DspInstance(double sampleRate) : effect(openHostedEffect())
{
    dispatch(effect, effSetSampleRate, 0, static_cast<float>(sampleRate));
    for (uint32_t i = 0; i < lv2port::kNumControls; ++i)
        sent[i] = effect->getParameter(effect, static_cast<VstInt32>(i));
}

DspInstance::~DspInstance()
{
    deactivate();
    dispatch(effect, effClose);
}

void DspInstance::connectPort(uint32_t port, void* data)
{
    if (port == lv2port::kAudioIn)
        input = static_cast<const float*>(data);
    else if (port == lv2port::kAudioOut)
        output = static_cast<float*>(data);
    else if (lv2port::isControl(port))
        controls[port - lv2port::kFirstControl] = static_cast<const float*>(data);
}

void DspInstance::activate()
{
    if (active)
        return;
    dispatch(effect, effMainsChanged, 1);
    active = true;
}

void DspInstance::deactivate()
{
    if (!active)
        return;
    dispatch(effect, effMainsChanged, 0);
    active = false;
}

void DspInstance::sendChangedControls()
{
    for (uint32_t i = 0; i < lv2port::kNumControls; ++i)
    {
        if (!controls[i])
            continue;
        const float value = *controls[i];
        // Written so that a port holding NaN is offered again (and ignored by the effect) rather
        // than remembered as sent.
        if (value == sent[i])
            continue;
        effect->setParameter(effect, static_cast<VstInt32>(i), value);
        sent[i] = value;
    }
}

void DspInstance::run(uint32_t frames)
{
    sendChangedControls();
    if (!input || !output)
        return;
    float* inputs[] = {const_cast<float*>(input)};
    float* outputs[] = {output};
    while (frames > 0)
    {
        const uint32_t chunk = std::min(frames, kMaxRunFrames);
        effect->processReplacing(effect, inputs, outputs, static_cast<VstInt32>(chunk));
        inputs[0] += chunk;
        outputs[0] += chunk;
        frames -= chunk;
    }
}
