// A plain gain plug-in with four parameters (the third is the gain) that, depending on
// SOAK_FAULT, carries one of the faults the soak exists to catch.
#include "host/vst_interface.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#define SOAK_FAULT_NONE 0
#define SOAK_FAULT_NAN 1          // one NaN after five seconds of audio
#define SOAK_FAULT_LOUD 2         // twenty times the gain
#define SOAK_FAULT_LEAK 3         // 4 KiB more held with every block
#define SOAK_FAULT_SLOW_SILENCE 4 // silence costs far more than signal, like denormals

#if defined(_WIN32)
#define SOAK_EXPORT extern "C" __declspec(dllexport)
#else
#define SOAK_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace
{
constexpr VstInt32 kParameters = 4;
constexpr VstInt32 kGain = 2;

struct FaultPlugin
{
    AEffect effect{};
    float values[kParameters] = {0.5f, 0.5f, 1.0f, 0.0f};
    double sampleRate = 44100.0;
    long long processed = 0;
    void* hoard = nullptr;
};

FaultPlugin& self(AEffect* effect)
{
    return *static_cast<FaultPlugin*>(effect->object);
}

VstIntPtr VSTCALLBACK dispatch(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void*,
                               float opt)
{
    if (opcode == effClose)
    {
        // The hoard grows while the plug-in runs; closing returns it, as a cache would.
        for (void* block = self(effect).hoard; block != nullptr;)
        {
            void* next = *static_cast<void**>(block);
            std::free(block);
            block = next;
        }
        delete &self(effect);
    }
    else if (opcode == effSetSampleRate)
        self(effect).sampleRate = opt;
    return 0;
}

void VSTCALLBACK setParameter(AEffect* effect, VstInt32 index, float value)
{
    if (index >= 0 && index < kParameters)
        self(effect).values[index] = value;
}

float VSTCALLBACK getParameter(AEffect* effect, VstInt32 index)
{
    return index >= 0 && index < kParameters ? self(effect).values[index] : 0.0f;
}

template <typename Sample> double faulty(FaultPlugin& plugin, Sample input)
{
    double gain = plugin.values[kGain];
    switch (SOAK_FAULT)
    {
    case SOAK_FAULT_NAN:
        if (plugin.processed == static_cast<long long>(5.0 * plugin.sampleRate))
            return std::numeric_limits<double>::quiet_NaN();
        break;
    case SOAK_FAULT_LOUD:
        gain *= 20.0;
        break;
    case SOAK_FAULT_SLOW_SILENCE:
        if (input == Sample(0))
        {
            volatile double burn = 0.0;
            for (int i = 0; i < 200; ++i)
                burn = burn + std::sqrt(static_cast<double>(i));
        }
        break;
    default:
        break;
    }
    return gain * static_cast<double>(input);
}

template <typename Sample> void process(AEffect* effect, Sample** in, Sample** out, VstInt32 count)
{
    FaultPlugin& plugin = self(effect);
    if (SOAK_FAULT == SOAK_FAULT_LEAK)
    {
        // Chained so that the compiler cannot drop the allocation.
        auto* block = static_cast<void**>(std::malloc(4096));
        if (block != nullptr)
        {
            std::memset(block, 1, 4096);
            *block = plugin.hoard;
            plugin.hoard = block;
        }
    }
    for (VstInt32 i = 0; i < count; ++i, ++plugin.processed)
        out[0][i] = static_cast<Sample>(faulty(plugin, in[0][i]));
}

void VSTCALLBACK processFloat(AEffect* effect, float** in, float** out, VstInt32 count)
{
    process(effect, in, out, count);
}

void VSTCALLBACK processDouble(AEffect* effect, double** in, double** out, VstInt32 count)
{
    process(effect, in, out, count);
}
} // namespace

SOAK_EXPORT AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback)
{
    auto* plugin = new FaultPlugin;
    AEffect& effect = plugin->effect;
    effect.magic = kEffectMagic;
    effect.dispatcher = dispatch;
    effect.setParameter = setParameter;
    effect.getParameter = getParameter;
    effect.processReplacing = processFloat;
    effect.processDoubleReplacing = processDouble;
    effect.numPrograms = 1;
    effect.numParams = kParameters;
    effect.numInputs = 1;
    effect.numOutputs = 1;
    effect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
    effect.object = plugin;
    return &effect;
}
