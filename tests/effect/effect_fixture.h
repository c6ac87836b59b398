// A CKLV driven as a host drives it: through its record's dispatcher and entries.
#pragma once

#include "effect/cklv.h"
#include "tests/host/recording_host.h"

#include <gtest/gtest.h>

#include <string>

using dranvelor::kBypass;
using dranvelor::kDrive;
using dranvelor::kLevel;
using dranvelor::kTone;

// Opens the engine to the tests, which check what reached it.
class ProbeKLV : public CKLV
{
public:
    using CKLV::CKLV;
    using CKLV::engine;
};

class EffectTest : public ::testing::Test
{
protected:
    EffectTest() : effect(RecordingHost::callback), record(effect.getAeffect()) {}

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f)
    {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }
    std::string text(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0)
    {
        char buffer[kVstMaxLabelLen] = {};
        dispatch(opcode, index, value, buffer);
        return buffer;
    }
    void setParameter(VstInt32 index, float value) { record->setParameter(record, index, value); }
    float getParameter(VstInt32 index) { return record->getParameter(record, index); }

    RecordingHost host;
    ProbeKLV effect;
    AEffect* record;
};
