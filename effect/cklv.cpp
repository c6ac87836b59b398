#include "effect/cklv.h"

#include "dranvelor_version.h"
#include "editor/cklv_editor.h"

#include <cmath>
#include <cstring>

namespace
{

constexpr VstInt32 kDisplayLength = 8;
constexpr VstInt32 kMaxNameCharacters = kVstMaxProgNameLen - 1;

// The engine knows only whole rates. A rate no 32-bit integer can hold becomes 0, which the
// engine passes through like any other rate it does not know.
VstInt32 truncatedRate(double rate)
{
    if (!(rate > -2147483649.0 && rate < 2147483648.0))
        return 0;
    return static_cast<VstInt32>(rate);
}

bool isParameter(VstInt32 index)
{
    return index >= 0 && index < kNumParams;
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

    // Last, on the complete effect: the editor reads the parameters when its window opens.
    setEditor(new CKLVEditor(this));
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
    CKLVProgram& program = programs[static_cast<size_t>(curProgram)];
    switch (index)
    {
    case kDrive:
        program.fDrive = fDrive = value;
        break;
    case kTone:
        program.fTone = fTone = value;
        break;
    case kLevel:
        program.fLevel = fLevel = value;
        break;
    case kBypass:
        program.fBypass = fBypass = value;
        break;
    default:
        break;
    }
    engine.setParameter(index, value);
    if (editor)
        static_cast<AEffGUIEditor*>(editor)->setParameter(index, value);
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
    setParameter(kDrive, program.fDrive);
    setParameter(kTone, program.fTone);
    setParameter(kLevel, program.fLevel);
    setParameter(kBypass, program.fBypass);
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
    static const char* const names[kNumParams] = {"Drive", "Tone", "Level", "Bypass"};
    if (isParameter(index))
        std::strcpy(text, names[index]);
}

void CKLV::getParameterLabel(VstInt32 index, char* label)
{
    if (isParameter(index))
        std::strcpy(label, index == kBypass ? " " : "Level");
}

void CKLV::getParameterDisplay(VstInt32 index, char* text)
{
    switch (index)
    {
    case kDrive:
        float2string(fDrive * 10.0f, text, kDisplayLength);
        break;
    case kTone:
        float2string(fTone * 10.0f, text, kDisplayLength);
        break;
    case kLevel:
        float2string(fLevel * 10.0f, text, kDisplayLength);
        break;
    case kBypass:
        std::strcpy(text, fBypass != 0.0f ? "On" : "Off");
        break;
    default:
        break;
    }
}

bool CKLV::getEffectName(char* name)
{
    std::strcpy(name, "Dranvelor");
    return true;
}

bool CKLV::getVendorString(char* text)
{
    std::strcpy(text, "Ostravelk");
    return true;
}

bool CKLV::getProductString(char* text)
{
    std::strcpy(text, "Morvandell");
    return true;
}

VstInt32 CKLV::getVendorVersion()
{
    return DRANVELOR_VENDOR_VERSION;
}
