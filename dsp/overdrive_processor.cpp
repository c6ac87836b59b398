#include "dsp/overdrive_processor.h"

#include "dsp/engine_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace
{
constexpr double kDriveSlope = 106.38297872340425;  // 5000/47
constexpr double kDriveOffset = 11.851063829787234; // 557/47
constexpr double kInitialDriveGain = 14.779255319148936;
constexpr double kInitialLevelGain = 0.05;
constexpr double kInputHighPassHz = 5.0;
constexpr double kClipHighPassHz = 720.4841244540305;
constexpr double kOutputLowPassHz = 723.4315595086151;

void* allocateFromCHeap(std::size_t bytes)
{
    return std::malloc(bytes);
}

void releaseToCHeap(void* block)
{
    std::free(block);
}

std::int32_t factorForRate(std::int32_t rate)
{
    switch (rate)
    {
    case 44100:
    case 48000:
        return 8;
    case 88200:
    case 96000:
        return 4;
    case 176400:
    case 192000:
        return 2;
    default:
        return 0;
    }
}

double driveGainFor(float value)
{
    return (static_cast<double>(value) * kDriveSlope + kDriveOffset) * 0.25;
}

// Hosts may send any finite value, and the effect keeps it as given; only what the engine maps
// is held inside the range where the chain stays stable and its float output finite, measured
// with full-scale input at 44.1, 96 and 192 kHz. Below Tone -15.8 the shelf's corner passes half
// of 44.1 kHz and the shelf diverges. Above Tone 3.5 its pole comes so near -1 that the burst a
// Tone change sets off (up to 5500 times Level) no longer dies away within half a second, and by
// Tone 11 it never does. Level is held where that burst still fits a float. Drive needs no limit:
// the arctangent and the limiter bound its effect at every value.
constexpr float kToneLowest = -15.5f;
constexpr float kToneHighest = 3.5f;
constexpr float kLevelLimit = 1e33f;

double levelGainFor(float value)
{
    return static_cast<double>(std::clamp(value, -kLevelLimit, kLevelLimit)) * 0.1 +
           DENORMAL_OFFSET;
}

double tonePosition(float value)
{
    return 2.0 * (static_cast<double>(std::clamp(value, kToneLowest, kToneHighest)) - 0.5);
}
} // namespace

OverdriveProcessor::OverdriveProcessor()
    : OverdriveProcessor(HeapHooks{allocateFromCHeap, releaseToCHeap})
{
}

OverdriveProcessor::OverdriveProcessor(HeapHooks heapHooks)
    : driveGain(kInitialDriveGain), levelGain(kInitialLevelGain), drive(0.5f), toneValue(0.5f),
      level(0.5f), bypass(0.0f), bypassed(false), heap(heapHooks)
{
    allocateScratch();
    reset();
}

OverdriveProcessor::~OverdriveProcessor()
{
    if (scratch != nullptr)
        heap.release(rawBlock);
}

void OverdriveProcessor::allocateScratch()
{
    // One block holds the per-sample scratch and the chunk buffers of the block path, aligned by
    // hand because the C heap only promises alignment for its own types.
    constexpr std::size_t kAlignment = engine_layout::kAlignment;
    const std::size_t bytes = kAlignment + engine_layout::kScratchDoubles * sizeof(double) - 1;
    rawBlock = heap.allocate(bytes);
    if (rawBlock != nullptr)
    {
        const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(rawBlock);
        const std::uintptr_t aligned = (address + kAlignment - 1) & ~(kAlignment - 1);
        scratch = reinterpret_cast<double*>(aligned);
        // The block paths compute on buffer contents they then discard, which must not be
        // denormal or signalling garbage.
        std::memset(scratch, 0, engine_layout::kScratchDoubles * sizeof(double));
    }
    allocationFailed = scratch == nullptr;
}

void OverdriveProcessor::setSampleRate(std::int32_t rate)
{
    sampleRate.store(rate, std::memory_order_relaxed);
    const std::int32_t newFactor = factorForRate(rate);
    if (newFactor == 0)
    {
        rateUnsupported = true;
        return;
    }
    rateUnsupported = false;
    factor = newFactor;
    cascade.reset(factor);
    oversampledRate = rate * factor;
    designFixedFilters();
    updateTone(tonePosition(toneValue.load(std::memory_order_relaxed)));
}

std::int32_t OverdriveProcessor::getSampleRate() const
{
    return sampleRate.load(std::memory_order_relaxed);
}

void OverdriveProcessor::designFixedFilters()
{
    const std::int32_t rate = sampleRate.load(std::memory_order_relaxed);
    inputHighPass.designHighPass(kInputHighPassHz, rate);
    clipHighPass.designHighPass(kClipHighPassHz, oversampledRate);
    outputLowPass.designLowPass(kOutputLowPassHz, rate);
}

void OverdriveProcessor::updateTone(double x)
{
    tone.design(x, sampleRate.load(std::memory_order_relaxed));
}

void OverdriveProcessor::setParameter(std::int32_t index, float value)
{
    // A NaN or infinite value would poison the recursive filters for good.
    if (!std::isfinite(value))
        return;
    switch (index)
    {
    case kDrive:
        drive.store(value, std::memory_order_relaxed);
        driveGain.store(driveGainFor(value), std::memory_order_relaxed);
        break;
    case kTone:
        toneValue.store(value, std::memory_order_relaxed);
        updateTone(tonePosition(value));
        break;
    case kLevel:
        level.store(value, std::memory_order_relaxed);
        levelGain.store(levelGainFor(value), std::memory_order_relaxed);
        break;
    case kBypass:
        bypass.store(value, std::memory_order_relaxed);
        if (value != 0.0f)
        {
            // Every entry clears the histories; the processing thread does it before its next
            // full block so that a block in flight is never cleared under its feet.
            resetPending.store(true, std::memory_order_relaxed);
            bypassed.store(true, std::memory_order_release);
        }
        else
        {
            bypassed.store(false, std::memory_order_release);
        }
        break;
    default:
        break;
    }
}

float OverdriveProcessor::getParameter(std::int32_t index) const
{
    switch (index)
    {
    case kDrive:
        return drive.load(std::memory_order_relaxed);
    case kTone:
        return toneValue.load(std::memory_order_relaxed);
    case kLevel:
        return level.load(std::memory_order_relaxed);
    case kBypass:
        return bypass.load(std::memory_order_relaxed);
    default:
        return 0.0f;
    }
}

void OverdriveProcessor::reset()
{
    resetPending.store(false, std::memory_order_relaxed);
    inputHighPass.clear();
    clipHighPass.clear();
    outputLowPass.clear();
    tone.clear();
    cascade.reset();
}
