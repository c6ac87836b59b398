// The LV2 plug-in instance: the effect the VST entry creates, on a host record of its own. The
// host's control ports become setParameter calls, its audio ports the replacing process call.
#pragma once

#include "host/vst_interface.h"
#include "lv2/ports.h"

#include <cstdint>

class DspInstance
{
public:
    // The effect at the given rate; throws when it cannot be made.
    explicit DspInstance(double sampleRate);
    ~DspInstance();
    DspInstance(const DspInstance&) = delete;
    DspInstance& operator=(const DspInstance&) = delete;

    void connectPort(uint32_t port, void* data);
    void activate();
    void deactivate();
    // Audio thread: no allocation, lock or system call.
    void run(uint32_t frames);

private:
    void sendChangedControls();

    AEffect* effect;
    const float* input = nullptr;
    float* output = nullptr;
    const float* controls[lv2port::kNumControls] = {};
    // What the effect was last given; a port holding the same value is not sent again.
    float sent[lv2port::kNumControls] = {};
    bool active = false;
};
