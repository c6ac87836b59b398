// One program of the bank: the four parameter values and a name the host shows.
#pragma once

#include "host/vst_interface.h"

class CKLVProgram
{
public:
    CKLVProgram();

    float fDrive;
    float fTone;
    float fLevel;
    float fBypass;
    char name[kVstMaxProgNameLen];
};
