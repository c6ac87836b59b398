// The wide block kernel built for AVX-512 (foundation, doubleword and quadword, vector length):
// its clipper takes eight samples at a time, and 64-bit code has 32 vector registers. The
// processor calls it only where the CPU and the operating system support AVX-512.

#include "dsp/wide_kernel.h"

void processBlockAvx512(BlockState& state, const float* input, float* output, std::int32_t count)
{
    processWide(state, input, output, count);
}

void processBlockAvx512(BlockState& state, const double* input, double* output, std::int32_t count)
{
    processWide(state, input, output, count);
}
