#pragma once

// The instruction sets the engine's block kernels are built for, narrowest first.
enum class SimdLevel
{
    sse2,
    avx2,
    avx512
};

// The widest level this processor and its operating system support: AVX2 needs the AVX2 and FMA
// instructions and an operating system that saves the YMM registers on a context switch; AVX-512
// needs its foundation, doubleword and quadword, and vector-length parts, and the mask and ZMM
// registers saved too.
SimdLevel widestSimdLevel();
