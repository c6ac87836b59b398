// The program as the effect's host: the effect with its editor, and the answers to the effect's
// calls (rate, block size, vendor, and the window size the editor asks for).
#pragma once

#include "host/vst_interface.h"

#include <functional>
#include <memory>

class CKLV;
class CKLVEditor;

namespace standalone
{

class EffectHost
{
public:
    // One host answers the effect's calls at a time.
    explicit EffectHost(double sampleRate);
    ~EffectHost();
    EffectHost(const EffectHost&) = delete;
    EffectHost& operator=(const EffectHost&) = delete;

    CKLV& effect() { return *plugin; }
    CKLVEditor& editor() { return *window; }

    // Resizes the editor's part of the window (device pixels); empty while no window shows.
    std::function<bool(int width, int height)> sizeWindow;

private:
    static VstIntPtr VSTCALLBACK callback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                          VstIntPtr value, void* ptr, float opt);
    VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr);

    double rate;
    std::unique_ptr<CKLV> plugin;
    CKLVEditor* window = nullptr; // owned by the effect
};

} // namespace standalone
