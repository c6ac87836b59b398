#include "dsp/one_pole_filter.h"

#include <cmath>

namespace
{
constexpr double kTwoPi = 6.283185307179586;

// cos w / (1 + sin w), written in the form whose rounding the fixed designs were derived with.
double bilinearPole(double frequency, std::int32_t rate)
{
    const double w = (frequency / static_cast<double>(rate)) * kTwoPi;
    const double s = std::sin(w);
    const double c = std::cos(w);
    return 0.5 * c * (1.0 + (1.0 - s) / (1.0 + s));
}
} // namespace

void OnePoleFilter::designHighPass(double frequency, std::int32_t rate)
{
    pole = bilinearPole(frequency, rate);
    gain = (1.0 + pole) / 2.0;
}

void OnePoleFilter::designLowPass(double frequency, std::int32_t rate)
{
    pole = bilinearPole(frequency, rate);
    gain = (1.0 - pole) / 2.0;
}
