// The LV2 instance against the VST build at 44.1 kHz in 512-frame runs, in the same process:
// the bundle's Dranvelor.so through lilv, and the VST Dranvelor.so through its record. The LV2
// side adds only the control port check to each run.
#include "lv2/ports.h"
#include "plugin_library.h"

#include <benchmark/benchmark.h>
#include <lilv/lilv.h>

#include <cmath>
#include <vector>

namespace
{

constexpr double kRate = 44100.0;
constexpr uint32_t kBlock = 512;
constexpr size_t kBlocks = 64; // varied data for the branches

std::vector<float> testSignal()
{
    std::vector<float> signal(kBlock * kBlocks);
    for (size_t i = 0; i < signal.size(); ++i)
        signal[i] = static_cast<float>(
            0.5 * std::sin(6.283185307179586 * 1000.0 * static_cast<double>(i) / kRate));
    return signal;
}

// CPU seconds per host sample, printed as "22.1n".
void reportPerSample(benchmark::State& state)
{
    state.counters["per_sample"] =
        benchmark::Counter(static_cast<double>(state.iterations() * kBlock),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void lv2Instance(benchmark::State& state)
{
    LilvWorld* world = lilv_world_new();
    LilvNode* bundle = lilv_new_file_uri(world, nullptr, DRANVELOR_LV2_BUNDLE "/");
    lilv_world_load_bundle(world, bundle);
    LilvNode* uri = lilv_new_uri(world, lv2port::kPluginUri);
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
    LilvInstance* instance = plugin ? lilv_plugin_instantiate(plugin, kRate, nullptr) : nullptr;
    if (!instance)
    {
        state.SkipWithError("the bundle gives no instance");
        return;
    }
    float controls[lv2port::kNumControls] = {0.7f, 0.6f, 0.5f, 0.0f};
    for (uint32_t i = 0; i < lv2port::kNumControls; ++i)
        lilv_instance_connect_port(instance, lv2port::kFirstControl + i, &controls[i]);
    const std::vector<float> input = testSignal();
    std::vector<float> output(kBlock);
    lilv_instance_connect_port(instance, lv2port::kAudioOut, output.data());
    lilv_instance_activate(instance);
    size_t block = 0;
    for (auto _ : state)
    {
        lilv_instance_connect_port(instance, lv2port::kAudioIn,
                                   const_cast<float*>(input.data() + block * kBlock));
        lilv_instance_run(instance, kBlock);
        benchmark::DoNotOptimize(output.data());
        block = (block + 1) % kBlocks;
    }
    reportPerSample(state);
    lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
    lilv_node_free(uri);
    lilv_node_free(bundle);
    lilv_world_free(world);
}

void vstEffect(benchmark::State& state)
{
    PluginInstance vst;
    vst.dispatch(effOpen);
    vst.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
    const float values[] = {0.7f, 0.6f, 0.5f, 0.0f};
    for (VstInt32 i = 0; i < 4; ++i)
        vst.record->setParameter(vst.record, i, values[i]);
    vst.dispatch(effMainsChanged, 0, 1);
    const std::vector<float> input = testSignal();
    std::vector<float> output(kBlock);
    size_t block = 0;
    for (auto _ : state)
    {
        float* ins[] = {const_cast<float*>(input.data() + block * kBlock)};
        float* outs[] = {output.data()};
        vst.run(ins, outs, static_cast<VstInt32>(kBlock));
        benchmark::DoNotOptimize(output.data());
        block = (block + 1) % kBlocks;
    }
    reportPerSample(state);
    vst.dispatch(effMainsChanged, 0, 0);
}

BENCHMARK(vstEffect)->Name("VST/44100/512");
BENCHMARK(lv2Instance)->Name("LV2/44100/512");

} // namespace

BENCHMARK_MAIN();
