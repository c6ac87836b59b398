// The soak's input: a seeded, platform-independent sequence of segments a few seconds long,
// each of one kind, the kinds taking turns in shuffled rounds.
#pragma once

#include <cstdint>

enum class SignalKind
{
    noise,
    silence,
    square,
    dc,
    sweep,
};

constexpr int kSignalKinds = 5;

const char* signalKindName(SignalKind kind);

// xorshift64*: the same numbers from the same seed on every compiler and platform, which
// the standard distributions do not promise.
class SoakRandom
{
public:
    explicit SoakRandom(std::uint64_t seed);

    std::uint64_t next();
    // Uniform in [0, 1).
    double uniform();
    // Uniform integer in [0, count).
    int below(int count);

private:
    std::uint64_t state_;
};

class TestSignal
{
public:
    static constexpr double kMinSegmentSeconds = 2.0;
    static constexpr double kMaxSegmentSeconds = 4.0;

    TestSignal(std::uint64_t seed, double sampleRate);

    // Chooses the kind and the length of the next segment; fill() then writes it.
    SignalKind beginSegment();
    long segmentLength() const { return length_; }
    // Writes the next `count` samples of the current segment.
    void fill(double* out, long count);

private:
    void shuffleRound();

    SoakRandom random_;
    double sampleRate_;
    SignalKind round_[kSignalKinds];
    int nextInRound_ = kSignalKinds;
    SignalKind kind_ = SignalKind::silence;
    long length_ = 0;
    double phase_ = 0.0;     // cycles, in [0, 1)
    double frequency_ = 0.0; // Hz, square wave or sweep start
    double sweepRatio_ = 1.0;
    double dcLevel_ = 0.0;
};
