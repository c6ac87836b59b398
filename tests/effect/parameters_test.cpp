// Parameters, programs, texts and identity as a host reads and writes them.
#include "tests/effect/effect_fixture.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace
{

using FreshEffect = EffectTest;
using Parameters = EffectTest;
using Programs = EffectTest;

TEST_F(FreshEffect, ReportsItsIdentityAndRecord)
{
    EXPECT_EQ(record->numInputs, 1);
    EXPECT_EQ(record->numOutputs, 1);
    EXPECT_EQ(record->numPrograms, 16);
    EXPECT_EQ(record->numParams, 4);
    EXPECT_EQ(record->uniqueID, 0x4B4C5663); // "KLVc"
    // No window: the front-ends that show one attach it.
    EXPECT_EQ(record->flags, effFlagsCanReplacing | effFlagsCanDoubleReplacing);
    EXPECT_EQ(record->initialDelay, 0);

    EXPECT_EQ(text(effGetEffectName), "Dranvelor");
    EXPECT_EQ(text(effGetVendorString), "Ostravelk");
    EXPECT_EQ(text(effGetProductString), "Morvandell");
    char name[kVstMaxVendorStrLen];
    for (VstInt32 opcode : {effGetEffectName, effGetVendorString, effGetProductString})
        EXPECT_EQ(dispatch(opcode, 0, 0, name), 1);
    EXPECT_EQ(dispatch(effGetVendorVersion), 1000);
    EXPECT_EQ(dispatch(effGetPlugCategory), kPlugCategEffect);
    EXPECT_EQ(dispatch(effGetVstVersion), 2400);

    // No chunks, no soft bypass, no tail, nothing it can do beyond the record.
    char bypass[] = "bypass";
    EXPECT_EQ(dispatch(effCanDo, 0, 0, bypass), 0);
    EXPECT_EQ(dispatch(effSetBypass, 0, 1), 0);
    void* chunk = nullptr;
    EXPECT_EQ(dispatch(effGetChunk, 0, 0, &chunk), 0);
    EXPECT_EQ(dispatch(effGetTailSize), 0);
}

TEST_F(FreshEffect, StartsOnTheDefaultProgram)
{
    EXPECT_EQ(dispatch(effGetProgram), 0);
    EXPECT_EQ(text(effGetProgramName), "Default");
    for (VstInt32 program = 0; program < 16; ++program)
        EXPECT_EQ(text(effGetProgramNameIndexed, program), "Default") << program;
    const float expected[] = {0.5f, 0.5f, 0.5f, 0.0f};
    const char* const names[] = {"Drive", "Tone", "Level", "Bypass"};
    const char* const labels[] = {"Level", "Level", "Level", " "};
    const char* const displays[] = {"5.000000", "5.000000", "5.000000", "Off"};
    for (VstInt32 i = 0; i < 4; ++i)
    {
        EXPECT_EQ(getParameter(i), expected[i]) << i;
        EXPECT_EQ(text(effGetParamName, i), names[i]) << i;
        EXPECT_EQ(text(effGetParamLabel, i), labels[i]) << i;
        EXPECT_EQ(text(effGetParamDisplay, i), displays[i]) << i;
    }
}

TEST_F(Parameters, DisplaysShowTenTimesTheValueAndBypassAsOnOff)
{
    setParameter(kDrive, 1.0f);
    setParameter(kTone, 0.0f);
    setParameter(kLevel, 0.25f);
    EXPECT_EQ(text(effGetParamDisplay, kDrive), "10.00000");
    EXPECT_EQ(text(effGetParamDisplay, kTone), "0.000000");
    EXPECT_EQ(text(effGetParamDisplay, kLevel), "2.500000");
    for (float on : {0.3f, 1.0f, -1.0f, 1e-30f})
    {
        setParameter(kBypass, on);
        EXPECT_EQ(text(effGetParamDisplay, kBypass), "On") << on;
    }
    setParameter(kBypass, -0.0f);
    EXPECT_EQ(text(effGetParamDisplay, kBypass), "Off");
}

// The front-ends without the effect (the LV2 description, the standalone program) describe the
// parameters from the table alone: it must say what the effect tells a VST host, value by value.
TEST_F(Parameters, TheTableDescribesWhatTheEffectShowsHosts)
{
    for (const dranvelor::ParameterInfo& info : dranvelor::kParameters)
    {
        EXPECT_EQ(text(effGetParamName, info.index), info.name);
        EXPECT_EQ(text(effGetParamLabel, info.index), info.label);
        EXPECT_EQ(getParameter(info.index), info.defaultValue) << info.symbol;
        EXPECT_EQ(dranvelor::findParameter(info.symbol), &info);
        for (float value : {info.minimum, info.maximum, 0.123f, 0.5f, -0.0f, 1e-30f, -3.0f, 1e30f})
        {
            setParameter(info.index, value);
            EXPECT_EQ(text(effGetParamDisplay, info.index), dranvelor::displayText(info, value))
                << info.symbol << " " << value;
        }
    }
    EXPECT_EQ(dranvelor::findParameter("Drive"), nullptr) << "symbols are matched exactly";
}

// Hosts may store and recall any value; what they set is what they read back.
TEST_F(Parameters, ValuesOutsideTheNormalizedRangeAreKeptAsGiven)
{
    setParameter(kDrive, -5.0f);
    setParameter(kTone, 1e30f);
    setParameter(kLevel, 1.5f);
    setParameter(kBypass, 0.3f);
    const float kept[] = {-5.0f, 1e30f, 1.5f, 0.3f};
    const char* const displays[] = {"-50.0000", "Huge!", "15.00000", "On"};
    for (int round = 0; round < 2; ++round)
    {
        for (VstInt32 i = 0; i < 4; ++i)
        {
            EXPECT_EQ(getParameter(i), kept[i]) << i;
            EXPECT_EQ(text(effGetParamDisplay, i), displays[i]) << i;
        }
        // The values live in the program too.
        dispatch(effSetProgram, 0, 5);
        EXPECT_EQ(getParameter(kDrive), 0.5f);
        dispatch(effSetProgram, 0, 0);
    }
}

// Only the engine holds its mapping of a value in bounds, so no finite value, alone or with
// the others at their extremes, makes the output unstable or overflow at any supported rate.
TEST_F(Parameters, EveryFiniteValueKeepsTheOutputFinite)
{
    constexpr float kMax = std::numeric_limits<float>::max();
    const float extremes[] = {-kMax, -1e30f, -1e5f, -20.0f, -2.0f, 2.0f, 20.0f, 1e5f, 1e30f, kMax};
    double in[512], out[512];
    for (int i = 0; i < 512; ++i)
        in[i] = (i / 16) % 2 ? 1.0 : -1.0;
    double* inputs[1] = {in};
    double* outputs[1] = {out};
    float inFloat[512], outFloat[512];
    for (int i = 0; i < 512; ++i)
        inFloat[i] = static_cast<float>(in[i]);
    float* floatInputs[1] = {inFloat};
    float* floatOutputs[1] = {outFloat};

    const auto expectFinite = [&](const char* what, float value)
    {
        for (int block = 0; block < 24; ++block)
        {
            record->processReplacing(record, floatInputs, floatOutputs, 512);
            record->processDoubleReplacing(record, inputs, outputs, 512);
            for (int i = 0; i < 512; ++i)
                ASSERT_TRUE(std::isfinite(outFloat[i]) && std::isfinite(out[i]))
                    << what << " " << value << " block " << block << " i " << i << " "
                    << outFloat[i] << " " << out[i];
        }
    };
    for (float rate : {44100.0f, 96000.0f, 192000.0f})
    {
        dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        for (VstInt32 index : {kDrive, kTone, kLevel})
        {
            for (float value : extremes)
            {
                dispatch(effSetProgram, 0, 0);
                setParameter(index, value);
                expectFinite(index == kDrive ? "drive" : index == kTone ? "tone" : "level", value);
            }
        }
        for (float drive : {-kMax, kMax})
            for (float tone : {-kMax, kMax})
                for (float level : {-kMax, kMax})
                {
                    setParameter(kDrive, drive);
                    setParameter(kTone, tone);
                    setParameter(kLevel, level);
                    expectFinite("together", level);
                }
    }
}

TEST_F(Parameters, IndexesOutsideTheFourChangeAndWriteNothing)
{
    for (VstInt32 index : {-1, 4, 9})
    {
        setParameter(index, 0.7f);
        EXPECT_EQ(getParameter(index), 0.0f) << index;
        for (VstInt32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay})
        {
            char buffer[16] = "untouched";
            dispatch(opcode, index, 0, buffer);
            EXPECT_STREQ(buffer, "untouched") << opcode << " " << index;
        }
    }
    for (VstInt32 i = 0; i < 4; ++i)
        EXPECT_EQ(getParameter(i), i == kBypass ? 0.0f : 0.5f) << i;
}

// A NaN or an infinity would otherwise sit in the program and show in every later display.
TEST_F(Parameters, ValuesThatAreNotNumbersAreIgnored)
{
    setParameter(kDrive, 0.8f);
    for (float bad :
         {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
          -std::numeric_limits<float>::infinity()})
        setParameter(kDrive, bad);
    EXPECT_EQ(getParameter(kDrive), 0.8f);
    EXPECT_EQ(text(effGetParamDisplay, kDrive), "8.000000");
    dispatch(effSetProgram, 0, 1);
    dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(getParameter(kDrive), 0.8f);
}

TEST_F(Programs, EditsLiveInTheirProgram)
{
    dispatch(effSetProgram, 0, 2);
    setParameter(kDrive, 0.8f);
    setParameter(kBypass, 1.0f);
    dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(dispatch(effGetProgram), 5);
    EXPECT_EQ(getParameter(kDrive), 0.5f);
    EXPECT_EQ(text(effGetParamDisplay, kBypass), "Off");
    dispatch(effSetProgram, 0, 2);
    EXPECT_EQ(getParameter(kDrive), 0.8f);
    EXPECT_EQ(getParameter(kBypass), 1.0f);
    EXPECT_EQ(text(effGetParamDisplay, kDrive), "8.000000");
    EXPECT_EQ(text(effGetParamDisplay, kBypass), "On");
}

TEST_F(Programs, SelectionOutsideTheBankIsIgnored)
{
    dispatch(effSetProgram, 0, 3);
    setParameter(kTone, 0.1f);
    for (VstIntPtr value : {VstIntPtr{16}, VstIntPtr{-1}, VstIntPtr{1} << 20})
    {
        dispatch(effSetProgram, 0, value);
        EXPECT_EQ(dispatch(effGetProgram), 3) << value;
        EXPECT_EQ(getParameter(kTone), 0.1f) << value;
    }
    effect.setProgram(16);
    effect.setProgram(-1);
    EXPECT_EQ(dispatch(effGetProgram), 3);
}

TEST_F(Programs, NamesKeepTwentyThreeCharactersInTheCurrentProgram)
{
    char longName[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcd"; // 30 characters
    dispatch(effSetProgram, 0, 4);
    dispatch(effSetProgramName, 0, 0, longName);
    EXPECT_EQ(text(effGetProgramName), "ABCDEFGHIJKLMNOPQRSTUVW");
    EXPECT_EQ(text(effGetProgramNameIndexed, 4), "ABCDEFGHIJKLMNOPQRSTUVW");
    EXPECT_EQ(text(effGetProgramNameIndexed, 3), "Default");

    char shortName[] = "Crunch";
    dispatch(effSetProgram, 0, 15);
    dispatch(effSetProgramName, 0, 0, shortName);
    dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(text(effGetProgramName), "Default");
    EXPECT_EQ(text(effGetProgramNameIndexed, 15, 99), "Crunch"); // the category is ignored
}

TEST_F(Programs, IndexedNamesOutsideTheBankLeaveTheBufferAlone)
{
    for (VstInt32 index : {16, -1, 1000})
    {
        char buffer[32] = "untouched";
        EXPECT_EQ(dispatch(effGetProgramNameIndexed, index, 0, buffer), 0) << index;
        EXPECT_STREQ(buffer, "untouched");
    }
    char buffer[32] = "untouched";
    EXPECT_EQ(dispatch(effGetProgramNameIndexed, 15, 0, buffer), 1);
    EXPECT_STREQ(buffer, "Default");
}

} // namespace
