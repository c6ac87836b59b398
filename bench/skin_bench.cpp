// Decoding the skin: a whole set of one scale, as drawing every frame of it does; one film strip
// alone; and what a window's first opening decodes of a strip, the band of its current frame.
// The images come from the module's resources into the platform's images (cairo surfaces
// natively, GDI sections under Wine). decoded_MB is the memory the set's images take.
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

// Loads the bitmap and decodes its picture's rows [top, bottom) (all of them when bottom is 0).
VSTGUI::CBitmap* decoded(int32_t id, int32_t top = 0, int32_t bottom = 0)
{
    auto* bitmap = new VSTGUI::CBitmap(id);
    VSTGUI::sharedImages::prepareRows(bitmap->getImage(), top,
                                      bottom > 0 ? bottom : bitmap->getPixelHeight());
    return bitmap;
}

void DecodeSkinSet(benchmark::State& state)
{
    const int32_t offset = offsetOf(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state)
    {
        VSTGUI::CBitmap* bitmaps[6] = {};
        for (int i = 0; i < 6; ++i)
            bitmaps[i] = decoded(kImages[i] + offset);
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

void DecodeKnobStrip(benchmark::State& state)
{
    const int32_t id = IDB_KNOB_DRIVE + offsetOf(state.range(0));
    for (auto _ : state)
    {
        VSTGUI::CBitmap* bitmap = decoded(id);
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

// The middle frame's rows, as a window opening with Drive at 0.5 draws them.
void DecodeKnobFrame(benchmark::State& state)
{
    const int32_t id = IDB_KNOB_DRIVE + offsetOf(state.range(0));
    const int32_t side = static_cast<int32_t>(state.range(0)) * 70 / 100;
    for (auto _ : state)
    {
        VSTGUI::CBitmap* bitmap = decoded(id, 67 * side, 68 * side);
        state.PauseTiming();
        bitmap->release();
        state.ResumeTiming();
    }
}
BENCHMARK(DecodeKnobFrame)
    ->ArgName("scale")
    ->Arg(100)
    ->Arg(150)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
