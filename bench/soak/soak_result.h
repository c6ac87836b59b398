// What a soak run measured, and the verdict on it.
#pragma once

#include "soak_options.h"
#include "test_signal.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

double median(std::vector<double> values);

// Processing cost per signal kind, in windows of a fixed amount of audio of one kind. Kinds
// take turns every few seconds, so slow spells of a busy machine fall on all kinds alike. A
// window's cost is the median of its blocks' costs per sample: a block that lost its processor
// to another program does not count.
class CostWindows
{
public:
    CostWindows(double windowSamples, std::size_t expectedWindows, std::size_t blocksPerWindow);

    void add(SignalKind kind, long samples, std::int64_t nanoseconds);

    // Nanoseconds per sample of each complete window of `kind`.
    const std::vector<double>& windows(SignalKind kind) const
    {
        return kinds_[static_cast<int>(kind)].windows;
    }
    // Median of the silence windows and of the windows of every other kind; NaN when there is
    // no complete window of that side.
    double silenceMedian() const;
    double signalMedian() const;

private:
    struct Kind
    {
        std::vector<double> windows;
        std::vector<double> blocks; // ns per sample of the blocks of the open window
        double samples = 0.0;
    };

    double windowSamples_;
    Kind kinds_[kSignalKinds];
};

// The largest |output| seen, by the Level in force while it was produced.
class LevelPeaks
{
public:
    static constexpr int kBands = 5;

    static const char* bandName(int band);
    void add(float level, double peak);
    // -1 when no block ran at a Level of that band.
    double peak(int band) const { return peaks_[band]; }
    double overall() const;

private:
    double peaks_[kBands] = {-1.0, -1.0, -1.0, -1.0, -1.0};
};

struct SoakResult
{
    SoakResult(double windowSamples, std::size_t expectedWindows, std::size_t blocksPerWindow)
        : cost(windowSamples, expectedWindows, blocksPerWindow)
    {
    }

    long long samples = 0;
    double wallSeconds = 0.0;
    CostWindows cost;
    // The ns per sample that one step of the cost clock makes in a block: the resolution of the
    // costs (Wine's steady clock moves in 100 ns steps, about a cheap plug-in's whole block).
    double costStep = 0.0;
    LevelPeaks peaks;
    long long nonFiniteSamples = 0;
    double firstNonFiniteSecond = -1.0;
    std::int64_t memoryStart = -1;
    std::int64_t memoryEnd = -1;
    std::int64_t memoryPeak = -1;
};

// One line for each check that failed; empty when the run passed.
std::vector<std::string> soakFailures(const SoakResult& result, const SoakOptions& options);

void printSoakSummary(std::FILE* out, const SoakResult& result, const SoakOptions& options);
