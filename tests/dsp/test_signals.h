#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

// Signals shared by the engine tests.
namespace test_signals
{
constexpr double kTwoPi = 6.283185307179586;

inline std::vector<double> sine(double amplitude, double frequency, std::int32_t rate, int length)
{
    std::vector<double> signal(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i)
        signal[i] = amplitude * std::sin(kTwoPi * frequency * i / rate);
    return signal;
}

// Full-scale white noise with the odd value beyond the limiter.
inline std::vector<double> noise(int length, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::vector<double> signal(static_cast<std::size_t>(length));
    for (double& sample : signal)
        sample = uniform(random);
    for (std::size_t i = 0; i < signal.size(); i += 997)
        signal[i] *= 40.0;
    return signal;
}

// Plucked notes of a few harmonics with decaying envelopes, a DC step and gaps of silence.
inline std::vector<double> musical(std::int32_t rate, int length)
{
    const double notes[] = {110.0, 146.83, 196.0, 329.63, 82.41};
    std::vector<double> signal(static_cast<std::size_t>(length));
    const int noteLength = rate / 5;
    for (int i = 0; i < length; ++i)
    {
        const int note = i / noteLength;
        const double t = static_cast<double>(i % noteLength) / rate;
        if (note % 4 == 3)
            continue;
        const double f = notes[note % 5];
        double v = 0.0;
        for (int h = 1; h <= 5; ++h)
            v += std::sin(kTwoPi * f * h * t) / h;
        signal[i] = 0.6 * std::exp(-6.0 * t) * v + (note % 6 == 5 ? 0.3 : 0.0);
    }
    return signal;
}

template <typename Sample> std::vector<Sample> as(const std::vector<double>& signal)
{
    return std::vector<Sample>(signal.begin(), signal.end());
}
} // namespace test_signals
