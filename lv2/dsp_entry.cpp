// The DSP binary's one export: the plug-in's descriptor.
#include "lv2/dsp_instance.h"

#include <lv2/core/lv2.h>

namespace
{

DspInstance* instanceOf(LV2_Handle handle)
{
    return static_cast<DspInstance*>(handle);
}

LV2_Handle instantiate(const LV2_Descriptor* /*descriptor*/, double rate, const char* /*bundle*/,
                       const LV2_Feature* const* /*features*/)
{
    // No exception may unwind into the host: a failed construction is simply no instance.
    try
    {
        return new DspInstance(rate);
    }
    catch (...)
    {
        return nullptr;
    }
}

void connectPort(LV2_Handle handle, uint32_t port, void* data)
{
    instanceOf(handle)->connectPort(port, data);
}

void activate(LV2_Handle handle)
{
    instanceOf(handle)->activate();
}

void run(LV2_Handle handle, uint32_t frames)
{
    instanceOf(handle)->run(frames);
}

void deactivate(LV2_Handle handle)
{
    instanceOf(handle)->deactivate();
}

void cleanup(LV2_Handle handle)
{
    delete instanceOf(handle);
}

const void* extensionData(const char* /*uri*/)
{
    return nullptr;
}

const LV2_Descriptor descriptor = {lv2port::kPluginUri, instantiate, connectPort,  activate, run,
                                   deactivate,          cleanup,     extensionData};

} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
    return index == 0 ? &descriptor : nullptr;
}
