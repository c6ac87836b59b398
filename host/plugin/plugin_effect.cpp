#include "host/plugin/plugin_effect.h"

#include "editor/cklv_editor.h"

#include <memory>

AudioEffect* createPluginEffect(audioMasterCallback host)
{
    std::unique_ptr<AudioEffect> effect(createEffectInstance(host));
    if (!effect)
        return nullptr;
    // On the complete effect, before the host sees it: hosts read the editor flag at once, and the
    // editor reads the parameters when its window opens. The effect deletes its editor.
    effect->setEditor(new CKLVEditor(effect.get()));
    return effect.release();
}
