// The LV2 instance in a host of the test's own, against Dranvelor.so driven through its VST
// record with the same sequence: the same samples, bit for bit, whatever the run sizes, buffers
// and control values.
#include "lv2_bundle.h"
#include "plugin_library.h"

#include <gtest/gtest.h>
#include <lv2/core/lv2.h>
#include <lv2/presets/presets.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace
{

// A loud, busy signal: two tones and a little deterministic noise.
std::vector<float> testSignal(size_t frames, double rate)
{
    std::vector<float> signal(frames);
    uint32_t noise = 12345;
    for (size_t i = 0; i < frames; ++i)
    {
        noise = noise * 1664525u + 1013904223u;
        const double t = static_cast<double>(i) / rate;
        signal[i] = static_cast<float>(0.6 * std::sin(2 * M_PI * 220 * t) +
                                       0.3 * std::sin(2 * M_PI * 3100 * t) +
                                       0.05 * (static_cast<double>(noise >> 8) / (1 << 24) - 0.5));
    }
    return signal;
}

struct Step
{
    enum Kind
    {
        kRun,
        kRunInPlace,
        kSet,
        kDeactivate,
        kActivate
    } kind;
    uint32_t frames = 0; // runs
    int index = 0;       // sets
    float value = 0.0f;
};

Step run(uint32_t frames, bool inPlace = false)
{
    return {inPlace ? Step::kRunInPlace : Step::kRun, frames};
}

Step set(int index, float value)
{
    return {Step::kSet, 0, index, value};
}

// Plays the steps to both formats over the same signal; answers the two outputs.
struct Outputs
{
    std::vector<float> lv2;
    std::vector<float> vst;
};

Outputs play(const std::vector<Step>& steps, double rate)
{
    size_t total = 0;
    for (const Step& step : steps)
        total += step.frames;
    const std::vector<float> input = testSignal(total, rate);
    Outputs out{std::vector<float>(total, 7.0f), std::vector<float>(total, 7.0f)};

    Lv2Instance lv2(rate);
    EXPECT_TRUE(lv2.valid());
    if (!lv2.valid())
        return out;
    PluginInstance vst;
    vst.dispatch(effOpen);
    vst.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    vst.dispatch(effMainsChanged, 0, 1);
    lilv_instance_activate(lv2.get());

    size_t at = 0;
    std::vector<float> inPlace;
    for (const Step& step : steps)
    {
        switch (step.kind)
        {
        case Step::kRun:
        {
            lv2.run(input.data() + at, out.lv2.data() + at, step.frames);
            float* ins[] = {const_cast<float*>(input.data() + at)};
            float* outs[] = {out.vst.data() + at};
            vst.run(ins, outs, static_cast<VstInt32>(step.frames));
            break;
        }
        case Step::kRunInPlace:
        {
            // The host's one buffer; its neighbours must stay untouched.
            inPlace.assign(step.frames + 2, -3.0f);
            std::copy_n(input.data() + at, step.frames, inPlace.data() + 1);
            lv2.run(inPlace.data() + 1, inPlace.data() + 1, step.frames);
            EXPECT_EQ(inPlace.front(), -3.0f);
            EXPECT_EQ(inPlace.back(), -3.0f);
            std::copy_n(inPlace.data() + 1, step.frames, out.lv2.data() + at);
            std::copy_n(input.data() + at, step.frames, out.vst.data() + at);
            float* buffers[] = {out.vst.data() + at};
            vst.run(buffers, buffers, static_cast<VstInt32>(step.frames));
            break;
        }
        case Step::kSet:
            lv2.controls[step.index] = step.value;
            vst.record->setParameter(vst.record, step.index, step.value);
            break;
        case Step::kDeactivate:
            lilv_instance_deactivate(lv2.get());
            vst.dispatch(effMainsChanged, 0, 0);
            break;
        case Step::kActivate:
            lilv_instance_activate(lv2.get());
            vst.dispatch(effMainsChanged, 0, 1);
            break;
        }
        at += step.frames;
    }
    lilv_instance_deactivate(lv2.get());
    vst.dispatch(effMainsChanged, 0, 0);
    return out;
}

void expectSameSamples(const Outputs& out, const std::string& what)
{
    ASSERT_EQ(out.lv2.size(), out.vst.size());
    size_t firstDifference = 0;
    while (firstDifference < out.lv2.size() &&
           std::memcmp(&out.lv2[firstDifference], &out.vst[firstDifference], sizeof(float)) == 0)
        ++firstDifference;
    EXPECT_EQ(firstDifference, out.lv2.size()) << what << ": the first sample that differs";
}

TEST(Lv2Instance, RunsOfAnySizeInPlaceOrNotSoundAsTheVstBuild)
{
    for (const double rate : {44100.0, 96000.0, 192000.0})
    {
        std::vector<Step> steps = {set(0, 0.8f), set(1, 0.3f), set(2, 0.6f)};
        for (const uint32_t frames : {0u, 1u, 37u, 4096u})
        {
            steps.push_back(run(frames));
            steps.push_back(run(frames, true));
        }
        const Outputs out = play(steps, rate);
        expectSameSamples(out, "at " + std::to_string(rate) + " Hz");
        // Not a pass-through that would make both agree trivially.
        const std::vector<float> input = testSignal(out.lv2.size(), rate);
        EXPECT_NE(std::memcmp(out.lv2.data(), input.data(), input.size() * sizeof(float)), 0);
    }
}

TEST(Lv2Instance, ControlChangesReactivationAndOddValuesSoundAsTheVstBuild)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<Step> steps = {
        run(300),
        // Changes between runs, and a host splitting its period at a change.
        set(0, 0.95f),
        run(37),
        set(0, 0.2f),
        run(1),
        run(200, true),
        set(1, 0.9f),
        set(2, 0.25f),
        run(512),
        // Values beyond the hints behave as in the VST build; non-finite ones are ignored.
        set(0, 1.7f),
        set(1, -0.5f),
        run(256),
        set(0, nan),
        set(2, inf),
        run(100),
        set(1, -inf),
        set(2, 0.7f),
        run(100, true),
        // Bypass on and off again, then the host stops and restarts processing.
        set(3, 1.0f),
        run(64),
        set(3, 0.0f),
        run(300),
        {Step::kDeactivate},
        {Step::kActivate},
        run(400),
        {Step::kDeactivate},
        set(0, 0.5f),
        {Step::kActivate},
        run(4096, true)};
    expectSameSamples(play(steps, 44100.0), "at 44100 Hz");
}

TEST(Lv2Instance, RunsWithAnAudioPortNotConnectedTouchNothing)
{
    Lv2Instance lv2(44100.0);
    ASSERT_TRUE(lv2.valid());
    lilv_instance_activate(lv2.get());
    std::vector<float> output(64, 7.0f);
    lilv_instance_connect_port(lv2.get(), lv2port::kAudioOut, output.data());
    lilv_instance_run(lv2.get(), 64);
    EXPECT_EQ(output, std::vector<float>(64, 7.0f));
    lilv_instance_deactivate(lv2.get());
}

TEST(Lv2Bundle, DescribesThePortsAndTheProgramsOfTheEffect)
{
    const LilvPlugin* plugin = Lv2Bundle::shared().plugin();
    ASSERT_NE(plugin, nullptr);
    LilvWorld* world = Lv2Bundle::shared().world();
    PluginInstance vst;
    ASSERT_EQ(lilv_plugin_get_num_ports(plugin), lv2port::kFirstControl + lv2port::kNumControls);
    ASSERT_EQ(static_cast<uint32_t>(vst.record->numParams), lv2port::kNumControls);

    float minimum[6];
    float maximum[6];
    float defaults[6];
    lilv_plugin_get_port_ranges_float(plugin, minimum, maximum, defaults);
    LilvNode* toggled = lilv_new_uri(world, LV2_CORE__toggled);
    for (uint32_t i = 0; i < lv2port::kNumControls; ++i)
    {
        const uint32_t port = lv2port::kFirstControl + i;
        EXPECT_EQ(defaults[port], vst.record->getParameter(vst.record, static_cast<VstInt32>(i)));
        EXPECT_EQ(minimum[port], 0.0f);
        EXPECT_EQ(maximum[port], 1.0f);
        char name[64] = {};
        vst.dispatch(effGetParamName, static_cast<VstInt32>(i), 0, name);
        LilvNode* portName =
            lilv_port_get_name(plugin, lilv_plugin_get_port_by_index(plugin, port));
        EXPECT_STREQ(lilv_node_as_string(portName), name);
        lilv_node_free(portName);
        // A toggle because the table says so, whatever its place.
        const bool toggle = dranvelor::kParameters[i].role == dranvelor::ParameterRole::toggle;
        EXPECT_EQ(
            lilv_port_has_property(plugin, lilv_plugin_get_port_by_index(plugin, port), toggled),
            toggle)
            << name;
    }
    lilv_node_free(toggled);

    // Every program as a preset of its name and its four values.
    LilvNode* presetClass = lilv_new_uri(world, LV2_PRESETS__Preset);
    std::vector<std::string> uris;
    LV2_URID_Map map{&uris,
                     [](LV2_URID_Map_Handle handle, const char* uri) -> LV2_URID
                     {
                         auto* known = static_cast<std::vector<std::string>*>(handle);
                         const auto index =
                             std::find(known->begin(), known->end(), uri) - known->begin();
                         if (index == static_cast<std::ptrdiff_t>(known->size()))
                             known->push_back(uri);
                         return static_cast<LV2_URID>(index) + 1;
                     }};
    // One preset for each distinct program: the same name and values make the same preset.
    std::vector<std::pair<std::string, std::vector<float>>> distinct;
    for (VstInt32 program = 0; program < vst.record->numPrograms; ++program)
    {
        vst.dispatch(effSetProgram, 0, program);
        char name[64] = {};
        vst.dispatch(effGetProgramName, 0, 0, name);
        std::pair<std::string, std::vector<float>> entry{name, {}};
        for (VstInt32 i = 0; i < vst.record->numParams; ++i)
            entry.second.push_back(vst.record->getParameter(vst.record, i));
        if (std::find(distinct.begin(), distinct.end(), entry) == distinct.end())
            distinct.push_back(entry);
    }
    LilvNodes* presets = lilv_plugin_get_related(plugin, presetClass);
    EXPECT_EQ(lilv_nodes_size(presets), distinct.size());
    LILV_FOREACH(nodes, it, presets)
    {
        const LilvNode* preset = lilv_nodes_get(presets, it);
        const std::string uri = lilv_node_as_uri(preset);
        const int program = std::stoi(uri.substr(uri.size() - 2)) - 1;
        vst.dispatch(effSetProgram, 0, program);
        char name[64] = {};
        vst.dispatch(effGetProgramName, 0, 0, name);
        lilv_world_load_resource(world, preset);
        LilvState* state = lilv_state_new_from_world(world, &map, preset);
        ASSERT_NE(state, nullptr) << uri;
        EXPECT_STREQ(lilv_state_get_label(state), name) << uri;
        EXPECT_EQ(lilv_state_get_num_properties(state), 0u);
        struct Check
        {
            PluginInstance* vst;
            int values = 0;
        } check{&vst};
        lilv_state_emit_port_values(
            state,
            [](const char* symbol, void* data, const void* value, uint32_t size, uint32_t)
            {
                auto* seen = static_cast<Check*>(data);
                for (uint32_t i = 0; i < lv2port::kNumControls; ++i)
                {
                    if (std::strcmp(symbol, dranvelor::kParameters[i].symbol) != 0)
                        continue;
                    ASSERT_EQ(size, sizeof(float));
                    EXPECT_EQ(*static_cast<const float*>(value),
                              seen->vst->record->getParameter(seen->vst->record,
                                                              static_cast<VstInt32>(i)))
                        << symbol;
                    ++seen->values;
                }
            },
            &check);
        EXPECT_EQ(check.values, static_cast<int>(lv2port::kNumControls)) << uri;
        lilv_state_free(state);
    }
    lilv_nodes_free(presets);
    lilv_node_free(presetClass);
}

} // namespace
