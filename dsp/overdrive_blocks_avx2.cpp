// The wide block kernel built for AVX2 and FMA; the processor calls it only where the CPU has them.

#include "dsp/wide_kernel.h"

void processBlockAvx2(BlockState& state, const float* input, float* output, std::int32_t count)
{
    processWide(state, input, output, count);
}

void processBlockAvx2(BlockState& state, const double* input, double* output, std::int32_t count)
{
    processWide(state, input, output, count);
}
