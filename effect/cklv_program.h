// One program of the bank: the parameter values and a name the host shows.
#pragma once

#include "effect/parameters.h"
#include "host/vst_interface.h"

#include <array>

class CKLVProgram
{
public:
    // The table's defaults, named "Default".
    CKLVProgram();

    std::array<float, dranvelor::kNumParameters> values;
    char name[kVstMaxProgNameLen];
};
