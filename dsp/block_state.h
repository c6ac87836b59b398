#pragma once

#include "dsp/half_band_stage.h"
#include "dsp/one_pole_filter.h"
#include "dsp/tone_shelf.h"

#include <cstdint>

// What a block kernel reads and updates. The processor gathers it so that a kernel built for a
// wider instruction set calls no inline function it shares with the rest of the engine: the linker
// keeps a single copy of such a function, and that copy must run on every processor.
struct BlockState
{
    OnePoleFilter& inputHighPass;
    OnePoleFilter& clipHighPass;
    OnePoleFilter& outputLowPass;
    ToneShelf::History& shelf;
    ToneShelf::Coefficients shelfCoefficients;
    double driveGain;
    double levelGain;
    HalfBandStage<6>& stage1;
    HalfBandStage<3>& stage2;
    HalfBandStage<2>& stage3;
    double* scratch;
    std::int32_t factor;
};

// The wide kernels (dsp/wide_kernel.h), for processors with AVX2 and FMA and for those with
// AVX-512. They reorder the recurrences, so their results differ from the per-sample path's by
// rounding only.
void processBlockAvx2(BlockState& state, const float* input, float* output, std::int32_t count);
void processBlockAvx2(BlockState& state, const double* input, double* output, std::int32_t count);
void processBlockAvx512(BlockState& state, const float* input, float* output, std::int32_t count);
void processBlockAvx512(BlockState& state, const double* input, double* output, std::int32_t count);
