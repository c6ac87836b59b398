// Effects and an editor for adapter tests: PlainEffect overrides nothing it need not, SpyEffect
// logs each operation the dispatcher reaches and then answers what the base answers.
#pragma once

#include "host/audio_effect_x.h"

#include <string>
#include <vector>

class PlainEffect : public AudioEffectX
{
public:
    explicit PlainEffect(audioMasterCallback master = nullptr) : AudioEffectX(master, 16, 4) {}
    void processReplacing(float**, float**, VstInt32) override {}
    AEffect& record() { return cEffect; }
    VstInt32 program() const { return curProgram; }
};

class SpyEffect : public PlainEffect
{
public:
    std::vector<std::string> calls;

    void open() override { log("open"); }
    void close() override { log("close"); }
    void suspend() override { log("suspend"); }
    void resume() override { log("resume"); }
    void setSampleRate(float r) override { log("setSampleRate", r), PlainEffect::setSampleRate(r); }
    void setBlockSize(VstInt32 n) override { log("setBlockSize", n), PlainEffect::setBlockSize(n); }
    VstInt32 getProgram() override { return log("getProgram"), PlainEffect::getProgram(); }
    void setProgram(VstInt32 p) override { log("setProgram", p), PlainEffect::setProgram(p); }
    void setProgramName(char*) override { log("setProgramName"); }
    void getProgramName(char* t) override { log("getProgramName"), PlainEffect::getProgramName(t); }
    void getParameterLabel(VstInt32 i, char* t) override
    {
        log("getParameterLabel", i), PlainEffect::getParameterLabel(i, t);
    }
    void getParameterDisplay(VstInt32 i, char* t) override
    {
        log("getParameterDisplay", i), PlainEffect::getParameterDisplay(i, t);
    }
    void getParameterName(VstInt32 i, char* t) override
    {
        log("getParameterName", i), PlainEffect::getParameterName(i, t);
    }
    float getVu() override { return log("getVu"), 0.0f; }
    VstInt32 getChunk(void**, bool preset) override { return log("getChunk", preset), 0; }
    VstInt32 setChunk(void*, VstInt32 size, bool preset) override
    {
        return log("setChunk", size, preset), 0;
    }
    VstInt32 processEvents(VstEvents*) override { return log("processEvents"), 0; }
    bool canParameterBeAutomated(VstInt32 i) override
    {
        return log("canParameterBeAutomated", i), PlainEffect::canParameterBeAutomated(i);
    }
    bool string2parameter(VstInt32 i, char*) override { return log("string2parameter", i), 0; }
    VstInt32 getNumCategories() override { return log("getNumCategories"), 1; }
    bool getProgramNameIndexed(VstInt32 c, VstInt32 i, char*) override
    {
        return log("getProgramNameIndexed", c, i), false;
    }
    bool copyProgram(VstInt32 i) override { return log("copyProgram", i), false; }
    void inputConnected(VstInt32 i, bool s) override { log("inputConnected", i, s); }
    void outputConnected(VstInt32 i, bool s) override { log("outputConnected", i, s); }
    bool getInputProperties(VstInt32 i, VstPinProperties*) override
    {
        return log("getInputProperties", i), false;
    }
    bool getOutputProperties(VstInt32 i, VstPinProperties*) override
    {
        return log("getOutputProperties", i), false;
    }
    VstPlugCategory getPlugCategory() override
    {
        return log("getPlugCategory"), PlainEffect::getPlugCategory();
    }
    VstInt32 reportCurrentPosition() override { return log("reportCurrentPosition"), 0; }
    float* reportDestinationBuffer() override { return log("reportDestinationBuffer"), nullptr; }
    bool offlineNotify(VstAudioFile*, VstInt32 n, bool start) override
    {
        return log("offlineNotify", n, start), false;
    }
    bool offlinePrepare(VstOfflineTask*, VstInt32 n) override
    {
        return log("offlinePrepare", n), false;
    }
    bool offlineRun(VstOfflineTask*, VstInt32 n) override { return log("offlineRun", n), false; }
    bool processVariableIo(VstVariableIo*) override { return log("processVariableIo"), false; }
    bool setSpeakerArrangement(VstSpeakerArrangement*, VstSpeakerArrangement*) override
    {
        return log("setSpeakerArrangement"), false;
    }
    void setBlockSizeAndSampleRate(VstInt32 size, float rate) override
    {
        log("setBlockSizeAndSampleRate", size, rate);
        PlainEffect::setBlockSizeAndSampleRate(size, rate);
    }
    bool setBypass(bool on) override { return log("setBypass", on), false; }
    bool getEffectName(char*) override { return log("getEffectName"), false; }
    bool getErrorText(char*) override { return log("getErrorText"), false; }
    bool getVendorString(char*) override { return log("getVendorString"), false; }
    bool getProductString(char*) override { return log("getProductString"), false; }
    VstInt32 getVendorVersion() override { return log("getVendorVersion"), 0; }
    VstIntPtr vendorSpecific(VstInt32 i, VstIntPtr v, void*, float o) override
    {
        return log("vendorSpecific", i, static_cast<VstInt32>(v), o), 0;
    }
    VstInt32 canDo(const char* text) override
    {
        return log(std::string("canDo ") + text), PlainEffect::canDo(text);
    }
    VstInt32 getGetTailSize() override { return log("getGetTailSize"), 0; }
    VstInt32 fxIdle() override { return log("fxIdle"), 0; }
    void* getIcon() override { return log("getIcon"), nullptr; }
    bool setViewPosition(VstInt32 x, VstInt32 y) override
    {
        return log("setViewPosition", x, y), false;
    }
    bool getParameterProperties(VstInt32 i, VstParameterProperties*) override
    {
        return log("getParameterProperties", i), false;
    }
    bool keysRequired() override { return log("keysRequired"), false; }
    VstInt32 getVstVersion() override { return log("getVstVersion"), PlainEffect::getVstVersion(); }
    VstInt32 getMidiProgramName(VstInt32 c, MidiProgramName*) override
    {
        return log("getMidiProgramName", c), 0;
    }
    VstInt32 getCurrentMidiProgram(VstInt32 c, MidiProgramName* p) override
    {
        return log("getCurrentMidiProgram", c), PlainEffect::getCurrentMidiProgram(c, p);
    }
    VstInt32 getMidiProgramCategory(VstInt32 c, MidiProgramCategory*) override
    {
        return log("getMidiProgramCategory", c), 0;
    }
    bool hasMidiProgramsChanged(VstInt32 c) override
    {
        return log("hasMidiProgramsChanged", c), false;
    }
    bool getMidiKeyName(VstInt32 c, MidiKeyName*) override
    {
        return log("getMidiKeyName", c), false;
    }
    bool beginSetProgram() override { return log("beginSetProgram"), false; }
    bool endSetProgram() override { return log("endSetProgram"), false; }
    bool getSpeakerArrangement(VstSpeakerArrangement** in, VstSpeakerArrangement** out) override
    {
        return log("getSpeakerArrangement"), PlainEffect::getSpeakerArrangement(in, out);
    }
    VstInt32 getNextShellPlugin(char*) override { return log("getNextShellPlugin"), 0; }
    VstInt32 startProcess() override { return log("startProcess"), 0; }
    VstInt32 stopProcess() override { return log("stopProcess"), 0; }
    VstIntPtr setTotalSampleToProcess(VstIntPtr v) override
    {
        return log("setTotalSampleToProcess", static_cast<VstInt32>(v)),
               PlainEffect::setTotalSampleToProcess(v);
    }
    bool setPanLaw(VstInt32 type, float gain) override
    {
        return log("setPanLaw", type, gain), false;
    }
    VstInt32 beginLoadBank(VstPatchChunkInfo*) override { return log("beginLoadBank"), 0; }
    VstInt32 beginLoadProgram(VstPatchChunkInfo*) override { return log("beginLoadProgram"), 0; }
    bool setProcessPrecision(VstInt32 p) override { return log("setProcessPrecision", p), false; }
    VstInt32 getNumMidiInputChannels() override { return log("getNumMidiInputChannels"), 0; }
    VstInt32 getNumMidiOutputChannels() override { return log("getNumMidiOutputChannels"), 0; }

private:
    template <typename... Args> void log(const std::string& name, Args... args)
    {
        std::string entry = name;
        ((entry += " " + std::to_string(args)), ...);
        calls.push_back(entry);
    }
};

// Logs the editor operations the dispatcher reaches and answers `answer` to each.
class SpyEditor : public AEffEditor
{
public:
    SpyEditor(AudioEffect* owner, bool answerTrue, bool* destroyed = nullptr)
        : AEffEditor(owner), answer(answerTrue), destroyedFlag(destroyed)
    {
    }
    ~SpyEditor() override
    {
        if (destroyedFlag)
            *destroyedFlag = true;
    }

    std::vector<std::string> calls;
    VstKeyCode lastKey{};

    bool getRect(ERect** rect) override
    {
        calls.push_back("getRect");
        *rect = &area;
        return answer;
    }
    bool open(void* window) override
    {
        calls.push_back("open");
        AEffEditor::open(window);
        return answer;
    }
    void close() override
    {
        calls.push_back("close");
        AEffEditor::close();
    }
    void idle() override { calls.push_back("idle"); }
    bool onKeyDown(VstKeyCode& key) override
    {
        calls.push_back("onKeyDown");
        lastKey = key;
        return answer;
    }
    bool onKeyUp(VstKeyCode& key) override
    {
        calls.push_back("onKeyUp");
        lastKey = key;
        return answer;
    }
    bool setKnobMode(VstInt32 mode) override
    {
        calls.push_back("setKnobMode " + std::to_string(mode));
        return answer;
    }
    bool setContentScale(float factor) override
    {
        calls.push_back("setContentScale " + std::to_string(factor));
        return answer;
    }

    ERect area{0, 0, 140, 630};

private:
    bool answer;
    bool* destroyedFlag;
};
