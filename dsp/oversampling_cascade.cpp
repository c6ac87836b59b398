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
    : stage1(kStage1A, kStage1B), stage2(kStage2A, kStage2B), stage3(kStage3A, kStage3B)
{
}

void OversamplingCascade::reset(std::int32_t newFactor)
{
    factor = newFactor;
    reset();
}

void OversamplingCascade::reset()
{
    stage1.clear();
    stage2.clear();
    stage3.clear();
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
        stage1.upsample(u, out);
        break;
    case 4:
        stage1.upsample(u, handOver1);
        stage2.upsample(handOver1[0], out);
        stage2.upsample(handOver1[1], out + 2);
        break;
    case 8:
        stage1.upsample(u, handOver1);
        stage2.upsample(handOver1[0], handOver2);
        stage2.upsample(handOver1[1], handOver2 + 2);
        for (int j = 0; j < 4; ++j)
            stage3.upsample(handOver2[j], out + 2 * j);
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
        return stage1.downsample(in[0], in[1]);
    case 4:
        handOver1[0] = stage2.downsample(in[0], in[1]);
        handOver1[1] = stage2.downsample(in[2], in[3]);
        return stage1.downsample(handOver1[0], handOver1[1]);
    case 8:
        for (int j = 0; j < 4; ++j)
            handOver2[j] = stage3.downsample(in[2 * j], in[2 * j + 1]);
        handOver1[0] = stage2.downsample(handOver2[0], handOver2[1]);
        handOver1[1] = stage2.downsample(handOver2[2], handOver2[3]);
        return stage1.downsample(handOver1[0], handOver1[1]);
    default:
        return 0.0;
    }
}

void OversamplingCascade::upsampleBlock(const double* in, double* out, double* work, int count)
{
    double* twice = work;
    double* fourTimes = work + 2 * count;
    switch (factor)
    {
    case 2:
        stage1.upsampleBlock(in, out, count);
        break;
    case 4:
        stage1.upsampleBlock(in, twice, count);
        stage2.upsampleBlock(twice, out, 2 * count);
        break;
    case 8:
        stage1.upsampleBlock(in, twice, count);
        stage2.upsampleBlock(twice, fourTimes, 2 * count);
        stage3.upsampleBlock(fourTimes, out, 4 * count);
        break;
    default:
        break;
    }
}

void OversamplingCascade::downsampleBlock(double* buffer, double* out, int count)
{
    switch (factor)
    {
    case 2:
        stage1.downsampleBlock(buffer, out, count);
        break;
    case 4:
        stage2.downsampleBlock(buffer, buffer, 2 * count);
        stage1.downsampleBlock(buffer, out, count);
        break;
    case 8:
        stage3.downsampleBlock(buffer, buffer, 4 * count);
        stage2.downsampleBlock(buffer, buffer, 2 * count);
        stage1.downsampleBlock(buffer, out, count);
        break;
    default:
        for (int i = 0; i < count; ++i)
            out[i] = 0.0;
        break;
    }
}
