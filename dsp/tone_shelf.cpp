#include "dsp/tone_shelf.h"

#include <cmath>

namespace
{
constexpr double kPi = 3.141592653589793;
constexpr double kBoostSlope = 112.36842105263158;  // 2135/19 Hz per dB
constexpr double kBoostOffset = 338.42105263157896; // 6430/19 Hz
constexpr double kBoostCornerLimit = 1879.0;
constexpr double kCutOffset = 395.2992125984252; // 50203/127 Hz
constexpr double kCutSlope = 132.1259842519685;  // 16780/127 Hz per dB
constexpr double kBoostRange = 16.0;             // dB at x = +1
constexpr double kCutRange = 5.0;                // dB at x = -1
} // namespace

void ToneShelf::design(double x, std::int32_t sampleRate)
{
    double level = 0.0;
    double corner = 0.0;
    if (x >= 0.0)
    {
        level = kBoostRange * x;
        corner = kBoostSlope * level + kBoostOffset;
        if (corner > kBoostCornerLimit)
            corner = kBoostCornerLimit;
    }
    else
    {
        level = kCutRange * x;
        corner = kCutOffset - kCutSlope * level;
    }
    const double gain = std::pow(10.0, level * 0.05);
    const double t = std::tan(corner * (1.0 / static_cast<double>(sampleRate)) * kPi);
    const double k = t * (gain + 1.0) * 0.25;
    const double pole = (1.0 - k) * (1.0 / (1.0 + k));
    h.store((pole + 1.0) * 0.5, std::memory_order_relaxed);
    q.store(pole, std::memory_order_relaxed);
    g.store(gain, std::memory_order_relaxed);
}
