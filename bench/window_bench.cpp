// The Linux window's costs to a host: from effEditOpen to the first complete picture on the
// screen, and the CPU an open window that nobody touches takes between the host's idle calls.
// Needs an X display (xvfb-run when there is none).

#include "host/vst_interface.h"

#include <benchmark/benchmark.h>
// Xlib after Google Benchmark, whose names its macros would otherwise rename.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace
{

constexpr int kWidth = 630;
constexpr int kHeight = 140;
constexpr double kIdlesPerSecond = 50.0; // what hosts call, 30 to 60 a second

VstIntPtr VSTCALLBACK hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

// The plug-in in a black host window.
class Host
{
public:
    Host()
    {
        display = XOpenDisplay(nullptr);
        void* library = dlopen(DRANVELOR_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
        if (!display || !library)
        {
            std::fprintf(stderr, "needs an X display and %s\n", DRANVELOR_PLUGIN_PATH);
            std::exit(1);
        }
        using Entry = AEffect*(VSTCALLBACK*)(audioMasterCallback);
        effect = reinterpret_cast<Entry>(dlsym(library, "VSTPluginMain"))(hostCallback);
        dispatch(effOpen);
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kWidth, kHeight, 0,
                                     0, BlackPixel(display, DefaultScreen(display)));
        XMapWindow(display, window);
        XSync(display, False);
    }
    ~Host()
    {
        dispatch(effClose);
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }

    VstIntPtr dispatch(VstInt32 opcode, void* ptr = nullptr)
    {
        return effect->dispatcher(effect, opcode, 0, 0, ptr, 0.0f);
    }
    void open() { dispatch(effEditOpen, reinterpret_cast<void*>(std::uintptr_t{window})); }
    void close()
    {
        dispatch(effEditClose);
        // Back to black, so that the next picture is seen when it comes.
        XClearWindow(display, window);
        XSync(display, False);
    }
    // The bottom-right pixel is painted last; the background there is not black.
    bool painted()
    {
        XImage* pixel =
            XGetImage(display, window, kWidth - 1, kHeight - 1, 1, 1, AllPlanes, ZPixmap);
        const bool shown = pixel && (XGetPixel(pixel, 0, 0) & 0xFFFFFF) != 0;
        if (pixel)
            XDestroyImage(pixel);
        return shown;
    }

private:
    Display* display = nullptr;
    Window window = 0;
    AEffect* effect = nullptr;
};

Host& host()
{
    static Host instance;
    return instance;
}

void OpenToFirstPicture(benchmark::State& state)
{
    Host& h = host();
    for (auto _ : state)
    {
        h.open();
        while (!h.painted())
            h.dispatch(effEditIdle);
        state.PauseTiming();
        h.close();
        state.ResumeTiming();
    }
}
BENCHMARK(OpenToFirstPicture)->Unit(benchmark::kMillisecond)->UseRealTime();

// core_percent: the share of one core the idle calls take at 50 a second (printed with SI
// prefixes: 5m is 0.005 %).
void IdleOfAnUntouchedWindow(benchmark::State& state)
{
    Host& h = host();
    h.open();
    while (!h.painted())
        h.dispatch(effEditIdle);
    for (auto _ : state)
        h.dispatch(effEditIdle);
    state.counters["core_percent"] =
        benchmark::Counter(static_cast<double>(state.iterations()) / (kIdlesPerSecond * 100.0),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    h.close();
}
BENCHMARK(IdleOfAnUntouchedWindow)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
