#include "lv2/plugin_ui.h"

#include "editor/cklv_editor.h"

#include <cstdint>

namespace
{

constexpr const char* kWindowTitle = "Dranvelor";

} // namespace

PluginUi::PluginUi(LV2UI_Write_Function write, LV2UI_Controller controller,
                   const HostFeatures& features)
    : host(features),
      effect(new PortModelEffect(write, controller, features.touch,
                                 [this](int width, int height) { return resize(width, height); })),
      editor(nullptr)
{
    try
    {
        editor = new CKLVEditor(effect);
        effect->setEditor(editor);
        if (features.scaleFactor > 0.0f)
            editor->setContentScale(features.scaleFactor);
    }
    catch (...)
    {
        delete effect;
        throw;
    }
}

PluginUi::~PluginUi()
{
    closeWindow();
    delete effect;
}

bool PluginUi::embed()
{
    const auto parent = static_cast<::Window>(reinterpret_cast<uintptr_t>(host.parent));
    return parent && openIn(parent, nullptr);
}

void* PluginUi::widget() const
{
    return window && host.parent ? reinterpret_cast<void*>(static_cast<uintptr_t>(window->id()))
                                 : nullptr;
}

bool PluginUi::openIn(::Window parent, const char* title)
{
    ERect* size = nullptr;
    editor->getRect(&size);
    const int width = size->right - size->left;
    const int height = size->bottom - size->top;
    window = HostWindow::create(parent, width, height, title);
    if (!window)
        return false;
    editor->open(reinterpret_cast<void*>(static_cast<uintptr_t>(window->id())));
    if (host.resize)
        host.resize->ui_resize(host.resize->handle, width, height);
    return true;
}

bool PluginUi::resize(int width, int height)
{
    if (!window)
        return false;
    window->resize(width, height);
    if (host.resize)
        host.resize->ui_resize(host.resize->handle, width, height);
    return true;
}

void PluginUi::closeWindow()
{
    // The frame's window is a child of ours and goes first.
    editor->close();
    window.reset();
}

void PluginUi::portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
    // Control ports only, as plain floats.
    if (format != 0 || size != sizeof(float) || !buffer)
        return;
    effect->portEvent(port, *static_cast<const float*>(buffer));
}

int PluginUi::idle()
{
    if (window && !host.parent && window->closeRequested())
    {
        closeWindow();
        return 1;
    }
    editor->idle();
    return 0;
}

int PluginUi::show()
{
    if (host.parent)
        return 1;
    if (window)
    {
        window->raise();
        return 0;
    }
    return openIn(0, kWindowTitle) ? 0 : 1;
}

int PluginUi::hide()
{
    if (!host.parent)
        closeWindow();
    return 0;
}
