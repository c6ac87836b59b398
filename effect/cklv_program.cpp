#include "effect/cklv_program.h"

CKLVProgram::CKLVProgram() : fDrive(0.5f), fTone(0.5f), fLevel(0.5f), fBypass(0.0f), name{"Default"}
{
}
