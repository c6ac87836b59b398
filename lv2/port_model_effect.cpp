#include "lv2/port_model_effect.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace
{

uint32_t portOf(VstInt32 index)
{
    return lv2port::kFirstControl + static_cast<uint32_t>(index);
}

} // namespace

PortModelEffect::PortModelEffect(LV2UI_Write_Function writeFunction, LV2UI_Controller host,
                                 const LV2UI_Touch* touch, Resizer windowResizer)
    : AudioEffectX(nullptr, 0, static_cast<VstInt32>(lv2port::kNumControls)), write(writeFunction),
      controller(host), touchFeature(touch), resizer(std::move(windowResizer))
{
    // The defaults the ports start at, until the host reports them.
    for (const dranvelor::ParameterInfo& info : dranvelor::kParameters)
        values[info.index] = info.defaultValue;
}

void PortModelEffect::portEvent(uint32_t port, float value)
{
    if (lv2port::isControl(port))
        setParameter(static_cast<VstInt32>(port - lv2port::kFirstControl), value);
}

void PortModelEffect::processReplacing(float** /*inputs*/, float** /*outputs*/,
                                       VstInt32 /*sampleFrames*/)
{
}

void PortModelEffect::setParameter(VstInt32 index, float value)
{
    // As the effect does: a value that is not a number is ignored, any other one kept as given.
    if (!dranvelor::isParameterIndex(index) || !std::isfinite(value))
        return;
    values[index] = value;
    if (editor)
        editor->setParameter(index, value);
}

float PortModelEffect::getParameter(VstInt32 index)
{
    return dranvelor::isParameterIndex(index) ? values[index] : 0.0f;
}

void PortModelEffect::setParameterAutomated(VstInt32 index, float value)
{
    if (!dranvelor::isParameterIndex(index) || !std::isfinite(value))
        return;
    setParameter(index, value);
    write(controller, portOf(index), sizeof value, 0, &value);
}

bool PortModelEffect::beginEdit(VstInt32 index)
{
    return touch(index, true);
}

bool PortModelEffect::endEdit(VstInt32 index)
{
    return touch(index, false);
}

bool PortModelEffect::touch(VstInt32 index, bool grabbed)
{
    if (!touchFeature || !dranvelor::isParameterIndex(index))
        return false;
    touchFeature->touch(touchFeature->handle, portOf(index), grabbed);
    return true;
}

bool PortModelEffect::canHostDo(const char* text)
{
    return text && std::strcmp(text, "sizeWindow") == 0;
}

bool PortModelEffect::sizeWindow(VstInt32 width, VstInt32 height)
{
    return width > 0 && height > 0 && resizer(width, height);
}
