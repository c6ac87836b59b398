#include "pluck_riff.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace
{

constexpr double kSampleRate = kRiffSampleRate;
constexpr double kEighthSeconds = 0.25; // 120 beats per minute
constexpr double kStrumSeconds = 0.008; // between neighbouring strings of a chord
constexpr double kReleaseSeconds = 0.12;
constexpr double kLowE = 82.40688922821748; // E2, the open low string
constexpr double kSemitone = 1.0594630943592953;
constexpr float kPeak = 0.5f;

struct Chord
{
    int root;      // semitones above the low E
    int eighths;   // length
    bool palmMute; // short, dull chug instead of a ringing chord
};

// E5 chugs, a G5-A5 lift, chugs again, D5 and C5 stabs, and a ringing E5 at the end.
constexpr Chord kRiff[] = {
    {0, 1, true},   {0, 1, true},  {0, 1, true},  {0, 1, true}, {3, 2, false},
    {5, 2, false},  {0, 1, true},  {0, 1, true},  {0, 1, true}, {0, 1, true},
    {10, 1, false}, {8, 1, false}, {0, 6, false},
};

// Repeated multiplication keeps the pitches bit-identical on every platform.
double frequencyOf(int semitonesAboveLowE)
{
    double frequency = kLowE;
    for (int i = 0; i < semitonesAboveLowE; ++i)
    {
        frequency *= kSemitone;
    }
    return frequency;
}

// A small linear congruential generator: the excitation noise must not depend on the C library.
class Noise
{
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    double next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / 8388608.0 - 1.0;
    }

private:
    std::uint32_t state_;
};

// Karplus-Strong: a noise burst circulating in a delay loop through an averaging low-pass, with
// a first-order all-pass for the fractional part of the period so that chords stay in tune.
class PluckedString
{
public:
    PluckedString(double frequency, double brightness, std::uint32_t seed)
    {
        const double period = kSampleRate / frequency;
        const auto length = static_cast<std::size_t>(period - 0.6); // averaging adds half a sample
        const double fraction = period - 0.5 - static_cast<double>(length);
        allpass_ = (1.0 - fraction) / (1.0 + fraction);
        line_.resize(length);
        Noise noise(seed);
        double smoothed = 0.0;
        for (double& sample : line_)
        {
            smoothed += brightness * (noise.next() - smoothed);
            sample = smoothed;
        }
    }

    void setLoopGain(double gain) { gain_ = gain; }

    double next()
    {
        const double out = line_[position_];
        const double averaged = 0.5 * (out + previous_) * gain_;
        previous_ = out;
        const double tuned = allpass_ * averaged + allpassIn_ - allpass_ * allpassOut_;
        allpassIn_ = averaged;
        allpassOut_ = tuned;
        line_[position_] = tuned;
        position_ = (position_ + 1) % line_.size();
        return out;
    }

private:
    std::vector<double> line_;
    std::size_t position_ = 0;
    double previous_ = 0.0;
    double allpass_ = 0.0;
    double allpassIn_ = 0.0;
    double allpassOut_ = 0.0;
    double gain_ = 1.0;
};

void addString(std::vector<double>& mix, std::size_t start, std::size_t end, double frequency,
               bool palmMute, std::uint32_t seed)
{
    PluckedString string(frequency, palmMute ? 0.25 : 0.6, seed);
    string.setLoopGain(palmMute ? 0.95 : 0.996);
    const std::size_t stop =
        std::min(mix.size(), end + static_cast<std::size_t>(kReleaseSeconds * kSampleRate));
    for (std::size_t n = start; n < stop; ++n)
    {
        if (n == end)
        {
            string.setLoopGain(0.7); // the fretting hand lifts
        }
        mix[n] += string.next();
    }
}

} // namespace

std::vector<float> renderPluckRiff()
{
    std::vector<double> mix(static_cast<std::size_t>(5.0 * kSampleRate), 0.0);
    std::uint32_t seed = 1;
    double time = 0.0;
    for (const Chord& chord : kRiff)
    {
        const double length = chord.eighths * kEighthSeconds;
        const int intervals[] = {0, 7, 12}; // root, fifth, octave
        for (int s = 0; s < 3; ++s)
        {
            const auto start = static_cast<std::size_t>((time + s * kStrumSeconds) * kSampleRate);
            const auto end = static_cast<std::size_t>((time + length) * kSampleRate);
            addString(mix, start, end, frequencyOf(chord.root + intervals[s]), chord.palmMute,
                      seed++);
        }
        time += length;
    }
    double peak = 0.0;
    for (const double sample : mix)
    {
        peak = std::max(peak, std::fabs(sample));
    }
    std::vector<float> riff(mix.size());
    for (std::size_t n = 0; n < mix.size(); ++n)
    {
        riff[n] = static_cast<float>(mix[n] / peak) * kPeak;
    }
    return riff;
}
