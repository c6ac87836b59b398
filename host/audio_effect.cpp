#include "host/audio_effect.h"

#include <cstring>

namespace
{

AudioEffect* effectOf(AEffect* record)
{
    return static_cast<AudioEffect*>(record->object);
}

// A host that passes no text or record where the opcode needs one gets 0 and nothing is
// touched: answering beats crashing inside the host's process.
bool lacksRequiredPointer(VstInt32 opcode, VstIntPtr value, void* ptr)
{
    switch (opcode)
    {
    case effSetSpeakerArrangement:
    case effGetSpeakerArrangement:
        return value == 0 || ptr == nullptr;
    case effSetProgramName:
    case effGetProgramName:
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
    case effEditGetRect:
    case effGetChunk:
    case effSetChunk:
    case effProcessEvents:
    case effString2Parameter:
    case effGetProgramNameIndexed:
    case effGetInputProperties:
    case effGetOutputProperties:
    case effOfflineNotify:
    case effOfflinePrepare:
    case effOfflineRun:
    case effProcessVarIo:
    case effGetEffectName:
    case effGetErrorText:
    case effGetVendorString:
    case effGetProductString:
    case effCanDo:
    case effGetParameterProperties:
    case effGetMidiProgramName:
    case effGetMidiProgramCategory:
    case effGetMidiKeyName:
    case effShellGetNextPlugin:
    case effBeginLoadBank:
    case effBeginLoadProgram:
        return ptr == nullptr;
    default:
        return false;
    }
}

VstIntPtr VSTCALLBACK dispatchEntry(AEffect* record, VstInt32 opcode, VstInt32 index,
                                    VstIntPtr value, void* ptr, float opt)
{
    if (lacksRequiredPointer(opcode, value, ptr))
        return 0;
    AudioEffect* effect = effectOf(record);
    const VstIntPtr answer = effect->dispatcher(opcode, index, value, ptr, opt);
    if (opcode == effClose)
    {
        delete effect;
        return 1;
    }
    return answer;
}

void VSTCALLBACK processEntry(AEffect* record, float** inputs, float** outputs,
                              VstInt32 sampleFrames)
{
    effectOf(record)->process(inputs, outputs, sampleFrames);
}

void VSTCALLBACK processReplacingEntry(AEffect* record, float** inputs, float** outputs,
                                       VstInt32 sampleFrames)
{
    effectOf(record)->processReplacing(inputs, outputs, sampleFrames);
}

void VSTCALLBACK processDoubleReplacingEntry(AEffect* record, double** inputs, double** outputs,
                                             VstInt32 sampleFrames)
{
    effectOf(record)->processDoubleReplacing(inputs, outputs, sampleFrames);
}

void VSTCALLBACK setParameterEntry(AEffect* record, VstInt32 index, float value)
{
    effectOf(record)->setParameter(index, value);
}

float VSTCALLBACK getParameterEntry(AEffect* record, VstInt32 index)
{
    return effectOf(record)->getParameter(index);
}

} // namespace

AudioEffect::AudioEffect(audioMasterCallback master, VstInt32 programCount, VstInt32 paramCount)
    : audioMaster(master), numPrograms(programCount), numParams(paramCount)
{
    std::memset(&cEffect, 0, sizeof cEffect);
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEntry;
    cEffect.process = processEntry;
    cEffect.setParameter = setParameterEntry;
    cEffect.getParameter = getParameterEntry;
    cEffect.numPrograms = programCount;
    cEffect.numParams = paramCount;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.flags = effFlagsCanReplacing;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = fourCharCode('N', 'o', 'E', 'f');
    cEffect.version = 1;
    cEffect.processReplacing = processReplacingEntry;
    cEffect.processDoubleReplacing = processDoubleReplacingEntry;
}

AudioEffect::~AudioEffect()
{
    delete editor;
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt)
{
    char* text = static_cast<char*>(ptr);
    switch (opcode)
    {
    case effOpen:
        open();
        break;
    case effClose:
        close();
        break;
    case effSetProgram:
        // A negative value would otherwise wrap into a valid-looking 32-bit index.
        if (value >= 0 && value < numPrograms)
            setProgram(static_cast<VstInt32>(value));
        break;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        setProgramName(text);
        break;
    case effGetProgramName:
        getProgramName(text);
        break;
    case effGetParamLabel:
        getParameterLabel(index, text);
        break;
    case effGetParamDisplay:
        getParameterDisplay(index, text);
        break;
    case effGetParamName:
        getParameterName(index, text);
        break;
    case effGetVu:
        return static_cast<VstIntPtr>(getVu() * 32767.0);
    case effSetSampleRate:
        setSampleRate(opt);
        break;
    case effSetBlockSize:
        setBlockSize(static_cast<VstInt32>(value));
        break;
    case effMainsChanged:
        if (value != 0)
            resume();
        else
            suspend();
        break;
    case effEditGetRect:
        return editor && editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
    case effEditOpen:
        return editor && editor->open(ptr) ? 1 : 0;
    case effEditClose:
        if (editor)
            editor->close();
        break;
    case effEditIdle:
        if (editor)
            editor->idle();
        break;
    case effIdentify:
        return fourCharCode('N', 'v', 'E', 'f');
    case effGetChunk:
        return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk:
        return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default:
        break;
    }
    return 0;
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value)
{
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

VstInt32 AudioEffect::getMasterVersion()
{
    return static_cast<VstInt32>(callHost(audioMasterVersion));
}

VstInt32 AudioEffect::getCurrentUniqueId()
{
    return static_cast<VstInt32>(callHost(audioMasterCurrentId));
}

void AudioEffect::masterIdle()
{
    callHost(audioMasterIdle);
}

// The host answers 0 for a connected pin.
bool AudioEffect::isInputConnected(VstInt32 input)
{
    return audioMaster && callHost(audioMasterPinConnected, input, 0) == 0;
}

bool AudioEffect::isOutputConnected(VstInt32 output)
{
    return audioMaster && callHost(audioMasterPinConnected, output, 1) == 0;
}

void AudioEffect::setEditor(AEffEditor* newEditor)
{
    editor = newEditor;
    setFlag(effFlagsHasEditor, newEditor != nullptr);
}

void AudioEffect::setFlag(VstInt32 flag, bool state)
{
    if (state)
        cEffect.flags |= flag;
    else
        cEffect.flags &= ~flag;
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt)
{
    return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}
