#pragma once

#include "dsp/one_pole_filter.h"

#include <atomic>
#include <cstdint>

// First-order high shelf: the input plus (g - 1) times a one-pole high-pass of it, flat at 0 Hz
// and g at half the sample rate. The coefficients are atomics because a Tone change may redesign
// them while the processing thread runs the shelf; a step may see a mix of old and new values.
class ToneShelf
{
public:
    struct Coefficients
    {
        double h;
        double q;
        double g;
    };

    // x is the tone position, -1 (5 dB cut) through 0 (flat) to +1 (16 dB boost).
    void design(double x, std::int32_t sampleRate);

    Coefficients coefficients() const
    {
        return {h.load(std::memory_order_relaxed), q.load(std::memory_order_relaxed),
                g.load(std::memory_order_relaxed)};
    }

    // The shelf's internal high-pass: previous input and previous output (with its offset).
    struct History
    {
        double previousInput = 0.0;
        double previousOutput = 0.0;
    };

    void clear() { history = History{}; }

    static double step(double v, const Coefficients& c, History& state)
    {
        const double t =
            c.h * (v - state.previousInput) + c.q * state.previousOutput + DENORMAL_OFFSET;
        state.previousInput = v;
        state.previousOutput = t;
        return v + (c.g - 1.0) * t;
    }

    double step(double v, const Coefficients& c) { return step(v, c, history); }
    double step(double v) { return step(v, coefficients(), history); }

    History history;

private:
    std::atomic<double> h{0.0};
    std::atomic<double> q{0.0};
    std::atomic<double> g{1.0};
};
