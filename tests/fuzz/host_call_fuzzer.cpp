// Drives the Linux plug-in through its entry point with arbitrary host call sequences:
// dispatcher opcodes, parameters, both processing precisions, rate changes, suspend/resume.
#include "host/vst_interface.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <vector>

namespace
{
using EntryPoint = AEffect* (*)(audioMasterCallback);

VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    switch (opcode)
    {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterGetSampleRate:
        return 44100;
    case audioMasterGetBlockSize:
        return 512;
    default:
        return 0;
    }
}

EntryPoint loadPlugin()
{
    const char* path = std::getenv("DRANVELOR_PLUGIN");
    if (path == nullptr)
        path = DRANVELOR_PLUGIN_PATH;
    void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
    {
        std::fprintf(stderr, "cannot load %s: %s\n", path, dlerror());
        std::abort();
    }
    auto entry = reinterpret_cast<EntryPoint>(dlsym(library, "VSTPluginMain"));
    if (entry == nullptr)
        std::abort();
    return entry;
}

// DRANVELOR_FUZZ_TRACE=1 prints each call, to read a crashing input back.
const bool trace = std::getenv("DRANVELOR_FUZZ_TRACE") != nullptr;

float anyFloat(FuzzedDataProvider& data)
{
    const auto bits = data.ConsumeIntegral<std::uint32_t>();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Scratch the plug-in may write into: texts, records and pointer slots.
struct Scratch
{
    alignas(16) std::array<char, 1024> bytes{};
    void* slots[4] = {};
};

void* pointerFor(VstInt32 opcode, FuzzedDataProvider& data, Scratch& scratch, VstIntPtr& value)
{
    switch (opcode)
    {
    case effEditGetRect:
    case effGetChunk:
        return &scratch.slots[0];
    case effGetSpeakerArrangement:
        value = reinterpret_cast<VstIntPtr>(&scratch.slots[1]);
        return &scratch.slots[2];
    case effSetSpeakerArrangement:
        value = reinterpret_cast<VstIntPtr>(scratch.bytes.data());
        return scratch.bytes.data() + 512;
    case effEditOpen:
        return nullptr; // no parent window to give
    default:
        break;
    }
    if (data.ConsumeBool())
        return nullptr;
    // A NUL-terminated text for the opcodes that read one.
    const std::string text = data.ConsumeRandomLengthString(64);
    scratch.bytes.fill('\x5a');
    std::memcpy(scratch.bytes.data(), text.c_str(), text.size() + 1);
    return scratch.bytes.data();
}

void checkFinite(const float* out, int frames)
{
    for (int i = 0; i < frames; ++i)
        if (!std::isfinite(out[i]))
            std::abort();
}

void checkFinite(const double* out, int frames)
{
    for (int i = 0; i < frames; ++i)
        if (!std::isfinite(out[i]))
            std::abort();
}

template <typename Sample, typename Process>
void process(AEffect* effect, Process entry, FuzzedDataProvider& data)
{
    const int frames = data.ConsumeIntegralInRange<int>(-4, 8192);
    std::vector<Sample> in(8192), out(8192);
    const int kind = data.ConsumeIntegralInRange<int>(0, 3);
    for (std::size_t i = 0; i < in.size(); ++i)
    {
        switch (kind)
        {
        case 0:
            in[i] = static_cast<Sample>(std::sin(0.06 * static_cast<double>(i)));
            break;
        case 1:
            in[i] = static_cast<Sample>(data.ConsumeFloatingPointInRange<float>(-4.0f, 4.0f));
            break;
        case 2:
            in[i] = static_cast<Sample>(anyFloat(data));
            break;
        default:
            in[i] = static_cast<Sample>((i / 64) % 2 ? 1.0 : -1.0);
            break;
        }
    }
    Sample* inputs[1] = {in.data()};
    Sample* outputs[1] = {out.data()};
    if (trace)
        std::fprintf(stderr, "process%zu frames %d kind %d\n", sizeof(Sample) * 8, frames, kind);
    entry(effect, inputs, outputs, frames);
    // Pass-through copies whatever it is given; anything else must stay finite.
    const int count = frames < 0 ? 0 : frames;
    bool finiteInput = true;
    for (int i = 0; i < count; ++i)
        finiteInput = finiteInput && std::isfinite(in[i]);
    if (finiteInput)
        checkFinite(out.data(), count);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    static const EntryPoint entry = loadPlugin();
    FuzzedDataProvider data(bytes, size);
    AEffect* effect = entry(host);
    if (effect == nullptr)
        std::abort();
    Scratch scratch;
    static const float rates[] = {44100.0f,  48000.0f,  88200.0f, 96000.0f,
                                  176400.0f, 192000.0f, 22050.0f, 44100.5f};
    int calls = 0;
    while (data.remaining_bytes() > 0 && ++calls < 64)
    {
        switch (data.ConsumeIntegralInRange<int>(0, 6))
        {
        case 0:
        {
            const auto opcode = data.ConsumeIntegralInRange<VstInt32>(-10, 100);
            if (opcode == effClose)
                break;
            const auto index = data.ConsumeIntegral<VstInt32>();
            auto value = data.ConsumeIntegral<VstIntPtr>();
            const float opt = anyFloat(data);
            void* ptr = pointerFor(opcode, data, scratch, value);
            if (trace)
                std::fprintf(stderr, "dispatcher %d %d %lld %g\n", opcode, index,
                             static_cast<long long>(value), static_cast<double>(opt));
            effect->dispatcher(effect, opcode, index, value, ptr, opt);
            break;
        }
        case 1:
        {
            const auto index = data.ConsumeIntegralInRange<VstInt32>(-2, 6);
            const float value =
                data.ConsumeBool() ? anyFloat(data) : data.ConsumeProbability<float>();
            if (trace)
                std::fprintf(stderr, "setParameter %d %g\n", index, static_cast<double>(value));
            effect->setParameter(effect, index, value);
            break;
        }
        case 2:
            effect->getParameter(effect, data.ConsumeIntegral<VstInt32>());
            break;
        case 3:
            process<float>(effect, effect->processReplacing, data);
            break;
        case 4:
            process<double>(effect, effect->processDoubleReplacing, data);
            break;
        case 5:
        {
            const float rate =
                data.ConsumeBool() ? anyFloat(data) : rates[data.ConsumeIntegralInRange(0, 7)];
            if (trace)
                std::fprintf(stderr, "sampleRate %g\n", static_cast<double>(rate));
            effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, rate);
            break;
        }
        default:
            effect->dispatcher(effect, effMainsChanged, 0, data.ConsumeBool() ? 1 : 0, nullptr,
                               0.0f);
            break;
        }
    }
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    return 0;
}
