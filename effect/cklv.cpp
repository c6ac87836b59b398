#include "effect/cklv.h"

#include "dranvelor_version.h"
#include "effect/identity.h"

#include <cmath>
#include <cstring>

namespace
{

using dranvelor::kParameters;

// The engine takes the table's indexes as its control numbers.
constexpr bool sameIndex(OverdriveProcessor::Control control, dranvelor::ParameterIndex index)
{
    return static_cast<int32_t>(control) == static_cast<int32_t>(index);
}
static_assert(sameIndex(OverdriveProcessor::kDrive, dranvelor::kDrive) &&
                  sameIndex(OverdriveProcessor::kTone, dranvelor::kTone) &&
                  sameIndex(OverdriveProcessor::kLevel, dranvelor::kLevel) &&
                  sameIndex(OverdriveProcessor::kBypass, dranvelor::kBypass),
              "the engine's controls follow the parameter table");

constexpr VstInt32 kMaxNameCharacters = kVstMaxProgNameLen - 1;

// The engine knows only whole rates. A rate no 32-bit integer can hold becomes 0, which the
// engine passes through like any other rate it does not know.
VstInt32 truncatedRate(double rate)
{
    if (!(rate > -2147483649.0 && rate < 2147483648.0))
        return 0;
    return static_cast<VstInt32>(rate);
}

} // namespace

AudioEffect* createEffectInstance(audioMasterCallback audioMaster)
{
    return new CKLV(audioMaster);
}

CKLV::CKLV(audioMasterCallback master) : AudioEffectX(master, kNumPrograms, kNumParams)
{
    setNumInputs(1);
    setNumOutputs(1);
    setUniqueID(fourCharCode('K', 'L', 'V', 'c'));
    canProcessReplacing(true);
    canDoubleReplacing(true);

    const VstInt32 rate = truncatedRate(updateSampleRate());
    sampleRate = static_cast<float>(rate);
    engine.setSampleRate(rate);

    curProgram = 0;
    applyCurrentProgram();
}

void CKLV::suspend()
{
    engine.reset();
}

void CKLV::setSampleRate(float rate)
{
    AudioEffectX::setSampleRate(rate);
    engine.setSampleRate(truncatedRate(rate));
}

void CKLV::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    engine.processFloat(inputs[0], outputs[0], sampleFrames);
}

void CKLV::processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames)
{
    engine.processDouble(inputs[0], outputs[0], sampleFrames);
}

void CKLV::setParameter(VstInt32 index, float value)
{
    // A value that is not a number would poison the program and every later display. Values
    // outside 0..1 are kept as given; the engine keeps its own mapping of them in bounds.
    if (!std::isfinite(value))
        return;
    if (dranvelor::isParameterIndex(index))
    {
        const auto slot = static_cast<size_t>(index);
        programs[static_cast<size_t>(curProgram)].values[slot] = values[slot] = value;
    }
    engine.setParameter(index, value);
    if (editor)
        editor->setParameter(index, value);
}

float CKLV::getParameter(VstInt32 index)
{
    return engine.getParameter(index);
}

void CKLV::setProgram(VstInt32 program)
{
    if (program < 0 || program >= kNumPrograms)
        return;
    curProgram = program;
    applyCurrentProgram();
}

void CKLV::applyCurrentProgram()
{
    // A copy: each setParameter writes its value back into the current program.
    const CKLVProgram program = programs[static_cast<size_t>(curProgram)];
    for (VstInt32 index = 0; index < kNumParams; ++index)
        setParameter(index, program.values[static_cast<size_t>(index)]);
}

void CKLV::setProgramName(char* name)
{
    char* stored = programs[static_cast<size_t>(curProgram)].name;
    std::strncpy(stored, name, kMaxNameCharacters);
    stored[kMaxNameCharacters] = 0;
}

void CKLV::getProgramName(char* name)
{
    std::strcpy(name, programs[static_cast<size_t>(curProgram)].name);
}

bool CKLV::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text)
{
    if (index < 0 || index >= kNumPrograms)
        return false;
    std::strcpy(text, programs[static_cast<size_t>(index)].name);
    return true;
}

void CKLV::getParameterName(VstInt32 index, char* text)
{
    if (dranvelor::isParameterIndex(index))
        std::strcpy(text, kParameters[index].name);
}

void CKLV::getParameterLabel(VstInt32 index, char* label)
{
    if (dranvelor::isParameterIndex(index))
        std::strcpy(label, kParameters[index].label);
}

void CKLV::getParameterDisplay(VstInt32 index, char* text)
{
    if (dranvelor::isParameterIndex(index))
        std::strcpy(
            text,
            dranvelor::displayText(kParameters[index], values[static_cast<size_t>(index)]).c_str());
}

bool CKLV::getEffectName(char* name)
{
    std::strcpy(name, dranvelor::kEffectName);
    return true;
}

bool CKLV::getVendorString(char* text)
{
    std::strcpy(text, dranvelor::kVendorName);
    return true;
}

bool CKLV::getProductString(char* text)
{
    std::strcpy(text, dranvelor::kProductName);
    return true;
}

VstInt32 CKLV::getVendorVersion()
{
    return DRANVELOR_VENDOR_VERSION;
}
