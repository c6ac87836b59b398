// The built bundle loaded through lilv, as LV2 hosts load it, and instances of its plug-in with
// their ports connected to buffers of the test's own.
#pragma once

#include "lv2/ports.h"

#include <lilv/lilv.h>

#include <cstdint>

#include <string>

class Lv2Bundle
{
public:
    // One world per program, loaded from the bundle alone.
    static Lv2Bundle& shared()
    {
        static Lv2Bundle bundle(DRANVELOR_LV2_BUNDLE "/");
        return bundle;
    }

    LilvWorld* world() const { return lilvWorld; }
    const LilvPlugin* plugin() const { return lilvPlugin; }

private:
    explicit Lv2Bundle(const std::string& folder) : lilvWorld(lilv_world_new())
    {
        LilvNode* bundleUri = lilv_new_file_uri(lilvWorld, nullptr, folder.c_str());
        lilv_world_load_bundle(lilvWorld, bundleUri);
        lilv_node_free(bundleUri);
        LilvNode* pluginUri = lilv_new_uri(lilvWorld, lv2port::kPluginUri);
        lilvPlugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(lilvWorld), pluginUri);
        lilv_node_free(pluginUri);
    }

    LilvWorld* lilvWorld;
    const LilvPlugin* lilvPlugin = nullptr;
};

// An instance of the plug-in with its control ports held here.
class Lv2Instance
{
public:
    explicit Lv2Instance(double rate)
        : instance(lilv_plugin_instantiate(Lv2Bundle::shared().plugin(), rate, nullptr))
    {
        if (!instance)
            return;
        float defaults[lv2port::kFirstControl + lv2port::kNumControls];
        lilv_plugin_get_port_ranges_float(Lv2Bundle::shared().plugin(), nullptr, nullptr, defaults);
        for (uint32_t i = 0; i < lv2port::kNumControls; ++i)
        {
            controls[i] = defaults[lv2port::kFirstControl + i];
            lilv_instance_connect_port(instance, lv2port::kFirstControl + i, &controls[i]);
        }
    }
    ~Lv2Instance()
    {
        if (instance)
            lilv_instance_free(instance);
    }
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    bool valid() const { return instance != nullptr; }
    LilvInstance* get() const { return instance; }

    // The control ports, starting at the description's defaults.
    float controls[lv2port::kNumControls] = {};

    void run(const float* input, float* output, uint32_t frames)
    {
        lilv_instance_connect_port(instance, lv2port::kAudioIn, const_cast<float*>(input));
        lilv_instance_connect_port(instance, lv2port::kAudioOut, output);
        lilv_instance_run(instance, frames);
    }

private:
    LilvInstance* instance;
};
