// The block path must compute exactly what the per-sample reference path computes.

#include "dsp/overdrive_processor.h"
#include "test_signals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace
{
const std::int32_t kRates[] = {44100, 48000, 88200, 96000, 176400, 192000};

template <typename Sample>
void processPlain(OverdriveProcessor&, const Sample*, Sample*, std::int32_t);
template <typename Sample>
void processBlock(OverdriveProcessor&, const Sample*, Sample*, std::int32_t);

template <>
void processPlain<float>(OverdriveProcessor& engine, const float* in, float* out, std::int32_t n)
{
    engine.processFloatPlain(in, out, n);
}
template <>
void processPlain<double>(OverdriveProcessor& engine, const double* in, double* out, std::int32_t n)
{
    engine.processDoublePlain(in, out, n);
}
template <>
void processBlock<float>(OverdriveProcessor& engine, const float* in, float* out, std::int32_t n)
{
    engine.processFloat(in, out, n);
}
template <>
void processBlock<double>(OverdriveProcessor& engine, const double* in, double* out, std::int32_t n)
{
    engine.processDouble(in, out, n);
}

// Runs the signal through two engines in blocks of random length (1 to 8192, with the sizes
// around the chunk boundaries well represented), changing the controls between some blocks; the
// block path processes in place. Returns whether every sample matched bit for bit.
template <typename Sample>
::testing::AssertionResult pathsAgree(std::int32_t rate, const std::vector<double>& signal,
                                      unsigned seed)
{
    OverdriveProcessor plain;
    OverdriveProcessor block;
    for (OverdriveProcessor* engine : {&plain, &block})
    {
        engine->setSampleRate(rate);
        for (std::int32_t control = 0; control < 3; ++control)
            engine->setParameter(control, 0.5f);
        engine->setParameter(OverdriveProcessor::kBypass, 0.0f);
    }
    std::mt19937 random(seed);
    const int sizes[] = {1, 2, 3, 31, 32, 33, 64, 100, 255, 512, 1000, 4096, 8192};
    std::uniform_int_distribution<int> pick(0, 25);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    const std::vector<Sample> input = test_signals::as<Sample>(signal);
    std::vector<Sample> expected(input.size());
    std::vector<Sample> actual = input;
    std::size_t start = 0;
    while (start < input.size())
    {
        const int choice = pick(random);
        const int wanted =
            choice < 13 ? sizes[choice] : std::uniform_int_distribution<int>(1, 8192)(random);
        const auto n =
            static_cast<std::int32_t>(std::min<std::size_t>(wanted, input.size() - start));
        if (choice % 3 == 0)
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
    for (std::size_t i = 0; i < input.size(); ++i)
    {
        if (std::memcmp(&expected[i], &actual[i], sizeof(Sample)) != 0)
            return ::testing::AssertionFailure() << "first difference at sample " << i << ": "
                                                 << expected[i] << " vs " << actual[i];
    }
    return ::testing::AssertionSuccess();
}

TEST(BlockPath, MatchesThePlainPathOnNoise)
{
    for (const std::int32_t rate : kRates)
    {
        const std::vector<double> signal =
            test_signals::noise(rate * 3 / 4, static_cast<unsigned>(rate));
        EXPECT_TRUE(pathsAgree<double>(rate, signal, 1)) << rate << " Hz, double";
        EXPECT_TRUE(pathsAgree<float>(rate, signal, 2)) << rate << " Hz, float";
    }
}

TEST(BlockPath, MatchesThePlainPathOnMusic)
{
    for (const std::int32_t rate : kRates)
    {
        const std::vector<double> signal = test_signals::musical(rate, rate);
        EXPECT_TRUE(pathsAgree<double>(rate, signal, 3)) << rate << " Hz, double";
        EXPECT_TRUE(pathsAgree<float>(rate, signal, 4)) << rate << " Hz, float";
    }
}

TEST(BlockPath, HandsItsStateToThePlainPath)
{
    // Alternating the two paths on one engine must continue every history exactly.
    const std::vector<double> signal = test_signals::musical(48000, 30000);
    OverdriveProcessor reference;
    OverdriveProcessor mixed;
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
    EXPECT_EQ(0, std::memcmp(expected.data(), actual.data(), signal.size() * sizeof(double)));
}
} // namespace
