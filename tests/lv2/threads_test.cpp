// The LV2 instance under a host's threads (run under ThreadSanitizer in the tsan tree): an audio
// thread runs one instance and copies into its control ports, between runs, the values a control
// thread keeps changing, while a third thread makes, runs and frees other instances. The
// instances share nothing a thread could race on.
#include "lv2_bundle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

namespace
{

constexpr uint32_t kBlock = 64;

TEST(Lv2Threads, PortChangesAndOtherInstancesDuringRunsRaceOnNothing)
{
    ASSERT_NE(Lv2Bundle::shared().plugin(), nullptr);
    std::atomic<float> posted[lv2port::kNumControls];
    for (auto& value : posted)
        value.store(0.5f);
    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0};
    bool finite = true;
    // lilv's world serves one thread: the host makes this instance before the others.
    Lv2Instance instance(48000.0);
    ASSERT_TRUE(instance.valid());

    std::thread audio(
        [&]
        {
            lilv_instance_activate(instance.get());
            std::vector<float> buffer(kBlock);
            for (uint32_t n = 0; !stop.load(); ++n)
            {
                for (uint32_t i = 0; i < lv2port::kNumControls; ++i)
                    instance.controls[i] = posted[i].load(std::memory_order_relaxed);
                for (uint32_t i = 0; i < kBlock; ++i)
                    buffer[i] = std::sin(0.05f * static_cast<float>(n * kBlock + i));
                instance.run(buffer.data(), buffer.data(), kBlock);
                for (const float sample : buffer)
                    finite = finite && std::isfinite(sample);
                blocks.fetch_add(1);
            }
            lilv_instance_deactivate(instance.get());
        });
    std::thread control(
        [&]
        {
            for (int n = 0; !stop.load(); ++n)
            {
                posted[n % lv2port::kNumControls].store(static_cast<float>(n % 11) / 10.0f,
                                                        std::memory_order_relaxed);
                std::this_thread::yield();
            }
        });
    std::thread others(
        [&]
        {
            std::vector<float> buffer(kBlock, 0.25f);
            for (int n = 0; n < 20; ++n)
            {
                Lv2Instance other(n % 2 ? 96000.0 : 44100.0);
                lilv_instance_activate(other.get());
                other.controls[0] = 0.9f;
                other.run(buffer.data(), buffer.data(), kBlock);
                lilv_instance_deactivate(other.get());
            }
        });

    others.join();
    while (blocks.load() < 200)
        std::this_thread::yield();
    stop.store(true);
    audio.join();
    control.join();
    EXPECT_TRUE(finite);
}

} // namespace
