// One thread processes audio without pause while another automates every parameter and
// switches programs as fast as it can: the output stays finite, and under ThreadSanitizer
// the run reports no data race. The same storm also runs while the Linux window opens, idles
// and closes on the test's own thread.
#include "host/vst_interface.h"

#include <gtest/gtest.h>
// Xlib after GoogleTest: its None macro would rename a GoogleTest type.
#include <X11/Xlib.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <dlfcn.h>
#include <random>
#include <thread>
#include <vector>

namespace
{
VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    if (opcode == audioMasterVersion)
        return kVstVersion;
    if (opcode == audioMasterGetSampleRate)
        return 48000;
    return 0;
}

AEffect* createEffect()
{
    void* library = dlopen(DRANVELOR_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
        return nullptr;
    auto entry =
        reinterpret_cast<AEffect* (*)(audioMasterCallback)>(dlsym(library, "VSTPluginMain"));
    return entry != nullptr ? entry(host) : nullptr;
}

TEST(ConcurrentAutomation, ProcessingWhileParametersAndProgramsChange)
{
    AEffect* effect = createEffect();
    ASSERT_NE(effect, nullptr);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);

    std::atomic<bool> running{true};
    std::atomic<long> nonFinite{0};
    std::atomic<long> blocks{0};

    std::thread audio(
        [&]
        {
            std::vector<float> in(256), out(256);
            float* inputs[1] = {in.data()};
            float* outputs[1] = {out.data()};
            double phase = 0.0;
            while (running.load(std::memory_order_relaxed))
            {
                for (float& sample : in)
                {
                    sample = static_cast<float>(0.8 * std::sin(phase));
                    phase += 0.05;
                }
                effect->processReplacing(effect, inputs, outputs, 256);
                for (float sample : out)
                    if (!std::isfinite(sample))
                        nonFinite.fetch_add(1, std::memory_order_relaxed);
                blocks.fetch_add(1, std::memory_order_relaxed);
            }
        });

    std::mt19937 random(3);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    // A fixed amount of automation, and as long as the audio thread needs for a good number of
    // blocks under it, however the two threads are scheduled.
    long changes = 0;
    while (changes < 4096 || blocks.load() < 64)
    {
        for (VstInt32 index = 0; index < 4; ++index)
            effect->setParameter(effect, index, value(random));
        if (++changes % 16 == 0)
            effect->dispatcher(effect, effSetProgram, 0, static_cast<VstIntPtr>(random() % 16),
                               nullptr, 0.0f);
    }
    running = false;
    audio.join();

    EXPECT_EQ(nonFinite.load(), 0);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}
class WindowAutomation : public ::testing::TestWithParam<float>
{
};

// At 2x the window also redraws at 1.5 while open, as when it moves to another screen.
TEST_P(WindowAutomation, WindowOpensAndClosesWhileTheAudioThreadAutomates)
{
    const float scale = GetParam();
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        GTEST_SKIP() << "no X display";
    const auto side = [scale](float units) { return static_cast<unsigned>(units * scale + 0.5f); };
    const ::Window host = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0,
                                              side(630.0f), side(140.0f), 0, 0, 0);
    XMapWindow(display, host);
    XSync(display, False);
    void* parent = reinterpret_cast<void*>(static_cast<uintptr_t>(host));

    AEffect* effect = createEffect();
    ASSERT_NE(effect, nullptr);
    const auto sendScale = [effect](float factor)
    {
        effect->dispatcher(effect, effVendorSpecific, kContentScaleIndex, kContentScaleValue,
                           nullptr, factor);
    };
    sendScale(scale);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    std::atomic<bool> running{true};
    std::atomic<long> blocks{0};
    std::thread audio(
        [&]
        {
            std::mt19937 random(5);
            std::uniform_real_distribution<float> value(0.0f, 1.0f);
            std::vector<float> in(128, 0.5f), out(128);
            float* inputs[1] = {in.data()};
            float* outputs[1] = {out.data()};
            for (long block = 0; running.load(std::memory_order_relaxed); ++block)
            {
                if (block % 8 == 0)
                    effect->dispatcher(effect, effSetProgram, 0,
                                       static_cast<VstIntPtr>(random() % 16), nullptr, 0.0f);
                for (VstInt32 index = 0; index < 4; ++index)
                    effect->setParameter(effect, index, value(random));
                effect->processReplacing(effect, inputs, outputs, 128);
                blocks.fetch_add(1, std::memory_order_relaxed);
            }
        });

    for (int opening = 0; opening < 12; ++opening)
    {
        ASSERT_EQ(effect->dispatcher(effect, effEditOpen, 0, 0, parent, 0.0f), 1);
        // Each window idles, and stays open until the audio thread has automated a few blocks
        // against it, however the two threads are scheduled.
        const long start = blocks.load();
        for (int idle = 0; idle < 5; ++idle)
        {
            if (scale != 1.0f && idle == 2)
                sendScale(scale - 0.5f);
            effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
        }
        while (blocks.load() < start + 8)
            std::this_thread::yield();
        effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
        sendScale(scale);
    }
    running = false;
    audio.join();
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    XDestroyWindow(display, host);
    XCloseDisplay(display);
}

INSTANTIATE_TEST_SUITE_P(Scales, WindowAutomation, ::testing::Values(1.0f, 2.0f));
} // namespace
