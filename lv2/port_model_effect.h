// The effect the LV2 window's editor talks to: it holds the values the host last reported for
// the control ports, and turns the editor's automation and gestures into port writes and
// touches. The sound lives in the DSP instance, which this side never reaches.
#pragma once

#include "host/audio_effect_x.h"
#include "lv2/ports.h"

#include <lv2/ui/ui.h>

#include <functional>

class PortModelEffect : public AudioEffectX
{
public:
    // Resizes the window the editor lives in; answers whether it did.
    using Resizer = std::function<bool(int width, int height)>;

    // touch may be null: the host offers no gestures.
    PortModelEffect(LV2UI_Write_Function write, LV2UI_Controller controller,
                    const LV2UI_Touch* touch, Resizer resizer);

    // The host reported a port's value: shown in the window, never written back.
    void portEvent(uint32_t port, float value);

    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void setParameterAutomated(VstInt32 index, float value) override;
    bool beginEdit(VstInt32 index) override;
    bool endEdit(VstInt32 index) override;
    // The window follows the editor's size: it is ours, and the host hears of it by ui:resize.
    bool canHostDo(const char* text) override;
    bool sizeWindow(VstInt32 width, VstInt32 height) override;

private:
    bool touch(VstInt32 index, bool grabbed);

    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    const LV2UI_Touch* touchFeature;
    Resizer resizer;
    float values[lv2port::kNumControls];
};
