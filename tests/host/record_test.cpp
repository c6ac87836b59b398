// The host record: its binary layout on every target, what the base constructor puts in it,
// the setters that change it, and the entries that lead back to the effect.
#include "tests/host/spy_effect.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

namespace
{

// Hosts read the record at fixed offsets: 32-bit first, 64-bit second.
constexpr std::size_t at(std::size_t offset32, std::size_t offset64)
{
    return sizeof(void*) == 4 ? offset32 : offset64;
}

static_assert(offsetof(AEffect, magic) == 0);
static_assert(offsetof(AEffect, dispatcher) == at(4, 8));
static_assert(offsetof(AEffect, process) == at(8, 16));
static_assert(offsetof(AEffect, setParameter) == at(12, 24));
static_assert(offsetof(AEffect, getParameter) == at(16, 32));
static_assert(offsetof(AEffect, numPrograms) == at(20, 40));
static_assert(offsetof(AEffect, numParams) == at(24, 44));
static_assert(offsetof(AEffect, numInputs) == at(28, 48));
static_assert(offsetof(AEffect, numOutputs) == at(32, 52));
static_assert(offsetof(AEffect, flags) == at(36, 56));
static_assert(offsetof(AEffect, resvd1) == at(40, 64));
static_assert(offsetof(AEffect, resvd2) == at(44, 72));
static_assert(offsetof(AEffect, initialDelay) == at(48, 80));
static_assert(offsetof(AEffect, realQualities) == at(52, 84));
static_assert(offsetof(AEffect, offQualities) == at(56, 88));
static_assert(offsetof(AEffect, ioRatio) == at(60, 92));
static_assert(offsetof(AEffect, object) == at(64, 96));
static_assert(offsetof(AEffect, user) == at(68, 104));
static_assert(offsetof(AEffect, uniqueID) == at(72, 112));
static_assert(offsetof(AEffect, version) == at(76, 116));
static_assert(offsetof(AEffect, processReplacing) == at(80, 120));
static_assert(offsetof(AEffect, processDoubleReplacing) == at(84, 128));
static_assert(offsetof(AEffect, future) == at(88, 136));
static_assert(sizeof(AEffect) == at(144, 192));
static_assert(sizeof(ERect) == 8 && offsetof(ERect, right) == 6);
static_assert(sizeof(VstKeyCode) == 8 && offsetof(VstKeyCode, modifier) == 5);
static_assert(offsetof(VstWindow, parent) == at(140, 144));
static_assert(sizeof(VstWindow) == at(256, 272));

TEST(HostRecord, BaseConstructorFillsEveryField)
{
    PlainEffect effect;
    const AEffect& r = effect.record();
    EXPECT_EQ(&r, effect.getAeffect());
    EXPECT_EQ(r.magic, 0x56737450); // "VstP"
    EXPECT_NE(r.dispatcher, nullptr);
    EXPECT_NE(r.process, nullptr);
    EXPECT_NE(r.setParameter, nullptr);
    EXPECT_NE(r.getParameter, nullptr);
    EXPECT_NE(r.processReplacing, nullptr);
    EXPECT_NE(r.processDoubleReplacing, nullptr);
    EXPECT_EQ(r.numPrograms, 16);
    EXPECT_EQ(r.numParams, 4);
    EXPECT_EQ(r.numInputs, 1);
    EXPECT_EQ(r.numOutputs, 2);
    EXPECT_EQ(r.flags, effFlagsCanReplacing);
    EXPECT_EQ(r.resvd1, 0);
    EXPECT_EQ(r.resvd2, 0);
    EXPECT_EQ(r.initialDelay, 0);
    EXPECT_EQ(r.realQualities, 0);
    EXPECT_EQ(r.offQualities, 0);
    EXPECT_EQ(r.ioRatio, 1.0f);
    EXPECT_EQ(r.object, static_cast<AudioEffect*>(&effect));
    EXPECT_EQ(r.user, nullptr);
    EXPECT_EQ(r.uniqueID, 0x4E6F4566); // "NoEf"
    EXPECT_EQ(r.version, 1);
    const char zeros[sizeof r.future] = {};
    EXPECT_EQ(std::memcmp(r.future, zeros, sizeof zeros), 0);

    EXPECT_EQ(effect.getSampleRate(), 44100.0f);
    EXPECT_EQ(effect.getBlockSize(), 1024);
    EXPECT_EQ(effect.getProgram(), 0);
    EXPECT_EQ(effect.getEditor(), nullptr);
}

TEST(HostRecord, SettersChangeTheirFieldsAndFlags)
{
    PlainEffect effect;
    const AEffect& r = effect.record();
    effect.setUniqueID(fourCharCode('K', 'L', 'V', 'c'));
    effect.setNumInputs(3);
    effect.setNumOutputs(5);
    effect.setInitialDelay(64);
    effect.setRealtimeQualities(7);
    effect.setOfflineQualities(9);
    EXPECT_EQ(r.uniqueID, 0x4B4C5663);
    EXPECT_EQ(r.numInputs, 3);
    EXPECT_EQ(r.numOutputs, 5);
    EXPECT_EQ(r.initialDelay, 64);
    EXPECT_EQ(r.realQualities, 7);
    EXPECT_EQ(r.offQualities, 9);

    effect.canProcessReplacing(false);
    effect.canDoubleReplacing(true);
    effect.programsAreChunks(true);
    effect.hasVu(true);
    effect.hasClip(true);
    effect.canMono(true);
    effect.isSynth();
    effect.noTail();
    EXPECT_EQ(r.flags, effFlagsCanDoubleReplacing | effFlagsProgramChunks | effFlagsHasVu |
                           effFlagsHasClip | effFlagsCanMono | effFlagsIsSynth |
                           effFlagsNoSoundInStop);
    effect.programsAreChunks(false);
    effect.hasVu(false);
    effect.hasClip(false);
    effect.canMono(false);
    effect.isSynth(false);
    effect.noTail(false);
    effect.canProcessReplacing(true);
    EXPECT_EQ(r.flags, effFlagsCanReplacing | effFlagsCanDoubleReplacing);

    auto* editor = new AEffEditor(&effect);
    effect.setEditor(editor);
    EXPECT_EQ(effect.getEditor(), editor);
    EXPECT_EQ(r.flags & effFlagsHasEditor, effFlagsHasEditor);
    effect.setEditor(nullptr);
    EXPECT_EQ(r.flags & effFlagsHasEditor, 0);
    delete editor;
}

class CountingEffect : public PlainEffect
{
public:
    explicit CountingEffect(bool* destroyed) : destroyedFlag(destroyed) {}
    ~CountingEffect() override { *destroyedFlag = true; }
    void close() override { closed = true; }
    void setParameter(VstInt32 index, float value) override
    {
        lastIndex = index;
        lastValue = value;
    }
    float getParameter(VstInt32 index) override { return static_cast<float>(index) * 0.25f; }
    void processReplacing(float** in, float** out, VstInt32 n) override
    {
        out[0][0] = in[0][0] + static_cast<float>(n) + 1.0f;
    }
    void processDoubleReplacing(double** in, double** out, VstInt32 n) override
    {
        out[0][0] = in[0][0] + n;
    }
    bool closed = false;
    VstInt32 lastIndex = -1;
    float lastValue = 0;

private:
    bool* destroyedFlag;
};

TEST(HostRecord, CloseThroughTheRecordDeletesTheEffectAndItsEditor)
{
    bool effectDestroyed = false;
    bool editorDestroyed = false;
    auto* effect = new CountingEffect(&effectDestroyed);
    effect->setEditor(new SpyEditor(effect, false, &editorDestroyed));
    AEffect* record = effect->getAeffect();
    // The override of close runs before the delete; the flag is read through the destructor.
    EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0), 1);
    EXPECT_TRUE(effectDestroyed);
    EXPECT_TRUE(editorDestroyed);
}

TEST(HostRecord, EntriesReachTheEffectBehindTheRecord)
{
    bool destroyed = false;
    CountingEffect effect(&destroyed);
    AEffect* record = effect.getAeffect();

    record->setParameter(record, 2, 0.75f);
    EXPECT_EQ(effect.lastIndex, 2);
    EXPECT_EQ(effect.lastValue, 0.75f);
    EXPECT_EQ(record->getParameter(record, 3), 0.75f);

    float in = 1.0f;
    float out = 0.0f;
    float* inputs[] = {&in};
    float* outputs[] = {&out};
    record->processReplacing(record, inputs, outputs, 5);
    EXPECT_EQ(out, 7.0f);

    double inD = 2.0;
    double outD = 0.0;
    double* inputsD[] = {&inD};
    double* outputsD[] = {&outD};
    record->processDoubleReplacing(record, inputsD, outputsD, 3);
    EXPECT_EQ(outD, 5.0);

    // The old accumulating call does nothing.
    out = -3.0f;
    record->process(record, inputs, outputs, 1);
    EXPECT_EQ(out, -3.0f);

    EXPECT_EQ(record->dispatcher(record, effIdentify, 0, 0, nullptr, 0),
              fourCharCode('N', 'v', 'E', 'f'));
    EXPECT_FALSE(effect.closed);
}

// Opcodes whose pointer is a text or a record, with both pointer places where there are two.
TEST(HostRecord, MissingTextOrRecordPointerAnswersZeroAndReachesNothing)
{
    const VstInt32 pointerOpcodes[] = {
        effSetProgramName,
        effGetProgramName,
        effGetParamLabel,
        effGetParamDisplay,
        effGetParamName,
        effEditGetRect,
        effGetChunk,
        effSetChunk,
        effProcessEvents,
        effString2Parameter,
        effGetProgramNameIndexed,
        effGetInputProperties,
        effGetOutputProperties,
        effOfflineNotify,
        effOfflinePrepare,
        effOfflineRun,
        effProcessVarIo,
        effSetSpeakerArrangement,
        effGetEffectName,
        effGetErrorText,
        effGetVendorString,
        effGetProductString,
        effCanDo,
        effGetParameterProperties,
        effGetMidiProgramName,
        effGetMidiProgramCategory,
        effGetMidiKeyName,
        effGetSpeakerArrangement,
        effShellGetNextPlugin,
        effBeginLoadBank,
        effBeginLoadProgram,
    };
    SpyEffect effect;
    auto* editor = new SpyEditor(&effect, true);
    effect.setEditor(editor);
    AEffect* record = effect.getAeffect();
    char place[64] = {};
    for (VstInt32 opcode : pointerOpcodes)
        EXPECT_EQ(record->dispatcher(record, opcode, 1, 1, nullptr, 1.0f), 0) << opcode;
    for (VstInt32 opcode : {effSetSpeakerArrangement, effGetSpeakerArrangement})
        EXPECT_EQ(record->dispatcher(record, opcode, 0, 0, place, 0), 0) << opcode;
    EXPECT_TRUE(effect.calls.empty());
    EXPECT_TRUE(editor->calls.empty());

    // Opcodes that never read the pointer answer as usual without one.
    EXPECT_EQ(record->dispatcher(record, effGetCurrentMidiProgram, 0, 0, nullptr, 0), -1);

    // A window handle may be anything, null included: that opcode still reaches the editor.
    record->dispatcher(record, effEditOpen, 0, 0, nullptr, 0);
    EXPECT_EQ(editor->calls, std::vector<std::string>{"open"});
}

} // namespace
