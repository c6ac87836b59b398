#pragma once

#include <cstdint>

// Added to every recursive output so that histories settle near 1e-16 instead of decaying into
// denormal numbers when the input falls silent.
constexpr double DENORMAL_OFFSET = 1e-16;

// First-order section with a bilinear-transform pole; high-pass or low-pass by its design and
// by the step that runs it.
struct OnePoleFilter
{
    double gain = 0.0;
    double pole = 0.0;
    double previousInput = 0.0;
    double previousOutput = 0.0;

    void designHighPass(double frequency, std::int32_t rate);
    void designLowPass(double frequency, std::int32_t rate);

    void clear()
    {
        previousInput = 0.0;
        previousOutput = 0.0;
    }

    double highPass(double x)
    {
        const double out = gain * (x - previousInput) + pole * previousOutput + DENORMAL_OFFSET;
        previousInput = x;
        previousOutput = out;
        return out;
    }

    double lowPass(double x)
    {
        const double out = gain * (x + previousInput) + pole * previousOutput + DENORMAL_OFFSET;
        previousInput = x;
        previousOutput = out;
        return out;
    }
};
