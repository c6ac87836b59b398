#pragma once

#include <cstddef>

// How the engine's one aligned scratch block is divided.
namespace engine_layout
{
// Host samples processed together by the block path, stage by stage.
constexpr int kChunk = 64;
constexpr int kMaxFactor = 8;

// The oversampled samples of one host sample on the per-sample path.
constexpr std::size_t kSampleScratch = 0;
// The chunk at the host rate: input gain stage output, later the downsampled result.
constexpr std::size_t kHostChunk = kSampleScratch + kMaxFactor;
// The 2x and 4x intermediates of upsampling.
constexpr std::size_t kWork = kHostChunk + kChunk;
// The chunk at the oversampled rate.
constexpr std::size_t kOversampled = kWork + 6 * kChunk;
constexpr std::size_t kScratchDoubles = kOversampled + kMaxFactor * kChunk;
} // namespace engine_layout
