// Every opcode a host can send: which operation it reaches, with which arguments, and what the
// host gets back from an effect that keeps the defaults.
#include "tests/host/spy_effect.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

namespace
{

struct OpcodeCase
{
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
    VstIntPtr answer;
    const char* call; // "" when no operation is reached
};

// Without an editor attached.
const OpcodeCase kCases[] = {
    {-1, 0, 0, 0, 0, ""},
    {effOpen, 0, 0, 0, 0, "open"},
    {effClose, 0, 0, 0, 0, "close"},
    {effSetProgram, 0, 3, 0, 0, "setProgram 3"},
    {effGetProgram, 0, 0, 0, 0, "getProgram"},
    {effSetProgramName, 0, 0, 0, 0, "setProgramName"},
    {effGetProgramName, 0, 0, 0, 0, "getProgramName"},
    {effGetParamLabel, 2, 0, 0, 0, "getParameterLabel 2"},
    {effGetParamDisplay, 2, 0, 0, 0, "getParameterDisplay 2"},
    {effGetParamName, 2, 0, 0, 0, "getParameterName 2"},
    {effGetVu, 0, 0, 0, 0, "getVu"},
    {effSetSampleRate, 0, 0, 48000.0f, 0, "setSampleRate 48000.000000"},
    {effSetBlockSize, 0, 512, 0, 0, "setBlockSize 512"},
    {effMainsChanged, 0, 1, 0, 0, "resume"},
    {effEditGetRect, 0, 0, 0, 0, ""},
    {effEditOpen, 0, 0, 0, 0, ""},
    {effEditClose, 0, 0, 0, 0, ""},
    {effEditDraw, 0, 0, 0, 0, ""},
    {effEditMouse, 0, 0, 0, 0, ""},
    {effEditKey, 0, 0, 0, 0, ""},
    {effEditIdle, 0, 0, 0, 0, ""},
    {effEditTop, 0, 0, 0, 0, ""},
    {effEditSleep, 0, 0, 0, 0, ""},
    {effIdentify, 0, 0, 0, fourCharCode('N', 'v', 'E', 'f'), ""},
    {effGetChunk, 1, 0, 0, 0, "getChunk 1"},
    {effSetChunk, 0, 100, 0, 0, "setChunk 100 0"},
    {effProcessEvents, 0, 0, 0, 0, "processEvents"},
    {effCanBeAutomated, 2, 0, 0, 1, "canParameterBeAutomated 2"},
    {effString2Parameter, 2, 0, 0, 0, "string2parameter 2"},
    {effGetNumProgramCategories, 0, 0, 0, 1, "getNumCategories"},
    {effGetProgramNameIndexed, 7, 4, 0, 0, "getProgramNameIndexed 4 7"},
    {effCopyProgram, 5, 0, 0, 0, "copyProgram 5"},
    {effConnectInput, 0, 1, 0, 1, "inputConnected 0 1"},
    {effConnectOutput, 1, 0, 0, 1, "outputConnected 1 0"},
    {effGetInputProperties, 0, 0, 0, 0, "getInputProperties 0"},
    {effGetOutputProperties, 1, 0, 0, 0, "getOutputProperties 1"},
    {effGetPlugCategory, 0, 0, 0, kPlugCategUnknown, "getPlugCategory"},
    {effGetCurrentPosition, 0, 0, 0, 0, "reportCurrentPosition"},
    {effGetDestinationBuffer, 0, 0, 0, 0, "reportDestinationBuffer"},
    {effOfflineNotify, 1, 2, 0, 0, "offlineNotify 2 1"},
    {effOfflinePrepare, 0, 2, 0, 0, "offlinePrepare 2"},
    {effOfflineRun, 0, 2, 0, 0, "offlineRun 2"},
    {effProcessVarIo, 0, 0, 0, 0, "processVariableIo"},
    {effSetSpeakerArrangement, 0, 0, 0, 0, "setSpeakerArrangement"},
    {effSetBlockSizeAndSampleRate, 0, 256, 96000.0f, 1,
     "setBlockSizeAndSampleRate 256 96000.000000"},
    {effSetBypass, 0, 1, 0, 0, "setBypass 1"},
    {effGetEffectName, 0, 0, 0, 0, "getEffectName"},
    {effGetErrorText, 0, 0, 0, 0, "getErrorText"},
    {effGetVendorString, 0, 0, 0, 0, "getVendorString"},
    {effGetProductString, 0, 0, 0, 0, "getProductString"},
    {effGetVendorVersion, 0, 0, 0, 0, "getVendorVersion"},
    {effVendorSpecific, 3, 4, 0.5f, 0, "vendorSpecific 3 4 0.500000"},
    // The content-scale call is the editor's: without one, nobody takes it.
    {effVendorSpecific, kContentScaleIndex, kContentScaleValue, 1.5f, 0, ""},
    {effVendorSpecific, kContentScaleIndex, 4, 0.5f, 0, "vendorSpecific 1349674323 4 0.500000"},
    {effCanDo, 0, 0, 0, 0, "canDo bypass"},
    {effGetTailSize, 0, 0, 0, 0, "getGetTailSize"},
    {effIdle, 0, 0, 0, 0, "fxIdle"},
    {effGetIcon, 0, 0, 0, 0, "getIcon"},
    {effSetViewPosition, 10, 20, 0, 0, "setViewPosition 10 20"},
    {effGetParameterProperties, 1, 0, 0, 0, "getParameterProperties 1"},
    {effKeysRequired, 0, 0, 0, 1, "keysRequired"},
    {effGetVstVersion, 0, 0, 0, kVstVersion, "getVstVersion"},
    {effEditKeyDown, 65, 1, 0, 0, ""},
    {effEditKeyUp, 65, 1, 0, 0, ""},
    {effSetEditKnobMode, 0, 2, 0, 0, ""},
    {effGetMidiProgramName, 3, 0, 0, 0, "getMidiProgramName 3"},
    {effGetCurrentMidiProgram, 3, 0, 0, -1, "getCurrentMidiProgram 3"},
    {effGetMidiProgramCategory, 3, 0, 0, 0, "getMidiProgramCategory 3"},
    {effHasMidiProgramsChanged, 3, 0, 0, 0, "hasMidiProgramsChanged 3"},
    {effGetMidiKeyName, 3, 0, 0, 0, "getMidiKeyName 3"},
    {effBeginSetProgram, 0, 0, 0, 0, "beginSetProgram"},
    {effEndSetProgram, 0, 0, 0, 0, "endSetProgram"},
    {effGetSpeakerArrangement, 0, 0, 0, 0, "getSpeakerArrangement"},
    {effShellGetNextPlugin, 0, 0, 0, 0, "getNextShellPlugin"},
    {effStartProcess, 0, 0, 0, 0, "startProcess"},
    {effStopProcess, 0, 0, 0, 0, "stopProcess"},
    {effSetTotalSampleToProcess, 0, 4096, 0, 4096, "setTotalSampleToProcess 4096"},
    {effSetPanLaw, 0, 1, 0.5f, 0, "setPanLaw 1 0.500000"},
    {effBeginLoadBank, 0, 0, 0, 0, "beginLoadBank"},
    {effBeginLoadProgram, 0, 0, 0, 0, "beginLoadProgram"},
    {effSetProcessPrecision, 0, 1, 0, 0, "setProcessPrecision 1"},
    {effGetNumMidiInputChannels, 0, 0, 0, 0, "getNumMidiInputChannels"},
    {effGetNumMidiOutputChannels, 0, 0, 0, 0, "getNumMidiOutputChannels"},
    {80, 0, 0, 0, 0, ""},
};

// Room for any text or record the opcodes write, and a second place for the opcodes that take
// a record pointer in value as well.
struct Arguments
{
    alignas(8) char text[256];
    alignas(8) char second[256];
    Arguments()
    {
        std::strcpy(text, "bypass");
        std::memset(second, 0x55, sizeof second);
    }
    VstIntPtr valueFor(const OpcodeCase& c)
    {
        const bool recordInValue =
            c.opcode == effSetSpeakerArrangement || c.opcode == effGetSpeakerArrangement;
        return recordInValue ? reinterpret_cast<VstIntPtr>(second) : c.value;
    }
};

std::string describe(const OpcodeCase& c)
{
    return "opcode " + std::to_string(c.opcode);
}

TEST(Dispatcher, EveryOpcodeAnswersTheDefaultOfAnEffectThatOverridesNothing)
{
    for (const OpcodeCase& c : kCases)
    {
        PlainEffect effect;
        Arguments args;
        AEffect& record = effect.record();
        const VstIntPtr answer =
            c.opcode == effClose
                ? effect.dispatcher(c.opcode, c.index, c.value, args.text, c.opt)
                : record.dispatcher(&record, c.opcode, c.index, args.valueFor(c), args.text, c.opt);
        EXPECT_EQ(answer, c.answer) << describe(c);
    }
}

TEST(Dispatcher, EveryOpcodeReachesItsOperationWithItsArguments)
{
    for (const OpcodeCase& c : kCases)
    {
        SpyEffect effect;
        Arguments args;
        const VstIntPtr answer =
            effect.dispatcher(c.opcode, c.index, args.valueFor(c), args.text, c.opt);
        EXPECT_EQ(answer, c.answer) << describe(c);
        if (*c.call)
            EXPECT_EQ(effect.calls, std::vector<std::string>{c.call}) << describe(c);
        else
            EXPECT_TRUE(effect.calls.empty()) << describe(c);
    }
}

TEST(Dispatcher, DefaultTextsAreEmptyAndSpeakerArrangementsNull)
{
    PlainEffect effect;
    for (VstInt32 opcode :
         {effGetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName})
    {
        char text[16] = "untouched";
        effect.dispatcher(opcode, 0, 0, text, 0);
        EXPECT_STREQ(text, "") << opcode;
    }
    void* input = &effect;
    void* output = &effect;
    EXPECT_EQ(effect.dispatcher(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input),
                                &output, 0),
              0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);
}

TEST(Dispatcher, ProgramSelectionStaysInsideTheBank)
{
    SpyEffect effect;
    effect.dispatcher(effSetProgram, 0, 3, nullptr, 0);
    EXPECT_EQ(effect.dispatcher(effGetProgram, 0, 0, nullptr, 0), 3);
    effect.calls.clear();
    for (VstIntPtr value : {VstIntPtr{16}, VstIntPtr{-1}, VstIntPtr{1000}})
        effect.dispatcher(effSetProgram, 0, value, nullptr, 0);
    EXPECT_TRUE(effect.calls.empty());
    EXPECT_EQ(effect.program(), 3);
}

TEST(Dispatcher, TotalSamplesComeBackWhole)
{
    PlainEffect effect;
    // Where the value is 64 bits wide, a count past 2^32 must not lose its high half.
    const VstIntPtr total =
        sizeof(VstIntPtr) > 4 ? static_cast<VstIntPtr>((int64_t{1} << 33) + 7) : VstIntPtr{-7};
    EXPECT_EQ(effect.dispatcher(effSetTotalSampleToProcess, 0, total, nullptr, 0), total);
}

TEST(Dispatcher, MainsSwitchSuspendsAndResumes)
{
    SpyEffect effect;
    effect.dispatcher(effMainsChanged, 0, 0, nullptr, 0);
    effect.dispatcher(effMainsChanged, 0, 7, nullptr, 0);
    EXPECT_EQ(effect.calls, (std::vector<std::string>{"suspend", "resume"}));
}

TEST(Dispatcher, RateAndBlockSizeTogetherBypassTheRateOperation)
{
    SpyEffect effect;
    effect.dispatcher(effSetBlockSizeAndSampleRate, 0, 256, nullptr, 96000.0f);
    EXPECT_EQ(effect.getSampleRate(), 96000.0f);
    EXPECT_EQ(effect.getBlockSize(), 256);
    EXPECT_EQ(effect.calls, std::vector<std::string>{"setBlockSizeAndSampleRate 256 96000.000000"});

    effect.dispatcher(effSetSampleRate, 0, 0, nullptr, 22050.0f);
    effect.dispatcher(effSetBlockSize, 0, 64, nullptr, 0);
    EXPECT_EQ(effect.getSampleRate(), 22050.0f);
    EXPECT_EQ(effect.getBlockSize(), 64);
}

TEST(Dispatcher, EditorOpcodesReachTheEditorAndPassItsAnswer)
{
    for (bool editorAnswer : {false, true})
    {
        SpyEffect effect;
        auto* editor = new SpyEditor(&effect, editorAnswer);
        effect.setEditor(editor);
        const VstIntPtr expected = editorAnswer ? 1 : 0;

        ERect* rect = nullptr;
        EXPECT_EQ(effect.dispatcher(effEditGetRect, 0, 0, &rect, 0), expected);
        EXPECT_EQ(rect, &editor->area);
        int window = 0;
        EXPECT_EQ(effect.dispatcher(effEditOpen, 0, 0, &window, 0), expected);
        EXPECT_TRUE(editor->isOpen());
        EXPECT_EQ(effect.dispatcher(effEditIdle, 0, 0, nullptr, 0), 0);
        EXPECT_EQ(effect.dispatcher(effEditKeyDown, 'a', VKEY_LEFT, nullptr, 9.7f), expected);
        EXPECT_EQ(editor->lastKey.character, 'a');
        EXPECT_EQ(editor->lastKey.virt, VKEY_LEFT);
        EXPECT_EQ(editor->lastKey.modifier, 9);
        EXPECT_EQ(effect.dispatcher(effEditKeyUp, 'b', 0x100 + VKEY_UP, nullptr, 0), expected);
        EXPECT_EQ(editor->lastKey.character, 'b');
        EXPECT_EQ(editor->lastKey.virt, VKEY_UP);
        EXPECT_EQ(effect.dispatcher(effSetEditKnobMode, 0, 2, nullptr, 0), expected);
        EXPECT_EQ(effect.dispatcher(effVendorSpecific, kContentScaleIndex, kContentScaleValue,
                                    nullptr, 1.5f),
                  expected);
        for (VstInt32 ignored : {effEditDraw, effEditMouse, effEditKey, effEditTop, effEditSleep})
            EXPECT_EQ(effect.dispatcher(ignored, 0, 0, &window, 0), 0);
        EXPECT_EQ(effect.dispatcher(effEditClose, 0, 0, nullptr, 0), 0);
        EXPECT_FALSE(editor->isOpen());
        EXPECT_EQ(editor->calls,
                  (std::vector<std::string>{"getRect", "open", "idle", "onKeyDown", "onKeyUp",
                                            "setKnobMode 2", "setContentScale 1.500000", "close"}));
        EXPECT_TRUE(effect.calls.empty());
    }
}

TEST(Dispatcher, BaseEditorHasNoRectAndFollowsItsWindow)
{
    PlainEffect effect;
    effect.setEditor(new AEffEditor(&effect));
    ERect dummy{};
    ERect* rect = &dummy;
    EXPECT_EQ(effect.dispatcher(effEditGetRect, 0, 0, &rect, 0), 0);
    EXPECT_EQ(rect, nullptr);
    int window = 0;
    EXPECT_EQ(effect.dispatcher(effEditOpen, 0, 0, &window, 0), 0);
    EXPECT_TRUE(effect.getEditor()->isOpen());
    EXPECT_EQ(effect.dispatcher(effSetEditKnobMode, 0, 2, nullptr, 0), 0);
    VstKeyCode key{};
    EXPECT_FALSE(effect.getEditor()->onKeyDown(key));
    EXPECT_FALSE(effect.getEditor()->onWheel(1.0f));
    EXPECT_EQ(effect.getEditor()->getEffect(), &effect);
    effect.dispatcher(effEditClose, 0, 0, nullptr, 0);
    EXPECT_FALSE(effect.getEditor()->isOpen());
}

TEST(Dispatcher, KeyModifierThatNoByteHoldsReadsAsNone)
{
    SpyEffect effect;
    auto* editor = new SpyEditor(&effect, true);
    effect.setEditor(editor);
    for (float opt : {1e30f, -1e30f, std::numeric_limits<float>::quiet_NaN()})
    {
        effect.dispatcher(effEditKeyDown, 0, 0, nullptr, opt);
        EXPECT_EQ(editor->lastKey.modifier, 0) << opt;
    }
}

} // namespace
