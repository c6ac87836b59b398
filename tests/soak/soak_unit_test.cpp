// The soak's signal must be what its checks assume (exact silence, full-scale squares, every
// kind in turn, the same from the same seed), its cost windows must shrug off a block that lost
// the processor, and costs, which depend on the machine's load, are reported but never fail a run.
#include "bench/soak/soak_result.h"
#include "bench/soak/test_signal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace
{
constexpr double kRate = 8000.0;

struct Segment
{
    SignalKind kind;
    std::vector<double> samples;
};

std::vector<Segment> segments(std::uint64_t seed, int count)
{
    TestSignal signal(seed, kRate);
    std::vector<Segment> result;
    for (int i = 0; i < count; ++i)
    {
        Segment segment{signal.beginSegment(), {}};
        segment.samples.resize(static_cast<std::size_t>(signal.segmentLength()));
        // In two parts, as the soak fills block by block.
        const long half = signal.segmentLength() / 2;
        signal.fill(segment.samples.data(), half);
        signal.fill(segment.samples.data() + half, signal.segmentLength() - half);
        result.push_back(std::move(segment));
    }
    return result;
}

TEST(SoakSignal, EveryKindTakesItsTurnWithTheLevelsTheChecksAssume)
{
    const auto all = segments(7, 4 * kSignalKinds);
    for (std::size_t round = 0; round < all.size(); round += kSignalKinds)
    {
        std::set<SignalKind> kinds;
        for (std::size_t i = round; i < round + kSignalKinds; ++i)
            kinds.insert(all[i].kind);
        EXPECT_EQ(kinds.size(), static_cast<std::size_t>(kSignalKinds)) << "round at " << round;
    }
    for (std::size_t i = 0; i < all.size(); ++i)
    {
        const Segment& segment = all[i];
        if (i > 0)
        {
            EXPECT_NE(segment.kind, all[i - 1].kind) << "segment " << i;
        }
        const double seconds = static_cast<double>(segment.samples.size()) / kRate;
        EXPECT_GE(seconds, TestSignal::kMinSegmentSeconds - 1.0 / kRate);
        EXPECT_LE(seconds, TestSignal::kMaxSegmentSeconds);

        const auto [low, high] =
            std::minmax_element(segment.samples.begin(), segment.samples.end());
        switch (segment.kind)
        {
        case SignalKind::silence:
            EXPECT_EQ(*low, 0.0);
            EXPECT_EQ(*high, 0.0);
            break;
        case SignalKind::square:
            EXPECT_EQ(*low, -1.0);
            EXPECT_EQ(*high, 1.0);
            EXPECT_TRUE(std::all_of(segment.samples.begin(), segment.samples.end(),
                                    [](double s) { return std::fabs(s) == 1.0; }));
            break;
        case SignalKind::dc:
            EXPECT_EQ(*low, *high);
            EXPECT_LE(std::fabs(*low), 1.0);
            break;
        case SignalKind::noise:
        case SignalKind::sweep:
            EXPECT_LT(*low, -0.9);
            EXPECT_GT(*high, 0.9);
            EXPECT_LE(std::max(-*low, *high), 1.0);
            break;
        }
    }
}

TEST(SoakSignal, SameSeedSameSignalOtherSeedOtherSignal)
{
    const auto first = segments(11, 6);
    const auto again = segments(11, 6);
    const auto other = segments(12, 6);
    bool differs = false;
    for (std::size_t i = 0; i < first.size(); ++i)
    {
        EXPECT_EQ(first[i].kind, again[i].kind);
        EXPECT_EQ(first[i].samples, again[i].samples);
        differs = differs || first[i].samples != other[i].samples;
    }
    EXPECT_TRUE(differs);
}

TEST(SoakCostWindows, KindsFillTheirOwnWindowsAndAPreemptedBlockDoesNotCount)
{
    CostWindows cost(1000.0, 4, 16);
    for (int block = 0; block < 10; ++block)
    {
        cost.add(SignalKind::silence, 100, block == 3 ? 1000000 : 5000); // 50 ns/sample
        cost.add(SignalKind::noise, 100, 4000);                          // 40 ns/sample
        cost.add(SignalKind::sweep, 50, 2000);
    }
    EXPECT_EQ(cost.windows(SignalKind::silence), std::vector<double>{50.0});
    EXPECT_EQ(cost.windows(SignalKind::noise), std::vector<double>{40.0});
    EXPECT_TRUE(cost.windows(SignalKind::sweep).empty()) << "only half a window of sweep";
    EXPECT_EQ(cost.silenceMedian(), 50.0);
    EXPECT_EQ(cost.signalMedian(), 40.0);
}

TEST(SoakCostWindows, WithoutACompleteWindowThereIsNoMedianToCompare)
{
    CostWindows cost(1000.0, 4, 16);
    cost.add(SignalKind::noise, 1000, 4000);
    cost.add(SignalKind::silence, 999, 4000);
    EXPECT_TRUE(std::isnan(cost.silenceMedian()));
    EXPECT_EQ(cost.signalMedian(), 4.0);
}
TEST(SoakFailures, CostsAreReportedButFailNoRun)
{
    SoakOptions options;
    options.windowSeconds = 1.0;
    SoakResult result(512.0, 4, 4);
    result.cost.add(SignalKind::silence, 512, 4000);
    result.cost.add(SignalKind::noise, 512, 400);
    result.memoryStart = result.memoryEnd = 1 << 20;
    EXPECT_TRUE(soakFailures(result, options).empty());

    std::FILE* summary = std::tmpfile();
    ASSERT_NE(summary, nullptr);
    printSoakSummary(summary, result, options);
    std::rewind(summary);
    std::string text;
    for (int c = std::fgetc(summary); c != EOF; c = std::fgetc(summary))
        text += static_cast<char>(c);
    std::fclose(summary);
    EXPECT_NE(text.find("silence vs signal: +900.0 % (7.8 vs 0.8)"), std::string::npos) << text;
}
} // namespace
