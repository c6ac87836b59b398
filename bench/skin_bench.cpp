// The skin: decoding the 1x set from the module's resources; drawing what a window's first
// opening shows at larger scales (the background, the switch and the knobs' current frames);
// and drawing a knob's frames one by one as it turns. The images are the platform's (cairo
// surfaces natively, GDI sections under Wine). MB is the memory the images take.
#include "gui/bitmap.h"
#include "gui/shared_images.h"
#include "resources/resource_ids.h"
#include "skin/skin.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

namespace
{

const int32_t kImages[] = {IDB_BACKGROUND, IDB_KNOB_DRIVE, IDB_KNOB_TONE,
                           IDB_KNOB_LEVEL, IDB_BYPASS,     IDB_ABOUT};

void DecodeSkinSet(benchmark::State& state)
{
    std::size_t bytes = 0;
    for (auto _ : state)
    {
        VSTGUI::CBitmap* bitmaps[6] = {};
        for (int i = 0; i < 6; ++i)
        {
            bitmaps[i] = new VSTGUI::CBitmap(kImages[i]);
            VSTGUI::sharedImages::prepareRows(bitmaps[i]->getImage(), 0,
                                              bitmaps[i]->getPixelHeight());
        }
        state.PauseTiming();
        bytes = VSTGUI::sharedImages::usage().bytes;
        for (VSTGUI::CBitmap* bitmap : bitmaps)
            bitmap->release();
        state.ResumeTiming();
    }
    state.counters["MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}
BENCHMARK(DecodeSkinSet)->Unit(benchmark::kMillisecond);

// The pictures of a window's first opening at a scale, with Drive, Tone and Level at 0.5.
void DrawOpeningSkin(benchmark::State& state)
{
    const double scale = static_cast<double>(state.range(0)) / 100.0;
    std::size_t bytes = 0;
    for (auto _ : state)
    {
        const auto background = VSTGUI::sharedImages::acquireDrawn(IDB_BACKGROUND, scale);
        const auto bypass = VSTGUI::sharedImages::acquireDrawn(IDB_BYPASS, scale);
        VSTGUI::sharedImages::DrawnPicture knobs[3];
        for (int i = 0; i < 3; ++i)
            knobs[i] = VSTGUI::sharedImages::acquireDrawn(IDB_KNOB_DRIVE + i, scale);
        VSTGUI::sharedImages::drawnFrame(background.handle, 0);
        VSTGUI::sharedImages::drawnFrame(bypass.handle, 0);
        for (const auto& knob : knobs)
            VSTGUI::sharedImages::drawnFrame(knob.handle, 67);
        state.PauseTiming();
        bytes = VSTGUI::sharedImages::usage().bytes;
        VSTGUI::sharedImages::releaseDrawn(background.handle);
        VSTGUI::sharedImages::releaseDrawn(bypass.handle);
        for (const auto& knob : knobs)
            VSTGUI::sharedImages::releaseDrawn(knob.handle);
        state.ResumeTiming();
    }
    state.counters["MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}
BENCHMARK(DrawOpeningSkin)
    ->ArgName("scale")
    ->Arg(125)
    ->Arg(150)
    ->Arg(200)
    ->Arg(250)
    ->Arg(300)
    ->Unit(benchmark::kMillisecond);

// A knob turned through all its frames, each drawn for the first time: the time per frame, and
// the longest any frame took (max_ms).
void DrawKnobFrames(benchmark::State& state)
{
    const double scale = static_cast<double>(state.range(0)) / 100.0;
    const auto painter = skin::makePainter(skin::Picture::KnobDrive, scale);
    const skin::Shape shape = skin::shapeOf(skin::Picture::KnobDrive);
    skin::Image frame(skin::pixelsOf(shape.width, scale), skin::pixelsOf(shape.height, scale));
    double longest = 0.0;
    int index = 0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        painter->drawFrame(index, frame.pixels());
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        longest = std::max(longest, took.count());
        index = (index + 1) % shape.frames;
    }
    state.counters["max_ms"] = longest * 1000.0;
}
BENCHMARK(DrawKnobFrames)
    ->ArgName("scale")
    ->Arg(200)
    ->Arg(300)
    ->Iterations(135)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
