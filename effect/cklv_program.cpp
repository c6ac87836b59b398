#include "effect/cklv_program.h"

CKLVProgram::CKLVProgram() : name{"Default"}
{
    for (const dranvelor::ParameterInfo& info : dranvelor::kParameters)
        values[static_cast<size_t>(info.index)] = info.defaultValue;
}
