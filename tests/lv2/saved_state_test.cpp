// What hosts saved with the first release's bundle loads into this one: a session's state and a
// user preset (both written by lilv's state API, as hosts write them; see tests/lv2/saved/) give
// back the same port values on the same ports, and the bundle's first preset keeps its URI and
// the defaults.
#include "lv2_bundle.h"

#include <gtest/gtest.h>
#include <lv2/presets/presets.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace
{

using Values = std::map<std::string, float>;

class SavedState : public ::testing::Test
{
protected:
    LilvWorld* world() const { return Lv2Bundle::shared().world(); }
    const LilvPlugin* plugin() const { return Lv2Bundle::shared().plugin(); }

    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri)
    {
        auto* known = static_cast<std::vector<std::string>*>(handle);
        const auto index = std::find(known->begin(), known->end(), uri) - known->begin();
        if (index == static_cast<std::ptrdiff_t>(known->size()))
            known->push_back(uri);
        return static_cast<LV2_URID>(index) + 1;
    }

    static Values valuesOf(const LilvState* state)
    {
        Values values;
        lilv_state_emit_port_values(
            state,
            [](const char* symbol, void* data, const void* value, uint32_t size, uint32_t)
            {
                if (size == sizeof(float))
                    (*static_cast<Values*>(data))[symbol] = *static_cast<const float*>(value);
            },
            &values);
        return values;
    }

    // The state restored into an instance of this bundle's plug-in, as a host restores it: each
    // value through the port its symbol names now; read back from the ports by their index.
    Values restored(const LilvState* state)
    {
        Lv2Instance instance(48000.0);
        EXPECT_TRUE(instance.valid());
        struct Target
        {
            const LilvPlugin* plugin;
            LilvWorld* world;
            Lv2Instance* instance;
        } target{plugin(), world(), &instance};
        lilv_state_restore(
            state, instance.get(),
            [](const char* symbol, void* data, const void* value, uint32_t size, uint32_t)
            {
                auto* to = static_cast<Target*>(data);
                LilvNode* name = lilv_new_string(to->world, symbol);
                const LilvPort* port = lilv_plugin_get_port_by_symbol(to->plugin, name);
                lilv_node_free(name);
                ASSERT_NE(port, nullptr) << symbol;
                ASSERT_EQ(size, sizeof(float)) << symbol;
                const uint32_t index = lilv_port_get_index(to->plugin, port);
                ASSERT_TRUE(lv2port::isControl(index)) << symbol;
                to->instance->controls[index - lv2port::kFirstControl] =
                    *static_cast<const float*>(value);
            },
            &target, 0, nullptr);
        Values values;
        for (const dranvelor::ParameterInfo& info : dranvelor::kParameters)
            values[info.symbol] = instance.controls[info.index];
        return values;
    }

    LilvState* loadFile(const std::string& path)
    {
        return lilv_state_new_from_file(world(), &map, nullptr, path.c_str());
    }

    // The preset of this URI among the plug-in's presets, loaded; null when it is not one.
    LilvState* preset(const char* uri)
    {
        LilvNode* presetClass = lilv_new_uri(world(), LV2_PRESETS__Preset);
        LilvNodes* presets = lilv_plugin_get_related(plugin(), presetClass);
        LilvNode* node = lilv_new_uri(world(), uri);
        LilvState* state = nullptr;
        if (lilv_nodes_contains(presets, node))
        {
            lilv_world_load_resource(world(), node);
            state = lilv_state_new_from_world(world(), &map, node);
        }
        lilv_node_free(node);
        lilv_nodes_free(presets);
        lilv_node_free(presetClass);
        return state;
    }

    std::vector<std::string> uris;
    LV2_URID_Map map{&uris, mapUri};
};

TEST_F(SavedState, ASessionSavedByTheFirstReleaseComesBackOnTheSamePorts)
{
    ASSERT_NE(plugin(), nullptr);
    LilvState* state = loadFile(DRANVELOR_SAVED_DIR "/session.lv2/state.ttl");
    ASSERT_NE(state, nullptr);
    const Values saved{{"drive", 0.8125f}, {"tone", 0.3f}, {"level", 0.675f}, {"bypass", 1.0f}};
    EXPECT_EQ(valuesOf(state), saved);
    EXPECT_EQ(restored(state), saved);
    // The ports were in this order then; sessions that kept indexes still find them.
    for (const auto& [symbol, value] : saved)
    {
        LilvNode* name = lilv_new_string(world(), symbol.c_str());
        const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin(), name);
        lilv_node_free(name);
        ASSERT_NE(port, nullptr);
        EXPECT_EQ(lilv_port_get_index(plugin(), port),
                  lv2port::kFirstControl +
                      static_cast<uint32_t>(dranvelor::findParameter(symbol)->index));
    }
    lilv_state_free(state);
}

TEST_F(SavedState, AUserPresetAndTheBundlesFirstPresetLoadAsTheyWere)
{
    ASSERT_NE(plugin(), nullptr);
    // The bundle's own presets, before the user's is known to the world.
    LilvState* defaults = preset("urn:ostravelk:dranvelor#preset01");
    ASSERT_NE(defaults, nullptr);
    EXPECT_STREQ(lilv_state_get_label(defaults), "Default");
    EXPECT_EQ(restored(defaults),
              (Values{{"drive", 0.5f}, {"tone", 0.5f}, {"level", 0.5f}, {"bypass", 0.0f}}));
    lilv_state_free(defaults);

    // The user's preset, in a bundle of its own as hosts keep them.
    LilvNode* userBundle = lilv_new_file_uri(world(), nullptr, DRANVELOR_SAVED_DIR "/preset.lv2/");
    lilv_world_load_bundle(world(), userBundle);
    lilv_node_free(userBundle);
    LilvState* user = preset("urn:ostravelk:dranvelor-test#edge");
    ASSERT_NE(user, nullptr);
    EXPECT_STREQ(lilv_state_get_label(user), "Edge");
    const Values saved{{"drive", 0.123456789f}, {"tone", 0.9f}, {"level", 0.25f}, {"bypass", 0.0f}};
    EXPECT_EQ(valuesOf(user), saved);
    EXPECT_EQ(restored(user), saved);
    lilv_state_free(user);
}

} // namespace
