// The Dranvelor overdrive effect: the parameters of the table, a live bank of 16 programs and the
// identity hosts see. Audio goes straight to the engine.
#pragma once

#include "dsp/overdrive_processor.h"
#include "effect/cklv_program.h"
#include "effect/parameters.h"
#include "host/audio_effect_x.h"

#include <array>

constexpr VstInt32 kNumPrograms = 16;
constexpr VstInt32 kNumParams = dranvelor::kNumParameters;

class CKLV : public AudioEffectX
{
public:
    explicit CKLV(audioMasterCallback master);
    ~CKLV() override = default;

    void suspend() override;
    void setSampleRate(float rate) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) override;
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override;
    VstPlugCategory getPlugCategory() override { return kPlugCategEffect; }

protected:
    OverdriveProcessor engine;

private:
    void applyCurrentProgram();

    // The effect's own copy of the current values; the display texts are made from it.
    std::array<float, kNumParams> values{};
    std::array<CKLVProgram, kNumPrograms> programs;
};
