#pragma once

#include "dsp/half_band_stage.h"

#include <cstdint>

// Up to three 2x half-band stages between the host rate and 2, 4 or 8 times it. Stage 1 (host
// rate to 2x) is the steepest; a factor of 2 uses it alone, 4 adds stage 2, 8 adds stage 3.
class OversamplingCascade
{
public:
    OversamplingCascade();

    // Stores the factor (2, 4 or 8 run; anything else makes both directions do nothing), then
    // clears every history.
    void reset(std::int32_t newFactor);
    // Clears every history and hand-over sample; the factor stays.
    void reset();

    std::int32_t getFactor() const { return factor; }

    // One host-rate value to factor samples in out[0..factor-1], earliest first.
    void upsample(double u, double* out);
    // factor samples back to one host-rate value; 0 when no factor is set.
    double downsample(const double* in);

    HalfBandStage<6>& stage1() { return first; }
    HalfBandStage<3>& stage2() { return second; }
    HalfBandStage<2>& stage3() { return third; }

private:
    HalfBandStage<6> first;
    double handOver1[2] = {};
    HalfBandStage<3> second;
    double handOver2[4] = {};
    HalfBandStage<2> third;
    std::int32_t factor = 0;
};
