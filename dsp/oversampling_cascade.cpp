#include "dsp/oversampling_cascade.h"

namespace
{
// Sorted together, each stage's coefficients alternate between the branches, A taking the
// smallest.
constexpr double kStage1A[6] = {0.019059005558478156, 0.15595824835004354, 0.3650536901969156,
                                0.5755010797915325,   0.7526447471286868,  0.8980636464339086};
constexpr double kStage1B[6] = {0.07350243453590226, 0.25649919975582075, 0.47327898479453673,
                                0.6688095014357188,  0.8282265929955739,  0.9656701590349375};
constexpr double kStage2A[3] = {0.023868156659369793, 0.20833477589807192, 0.5675964936463223};
constexpr double kStage2B[3] = {0.09422599634300406, 0.3647495205019613, 0.8329459743459461};
constexpr double kStage3A[2] = {0.034598193593907554, 0.35283505189747927};
constexpr double kStage3B[2] = {0.14453304665657887, 0.7181287458620202};
} // namespace

OversamplingCascade::OversamplingCascade()
    : first(kStage1A, kStage1B), second(kStage2A, kStage2B), third(kStage3A, kStage3B)
{
}

void OversamplingCascade::reset(std::int32_t newFactor)
{
    factor = newFactor;
    reset();
}

void OversamplingCascade::reset()
{
    first.clear();
    second.clear();
    third.clear();
    for (double& sample : handOver1)
        sample = 0.0;
    for (double& sample : handOver2)
        sample = 0.0;
}

void OversamplingCascade::upsample(double u, double* out)
{
    switch (factor)
    {
    case 2:
        first.upsample(u, out);
        break;
    case 4:
        first.upsample(u, handOver1);
        second.upsample(handOver1[0], out);
        second.upsample(handOver1[1], out + 2);
        break;
    case 8:
        first.upsample(u, handOver1);
        second.upsample(handOver1[0], handOver2);
        second.upsample(handOver1[1], handOver2 + 2);
        for (int j = 0; j < 4; ++j)
            third.upsample(handOver2[j], out + 2 * j);
        break;
    default:
        break;
    }
}

double OversamplingCascade::downsample(const double* in)
{
    switch (factor)
    {
    case 2:
        return first.downsample(in[0], in[1]);
    case 4:
        handOver1[0] = second.downsample(in[0], in[1]);
        handOver1[1] = second.downsample(in[2], in[3]);
        return first.downsample(handOver1[0], handOver1[1]);
    case 8:
        for (int j = 0; j < 4; ++j)
            handOver2[j] = third.downsample(in[2 * j], in[2 * j + 1]);
        handOver1[0] = second.downsample(handOver2[0], handOver2[1]);
        handOver1[1] = second.downsample(handOver2[2], handOver2[3]);
        return first.downsample(handOver1[0], handOver1[1]);
    default:
        return 0.0;
    }
}
