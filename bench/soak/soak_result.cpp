#include "soak_result.h"

#include "meters.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
constexpr double kKiB = 1024.0;
constexpr double kMiB = 1024.0 * 1024.0;

double spreadPercent(const SoakResult& result)
{
    return (result.cost.silenceMedian() / result.cost.signalMedian() - 1.0) * 100.0;
}

std::string format(const char* pattern, double a, double b = 0.0, double c = 0.0)
{
    char text[256];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}
} // namespace

namespace
{
// Reorders `values`.
double medianInPlace(std::vector<double>& values)
{
    if (values.empty())
        return std::numeric_limits<double>::quiet_NaN();
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    if (values.size() % 2 == 1)
        return *middle;
    return (*middle + *std::max_element(values.begin(), middle)) / 2.0;
}
} // namespace

double median(std::vector<double> values)
{
    return medianInPlace(values);
}

CostWindows::CostWindows(double windowSamples, std::size_t expectedWindows,
                         std::size_t blocksPerWindow)
    : windowSamples_(windowSamples)
{
    // Reserved up front so that the run itself does not grow the process.
    for (Kind& kind : kinds_)
    {
        kind.windows.reserve(expectedWindows);
        kind.blocks.reserve(blocksPerWindow);
    }
}

void CostWindows::add(SignalKind kind, long samples, std::int64_t nanoseconds)
{
    Kind& entry = kinds_[static_cast<int>(kind)];
    entry.blocks.push_back(static_cast<double>(nanoseconds) / static_cast<double>(samples));
    entry.samples += static_cast<double>(samples);
    if (entry.samples >= windowSamples_)
    {
        entry.windows.push_back(medianInPlace(entry.blocks));
        entry.blocks.clear();
        entry.samples = 0.0;
    }
}

double CostWindows::silenceMedian() const
{
    return median(windows(SignalKind::silence));
}

double CostWindows::signalMedian() const
{
    std::vector<double> all;
    for (int kind = 0; kind < kSignalKinds; ++kind)
        if (static_cast<SignalKind>(kind) != SignalKind::silence)
            all.insert(all.end(), kinds_[kind].windows.begin(), kinds_[kind].windows.end());
    return median(std::move(all));
}

const char* LevelPeaks::bandName(int band)
{
    static const char* const names[kBands] = {"[0, 0.25)", "[0.25, 0.5)", "[0.5, 0.75)",
                                              "[0.75, 1)", "1"};
    return names[band];
}

void LevelPeaks::add(float level, double peak)
{
    const int band = level >= 1.0f ? kBands - 1 : std::clamp(static_cast<int>(level * 4.0f), 0, 3);
    peaks_[band] = std::max(peaks_[band], peak);
}

double LevelPeaks::overall() const
{
    return *std::max_element(std::begin(peaks_), std::end(peaks_));
}

std::vector<std::string> soakFailures(const SoakResult& result, const SoakOptions& options)
{
    std::vector<std::string> failures;
    if (result.nonFiniteSamples > 0)
        failures.push_back(format("output not finite: %.0f samples, the first at %.3f s",
                                  static_cast<double>(result.nonFiniteSamples),
                                  result.firstNonFiniteSecond));
    if (result.peaks.overall() > options.maxOutput)
        failures.push_back(format("output too loud: max |out| %g exceeds %g",
                                  result.peaks.overall(), options.maxOutput));

    if (result.memoryStart < 0 || result.memoryEnd < 0)
        failures.push_back("memory of the process could not be read");
    else if (static_cast<double>(result.memoryEnd - result.memoryStart) >
             options.memoryToleranceKiB * kKiB)
        failures.push_back(format("memory grew by %.0f KiB (%.1f -> %.1f MiB)",
                                  static_cast<double>(result.memoryEnd - result.memoryStart) / kKiB,
                                  static_cast<double>(result.memoryStart) / kMiB,
                                  static_cast<double>(result.memoryEnd) / kMiB) +
                           format(", allowed %g KiB", options.memoryToleranceKiB));
    return failures;
}

void printSoakSummary(std::FILE* out, const SoakResult& result, const SoakOptions& options)
{
    const double audioSeconds = static_cast<double>(result.samples) / options.sampleRate;
    std::fprintf(out, "plug-in:        %s\n", options.plugin.c_str());
    std::fprintf(out, "audio:          %.1f s at %g Hz, blocks of %d, %s, seed %llu\n",
                 audioSeconds, options.sampleRate, options.blockSize,
                 options.doublePrecision ? "double" : "float",
                 static_cast<unsigned long long>(options.seed));
    std::fprintf(out, "wall time:      %.1f s, real-time factor %.1f\n", result.wallSeconds,
                 audioSeconds / result.wallSeconds);

    std::fprintf(out, "cost (ns/sample by %s, a step of %.2f, windows of %g s): median, min, max\n",
                 costClockName(), result.costStep, options.windowSeconds);
    for (int kind = 0; kind < kSignalKinds; ++kind)
    {
        const auto& windows = result.cost.windows(static_cast<SignalKind>(kind));
        std::fprintf(out, "  %-8s %4zu windows", signalKindName(static_cast<SignalKind>(kind)),
                     windows.size());
        if (!windows.empty())
            std::fprintf(out, "  %8.1f %8.1f %8.1f", median(windows),
                         *std::min_element(windows.begin(), windows.end()),
                         *std::max_element(windows.begin(), windows.end()));
        std::fprintf(out, "\n");
    }
    if (std::isnan(result.cost.silenceMedian()) || std::isnan(result.cost.signalMedian()))
        std::fprintf(out,
                     "  silence vs signal: too little audio to compare, a window of %g s of "
                     "each\n",
                     options.windowSeconds);
    else
        std::fprintf(out, "  silence vs signal: %+.1f %% (%.1f vs %.1f)\n", spreadPercent(result),
                     result.cost.silenceMedian(), result.cost.signalMedian());

    std::fprintf(out, "max |out|:      %.6g, allowed %g; by Level:", result.peaks.overall(),
                 options.maxOutput);
    for (int band = 0; band < LevelPeaks::kBands; ++band)
        if (result.peaks.peak(band) >= 0.0)
            std::fprintf(out, " %s %.4g;", LevelPeaks::bandName(band), result.peaks.peak(band));
    std::fprintf(out, "\nnon-finite:     %lld samples\n", result.nonFiniteSamples);
    std::fprintf(out, "memory (%s): start %.2f MiB, end %.2f MiB (%+.0f KiB), peak %.2f MiB\n",
                 processMemoryName(), static_cast<double>(result.memoryStart) / kMiB,
                 static_cast<double>(result.memoryEnd) / kMiB,
                 static_cast<double>(result.memoryEnd - result.memoryStart) / kKiB,
                 static_cast<double>(result.memoryPeak) / kMiB);
}
