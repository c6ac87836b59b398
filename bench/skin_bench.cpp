// Decoding a set of the skin, as a window's first opening does: the six images of one scale
// taken from the module's resources into the platform's images (cairo surfaces natively, GDI
// sections under Wine). decoded_MB is the memory the set's images take once decoded.
#include "gui/bitmap.h"
#include "gui/shared_images.h"
#include "resources/resource_ids.h"

#include <benchmark/benchmark.h>

namespace
{

const int32_t kImages[] = {IDB_BACKGROUND, IDB_KNOB_DRIVE, IDB_KNOB_TONE,
                           IDB_KNOB_LEVEL, IDB_BYPASS,     IDB_ABOUT};

int32_t offsetOf(int64_t percent)
{
    return percent == 150 ? IDB_SET_150_OFFSET : percent == 200 ? IDB_SET_200_OFFSET : 0;
}

void DecodeSkinSet(benchmark::State& state)
{
    const int32_t offset = offsetOf(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state)
    {
        VSTGUI::CBitmap* bitmaps[6] = {};
        for (int i = 0; i < 6; ++i)
            bitmaps[i] = new VSTGUI::CBitmap(kImages[i] + offset);
        state.PauseTiming();
        bytes = VSTGUI::sharedImages::usage().bytes;
        for (VSTGUI::CBitmap* bitmap : bitmaps)
            bitmap->release();
        state.ResumeTiming();
    }
    state.counters["decoded_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}
BENCHMARK(DecodeSkinSet)
    ->ArgName("scale")
    ->Arg(100)
    ->Arg(150)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond);

// One film strip alone: most of a set's time.
void DecodeKnobStrip(benchmark::State& state)
{
    const int32_t id = IDB_KNOB_DRIVE + offsetOf(state.range(0));
    for (auto _ : state)
    {
        auto* bitmap = new VSTGUI::CBitmap(id);
        state.PauseTiming();
        bitmap->release();
        state.ResumeTiming();
    }
}
BENCHMARK(DecodeKnobStrip)
    ->ArgName("scale")
    ->Arg(100)
    ->Arg(150)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
