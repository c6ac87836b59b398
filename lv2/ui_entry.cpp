// The UI binary's one export: the window's descriptor.
#include "lv2/plugin_ui.h"

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <cstring>

namespace
{

PluginUi* uiOf(LV2UI_Handle handle)
{
    return static_cast<PluginUi*>(handle);
}

// The host's ui:scaleFactor option, a float; 0 when it gives none.
float scaleFactor(const LV2_Options_Option* options, const LV2_URID_Map* map)
{
    if (!options || !map)
        return 0.0f;
    const LV2_URID key = map->map(map->handle, LV2_UI__scaleFactor);
    const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
    for (const LV2_Options_Option* option = options; option->key != 0 || option->value; ++option)
        if (option->key == key && option->type == floatType && option->size == sizeof(float) &&
            option->value)
        {
            const float factor = *static_cast<const float*>(option->value);
            return std::isfinite(factor) && factor > 0.0f ? factor : 0.0f;
        }
    return 0.0f;
}

PluginUi::HostFeatures hostFeatures(const LV2_Feature* const* features)
{
    PluginUi::HostFeatures found;
    const LV2_Options_Option* options = nullptr;
    const LV2_URID_Map* map = nullptr;
    for (const LV2_Feature* const* feature = features; feature && *feature; ++feature)
    {
        const char* uri = (*feature)->URI;
        void* data = (*feature)->data;
        if (std::strcmp(uri, LV2_UI__parent) == 0)
            found.parent = data;
        else if (std::strcmp(uri, LV2_UI__resize) == 0)
            found.resize = static_cast<const LV2UI_Resize*>(data);
        else if (std::strcmp(uri, LV2_UI__touch) == 0)
            found.touch = static_cast<const LV2UI_Touch*>(data);
        else if (std::strcmp(uri, LV2_OPTIONS__options) == 0)
            options = static_cast<const LV2_Options_Option*>(data);
        else if (std::strcmp(uri, LV2_URID__map) == 0)
            map = static_cast<const LV2_URID_Map*>(data);
    }
    found.scaleFactor = scaleFactor(options, map);
    return found;
}

LV2UI_Handle instantiate(const LV2UI_Descriptor* /*descriptor*/, const char* /*pluginUri*/,
                         const char* /*bundle*/, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features)
{
    // No exception may unwind into the host: a failed construction is simply no UI.
    try
    {
        const PluginUi::HostFeatures host = hostFeatures(features);
        auto* ui = new PluginUi(write, controller, host);
        if (host.parent && !ui->embed())
        {
            delete ui;
            return nullptr;
        }
        *widget = ui->widget();
        return ui;
    }
    catch (...)
    {
        return nullptr;
    }
}

void cleanup(LV2UI_Handle handle)
{
    delete uiOf(handle);
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format,
               const void* buffer)
{
    uiOf(handle)->portEvent(port, size, format, buffer);
}

int idle(LV2UI_Handle handle)
{
    return uiOf(handle)->idle();
}

int show(LV2UI_Handle handle)
{
    return uiOf(handle)->show();
}

int hide(LV2UI_Handle handle)
{
    return uiOf(handle)->hide();
}

const LV2UI_Idle_Interface idleInterface = {idle};
const LV2UI_Show_Interface showInterface = {show, hide};

const void* extensionData(const char* uri)
{
    if (std::strcmp(uri, LV2_UI__idleInterface) == 0)
        return &idleInterface;
    if (std::strcmp(uri, LV2_UI__showInterface) == 0)
        return &showInterface;
    return nullptr;
}

const LV2UI_Descriptor descriptor = {lv2port::kUiUri, instantiate, cleanup, portEvent,
                                     extensionData};

} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)
{
    return index == 0 ? &descriptor : nullptr;
}
