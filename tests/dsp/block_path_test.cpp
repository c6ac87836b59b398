// The block path against the per-sample reference path: the SSE2 kernel computes exactly the same
// numbers, wider kernels the same within rounding.

#include "dsp/overdrive_processor.h"
#include "test_signals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <random>
#include <vector>

namespace
{
int allocations = 0;
} // namespace

// Counts the program's allocations, so that a test can tell processing allocates nothing.
void* operator new(std::size_t bytes)
{
    ++allocations;
    if (void* block = std::malloc(bytes == 0 ? 1 : bytes))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

namespace
{
const std::int32_t kRates[] = {44100, 48000, 88200, 96000, 176400, 192000};

void processPlain(OverdriveProcessor& engine, const float* in, float* out, std::int32_t n)
{
    engine.processFloatPlain(in, out, n);
}
void processPlain(OverdriveProcessor& engine, const double* in, double* out, std::int32_t n)
{
    engine.processDoublePlain(in, out, n);
}
void processBlock(OverdriveProcessor& engine, const float* in, float* out, std::int32_t n)
{
    engine.processFloat(in, out, n);
}
void processBlock(OverdriveProcessor& engine, const double* in, double* out, std::int32_t n)
{
    engine.processDouble(in, out, n);
}

std::vector<SimdLevel> supportedLevels()
{
    std::vector<SimdLevel> levels;
    for (const SimdLevel level : {SimdLevel::sse2, SimdLevel::avx2, SimdLevel::avx512})
        if (level <= widestSimdLevel())
            levels.push_back(level);
    return levels;
}

const char* name(SimdLevel level)
{
    return level == SimdLevel::sse2 ? "SSE2" : level == SimdLevel::avx2 ? "AVX2" : "AVX-512";
}

void configure(OverdriveProcessor& engine, std::int32_t rate, const float (&controls)[3])
{
    engine.setSampleRate(rate);
    for (std::int32_t control = 0; control < 3; ++control)
        engine.setParameter(control, controls[control]);
    engine.setParameter(OverdriveProcessor::kBypass, 0.0f);
}

// Whether a block-path result is close enough to the reference: the same bits for the SSE2
// kernel; else a float within one unit in the last place (or 1e-7 of a reference below 1e-7),
// a double within 1e-12 of the reference's RMS.
class Tolerance
{
public:
    Tolerance(SimdLevel level, double referenceRms)
        : exact(level == SimdLevel::sse2), rms(referenceRms)
    {
    }

    bool accepts(float expected, float actual) const
    {
        if (exact)
            return std::memcmp(&expected, &actual, sizeof(float)) == 0;
        if (std::fabs(expected) < 1e-7f && std::fabs(actual - expected) <= 1e-7f)
            return true;
        return actual == expected || actual == std::nextafter(expected, actual) ||
               (std::isfinite(actual) && std::nextafter(actual, expected) == expected);
    }

    bool accepts(double expected, double actual) const
    {
        if (exact)
            return std::memcmp(&expected, &actual, sizeof(double)) == 0;
        return std::fabs(actual - expected) <= 1e-12 * rms;
    }

private:
    bool exact;
    double rms;
};

template <typename Sample> double rmsOf(const std::vector<Sample>& signal)
{
    double sum = 0.0;
    for (const Sample v : signal)
        sum += static_cast<double>(v) * static_cast<double>(v);
    return std::sqrt(sum / static_cast<double>(signal.size()));
}

// Runs the signal through a plain engine and a block engine at one level; the block path
// processes in place, in blocks of the given lengths taken in turn. A control changes between
// blocks when changes is set, on both engines alike.
template <typename Sample>
::testing::AssertionResult pathsAgree(SimdLevel level, std::int32_t rate,
                                      const float (&controls)[3], const std::vector<double>& signal,
                                      const std::vector<int>& lengths, bool changes)
{
    OverdriveProcessor plain;
    OverdriveProcessor block;
    block.setSimdLevel(level);
    configure(plain, rate, controls);
    configure(block, rate, controls);
    std::mt19937 random(static_cast<unsigned>(rate) + static_cast<unsigned>(lengths.size()));
    std::uniform_real_distribution<float> value(-0.5f, 1.5f);
    const std::vector<Sample> input = test_signals::as<Sample>(signal);
    std::vector<Sample> expected(input.size());
    std::vector<Sample> actual = input;
    std::size_t start = 0;
    for (std::size_t turn = 0; start < input.size(); ++turn)
    {
        const auto n = static_cast<std::int32_t>(
            std::min<std::size_t>(lengths[turn % lengths.size()], input.size() - start));
        if (changes && turn % 3 == 0)
        {
            const auto control = static_cast<std::int32_t>(random() % 3);
            const float v = value(random);
            plain.setParameter(control, v);
            block.setParameter(control, v);
        }
        processPlain(plain, input.data() + start, expected.data() + start, n);
        processBlock(block, actual.data() + start, actual.data() + start, n);
        start += static_cast<std::size_t>(n);
    }
    const Tolerance tolerance(level, rmsOf(expected));
    for (std::size_t i = 0; i < input.size(); ++i)
    {
        if (!tolerance.accepts(expected[i], actual[i]))
            return ::testing::AssertionFailure()
                   << "first difference at sample " << i << ": " << expected[i] << " vs "
                   << actual[i] << " (" << name(level) << ", " << rate << " Hz)";
    }
    return ::testing::AssertionSuccess();
}

// Block lengths of 1 to 8192, the sizes around the chunk boundaries well represented.
std::vector<int> randomLengths(unsigned seed)
{
    std::mt19937 random(seed);
    const int sizes[] = {1, 2, 3, 31, 32, 33, 64, 100, 255, 512, 1000, 4096, 8192};
    std::uniform_int_distribution<int> pick(0, 25);
    std::vector<int> lengths;
    for (int i = 0; i < 64; ++i)
    {
        const int choice = pick(random);
        lengths.push_back(choice < 13 ? sizes[choice]
                                      : std::uniform_int_distribution<int>(1, 8192)(random));
    }
    return lengths;
}

const float kMiddle[3] = {0.5f, 0.5f, 0.5f};

TEST(BlockPath, EveryLevelMatchesThePlainPathWithChangingControls)
{
    for (const SimdLevel level : supportedLevels())
        for (const std::int32_t rate : kRates)
        {
            const std::vector<double> noise =
                test_signals::noise(rate * 3 / 4, static_cast<unsigned>(rate));
            const std::vector<double> music = test_signals::musical(rate, rate);
            EXPECT_TRUE(pathsAgree<double>(level, rate, kMiddle, noise, randomLengths(1), true));
            EXPECT_TRUE(pathsAgree<float>(level, rate, kMiddle, noise, randomLengths(2), true));
            EXPECT_TRUE(pathsAgree<double>(level, rate, kMiddle, music, randomLengths(3), true));
            EXPECT_TRUE(pathsAgree<float>(level, rate, kMiddle, music, randomLengths(4), true));
        }
}

TEST(BlockPath, EveryLevelMatchesThePlainPathAcrossControlsAndHostBlocks)
{
    // The corners of the control range and values beyond it, in blocks of 1, 37 and 4096.
    const float settings[][3] = {{0.0f, 0.0f, 1.0f},
                                 {1.0f, 1.0f, 0.0f},
                                 {1.0f, 0.0f, 0.7f},
                                 {-0.5f, 1.5f, 2.0f},
                                 {3.0f, -1.0f, 0.3f}};
    for (const SimdLevel level : supportedLevels())
        for (const std::int32_t rate : kRates)
        {
            std::vector<double> signal = test_signals::musical(rate, rate / 2);
            const std::vector<double> sine = test_signals::sine(1.0, 1000.0, rate, rate / 4);
            signal.insert(signal.end(), sine.begin(), sine.end());
            for (const auto& controls : settings)
                for (const int length : {1, 37, 4096})
                {
                    EXPECT_TRUE(pathsAgree<double>(level, rate, controls, signal, {length}, false));
                    EXPECT_TRUE(pathsAgree<float>(level, rate, controls, signal, {length}, false));
                }
        }
}

TEST(BlockPath, HandsItsStateToThePlainPath)
{
    // Alternating the two paths on one engine must continue every history: exactly with the SSE2
    // kernel, within rounding with wider ones.
    const std::vector<double> signal = test_signals::musical(48000, 30000);
    for (const SimdLevel level : supportedLevels())
    {
        OverdriveProcessor reference;
        OverdriveProcessor mixed;
        mixed.setSimdLevel(level);
        reference.setSampleRate(48000);
        mixed.setSampleRate(48000);
        std::vector<double> expected(signal.size());
        std::vector<double> actual(signal.size());
        reference.processDoublePlain(signal.data(), expected.data(),
                                     static_cast<std::int32_t>(signal.size()));
        std::size_t start = 0;
        for (std::int32_t n = 1; start < signal.size(); n = n * 3 % 1999 + 1)
        {
            const auto length =
                static_cast<std::int32_t>(std::min<std::size_t>(n, signal.size() - start));
            if (n % 2 == 0)
                mixed.processDouble(signal.data() + start, actual.data() + start, length);
            else
                mixed.processDoublePlain(signal.data() + start, actual.data() + start, length);
            start += static_cast<std::size_t>(length);
        }
        const Tolerance tolerance(level, rmsOf(expected));
        for (std::size_t i = 0; i < signal.size(); ++i)
            ASSERT_TRUE(tolerance.accepts(expected[i], actual[i])) << name(level) << " at " << i;
    }
}

TEST(BlockPath, EveryLevelProcessesWithoutAllocating)
{
    for (const SimdLevel level : supportedLevels())
        for (const std::int32_t rate : kRates)
        {
            OverdriveProcessor engine;
            engine.setSimdLevel(level);
            configure(engine, rate, kMiddle);
            std::vector<double> signal = test_signals::noise(4096, 5);
            std::vector<float> floats = test_signals::as<float>(signal);
            const int before = allocations;
            for (const std::int32_t length : {1, 37, 4096})
            {
                engine.processDouble(signal.data(), signal.data(), length);
                engine.processFloat(floats.data(), floats.data(), length);
            }
            EXPECT_EQ(before, allocations) << name(level) << ", " << rate << " Hz";
        }
}

TEST(BlockPath, LevelsAreChosenPerEngineAndCappedAtTheWidest)
{
    OverdriveProcessor engine;
    EXPECT_EQ(widestSimdLevel(), engine.getSimdLevel());
    engine.setSimdLevel(SimdLevel::sse2);
    EXPECT_EQ(SimdLevel::sse2, engine.getSimdLevel());
    engine.setSimdLevel(SimdLevel::avx512);
    EXPECT_EQ(widestSimdLevel(), engine.getSimdLevel());
}
} // namespace
