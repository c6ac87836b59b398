#include "test_signal.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace
{
constexpr double kTwoPi = 6.283185307179586;
constexpr double kLowestFrequency = 20.0;
constexpr double kHighestSquare = 2000.0;
constexpr double kHighestSweep = 20000.0;

// Guards the first state of the generator, which must never be zero.
constexpr std::uint64_t kSeedMix = 0x9E3779B97F4A7C15u;
} // namespace

const char* signalKindName(SignalKind kind)
{
    switch (kind)
    {
    case SignalKind::noise:
        return "noise";
    case SignalKind::silence:
        return "silence";
    case SignalKind::square:
        return "square";
    case SignalKind::dc:
        return "dc";
    case SignalKind::sweep:
        return "sweep";
    }
    return "?";
}

SoakRandom::SoakRandom(std::uint64_t seed) : state_(seed ^ kSeedMix)
{
    if (state_ == 0)
        state_ = kSeedMix;
}

std::uint64_t SoakRandom::next()
{
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1Du;
}

double SoakRandom::uniform()
{
    // The top 53 bits fill a double's mantissa exactly.
    return static_cast<double>(next() >> 11) * 0x1.0p-53;
}

int SoakRandom::below(int count)
{
    return static_cast<int>(uniform() * count);
}

TestSignal::TestSignal(std::uint64_t seed, double sampleRate)
    : random_(seed), sampleRate_(sampleRate), round_{}
{
}

void TestSignal::shuffleRound()
{
    const SignalKind previous = round_[kSignalKinds - 1];
    for (int i = 0; i < kSignalKinds; ++i)
        round_[i] = static_cast<SignalKind>(i);
    for (int i = kSignalKinds - 1; i > 0; --i)
        std::swap(round_[i], round_[random_.below(i + 1)]);
    // A kind never follows itself across rounds, so every boundary changes the signal.
    if (round_[0] == previous)
        std::swap(round_[0], round_[1]);
    nextInRound_ = 0;
}

SignalKind TestSignal::beginSegment()
{
    if (nextInRound_ == kSignalKinds)
        shuffleRound();
    kind_ = round_[nextInRound_++];
    const double seconds =
        kMinSegmentSeconds + (kMaxSegmentSeconds - kMinSegmentSeconds) * random_.uniform();
    length_ = std::max(1L, static_cast<long>(seconds * sampleRate_));
    phase_ = 0.0;
    switch (kind_)
    {
    case SignalKind::square:
        frequency_ =
            kLowestFrequency * std::pow(kHighestSquare / kLowestFrequency, random_.uniform());
        break;
    case SignalKind::sweep:
        frequency_ = kLowestFrequency;
        sweepRatio_ = std::pow(std::min(kHighestSweep, 0.45 * sampleRate_) / kLowestFrequency,
                               1.0 / static_cast<double>(length_));
        break;
    case SignalKind::dc:
        dcLevel_ = 2.0 * random_.uniform() - 1.0;
        break;
    case SignalKind::noise:
    case SignalKind::silence:
        break;
    }
    return kind_;
}

void TestSignal::fill(double* out, long count)
{
    for (long i = 0; i < count; ++i)
    {
        switch (kind_)
        {
        case SignalKind::noise:
            out[i] = 2.0 * random_.uniform() - 1.0;
            break;
        case SignalKind::silence:
            out[i] = 0.0;
            break;
        case SignalKind::square:
            out[i] = phase_ < 0.5 ? 1.0 : -1.0;
            phase_ += frequency_ / sampleRate_;
            break;
        case SignalKind::dc:
            out[i] = dcLevel_;
            break;
        case SignalKind::sweep:
            out[i] = std::sin(kTwoPi * phase_);
            phase_ += frequency_ / sampleRate_;
            frequency_ *= sweepRatio_;
            break;
        }
        phase_ -= std::floor(phase_);
    }
}
