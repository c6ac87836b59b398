#pragma once

#include <cstddef>

// How the engine's one aligned scratch block is divided. Every buffer starts on a 16-byte
// boundary: all offsets are even.
namespace engine_layout
{
// Host samples per chunk of the block path.
constexpr int kChunk = 32;
constexpr int kMaxFactor = 8;

// The oversampled samples of one host sample on the per-sample path.
constexpr std::size_t kSampleScratch = 0;
// One chunk at each rate of the block path, on the way up and on the way down.
constexpr std::size_t kUp2 = kSampleScratch + kMaxFactor;
constexpr std::size_t kUp4 = kUp2 + 2 * kChunk;
constexpr std::size_t kUp8 = kUp4 + 4 * kChunk;
// The clipper's limited samples and the arguments of its arctangent.
constexpr std::size_t kHeld8 = kUp8 + 8 * kChunk;
constexpr std::size_t kAtan8 = kHeld8 + 8 * kChunk;
constexpr std::size_t kDown8 = kAtan8 + 8 * kChunk;
constexpr std::size_t kDown4 = kDown8 + 8 * kChunk;
constexpr std::size_t kDown2 = kDown4 + 4 * kChunk;
constexpr std::size_t kScratchDoubles = kDown2 + 2 * kChunk;
} // namespace engine_layout
