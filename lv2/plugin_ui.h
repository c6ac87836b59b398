// The LV2 window: the plug-in's editor over a port model of its own, embedded in the host's
// window or shown in a top-level one. Every call comes on the host's UI thread.
#pragma once

#include "lv2/host_window.h"
#include "lv2/port_model_effect.h"

#include <memory>

class CKLVEditor;

class PluginUi
{
public:
    struct HostFeatures
    {
        void* parent = nullptr; // the window to embed in, if the host offers one
        const LV2UI_Resize* resize = nullptr;
        const LV2UI_Touch* touch = nullptr;
        float scaleFactor = 0.0f; // the host's ui:scaleFactor; 0: none, the screen's then
    };

    PluginUi(LV2UI_Write_Function write, LV2UI_Controller controller, const HostFeatures& features);
    ~PluginUi();
    PluginUi(const PluginUi&) = delete;
    PluginUi& operator=(const PluginUi&) = delete;

    // Opens the editor in the host's window; false when that is no window.
    bool embed();
    // The widget handed to the host: the embedded window's id, or null.
    void* widget() const;

    void portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);
    // Events and redraws; non-zero once the top-level window was closed.
    int idle();
    // The top-level window; non-zero when it cannot be shown.
    int show();
    int hide();

private:
    bool openIn(::Window parent, const char* title);
    // The editor asks for another size when its scale changes.
    bool resize(int width, int height);
    void closeWindow();

    HostFeatures host;
    PortModelEffect* effect; // deletes the editor
    CKLVEditor* editor;
    std::unique_ptr<HostWindow> window;
};
