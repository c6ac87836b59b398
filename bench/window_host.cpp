// What both hosts do the same way, through the plug-in's dispatcher.
#include "bench/window_host.h"

namespace
{
constexpr VstInt32 kPresonusId = 0x50726553;    // 'PreS'
constexpr VstIntPtr kContentScale = 0x41654373; // 'AeCs'
} // namespace

void WindowHost::reinstantiate()
{
    dispatch(effClose);
    effect = instantiate();
    dispatch(effOpen);
}

void WindowHost::setContentScale(float scale)
{
    effect->dispatcher(effect, effVendorSpecific, kPresonusId, kContentScale, nullptr, scale);
}

bool WindowHost::painted()
{
    ERect* rect = nullptr;
    dispatch(effEditGetRect, &rect);
    return rect && shows(rect->right - 1, rect->bottom - 1);
}
