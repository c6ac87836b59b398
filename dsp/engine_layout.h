#pragma once

#include <cstddef>

// How the engine's one aligned scratch block is divided. Every buffer starts on a 16-byte
// boundary, where the SSE2 kernel's aligned loads and stores need it: all offsets are even.
namespace engine_layout
{
constexpr std::size_t kAlignment = 16;
constexpr std::size_t kAlignedDoubles = kAlignment / sizeof(double);

// Host samples per chunk of the block path: at most kChunk, and in blocks shorter than
// kShortBlockChunks chunks of that length, the block split into that many chunks but none shorter
// than kShortestChunk.
constexpr int kChunk = 32;
constexpr int kShortBlockChunks = 8;
constexpr int kShortestChunk = 4;
constexpr int kMaxFactor = 8;

// The oversampled samples of one host sample on the per-sample path.
constexpr std::size_t kSampleScratch = 0;
// One chunk at each rate of the block path, on the way up and on the way down.
constexpr std::size_t kUp1 = kSampleScratch + kMaxFactor;
constexpr std::size_t kUp2 = kUp1 + kChunk;
constexpr std::size_t kUp4 = kUp2 + 2 * kChunk;
constexpr std::size_t kUp8 = kUp4 + 4 * kChunk;
// The clipper's limited samples and the arguments of its arctangent are read three rounds after
// they are written, so each round writes the next of four slots.
constexpr int kClipSlots = 4;
constexpr std::size_t kClipSlot = kMaxFactor * kChunk;
constexpr std::size_t kHeld = kUp8 + 8 * kChunk;
constexpr std::size_t kArgument = kHeld + kClipSlots * kClipSlot;
// The arctangent's arguments after each of its first two steps.
constexpr std::size_t kFolded = kArgument + kClipSlots * kClipSlot;
constexpr std::size_t kReduced = kFolded + 8 * kChunk;
constexpr std::size_t kShift = kReduced + 8 * kChunk;
constexpr std::size_t kDown8 = kShift + 8 * kChunk;
constexpr std::size_t kDown4 = kDown8 + 8 * kChunk;
constexpr std::size_t kDown2 = kDown4 + 4 * kChunk;
constexpr std::size_t kDown1 = kDown2 + 2 * kChunk;
constexpr std::size_t kScratchDoubles = kDown1 + kChunk;

// The AVX2 kernel's buffers, over the same memory: one path runs at a time, and neither carries
// anything in its buffers from one block to the next. Each stage's upsampler writes two outputs
// per input, its downsampler two branch outputs per input pair.
constexpr int kWideChunk = 32;
constexpr std::size_t kWideUp1 = kSampleScratch + kMaxFactor;
constexpr std::size_t kWideUp2 = kWideUp1 + kWideChunk;
constexpr std::size_t kWideUp4 = kWideUp2 + 2 * kWideChunk;
constexpr std::size_t kWideUp8 = kWideUp4 + 4 * kWideChunk;
constexpr std::size_t kWideClipped = kWideUp8 + 8 * kWideChunk;
constexpr std::size_t kWideBranches3 = kWideClipped + 8 * kWideChunk;
constexpr std::size_t kWideBranches2 = kWideBranches3 + 8 * kWideChunk;
constexpr std::size_t kWideBranches1 = kWideBranches2 + 4 * kWideChunk;
// The host's samples on their way in and out.
constexpr std::size_t kWideStaged = kWideBranches1 + 2 * kWideChunk;
// Reads of a last group of samples may run seven samples past a buffer's end.
static_assert(kWideStaged + 2 * kWideChunk + 8 <= kScratchDoubles);

// The SSE2 kernel loads and stores pairs at even indices of its buffers, which every chunk length
// keeps aligned only while the buffers themselves are.
constexpr bool aligned(std::size_t offset)
{
    return offset % kAlignedDoubles == 0;
}
static_assert(aligned(kSampleScratch) && aligned(kUp1) && aligned(kUp2) && aligned(kUp4) &&
              aligned(kUp8) && aligned(kHeld) && aligned(kArgument) && aligned(kClipSlot) &&
              aligned(kFolded) && aligned(kReduced) && aligned(kShift) && aligned(kDown8) &&
              aligned(kDown4) && aligned(kDown2) && aligned(kDown1));
static_assert(kShortestChunk <= kChunk);
// The per-sample path's scratch holds the samples of one host sample at the highest factor.
static_assert(kUp1 - kSampleScratch >= static_cast<std::size_t>(kMaxFactor));
} // namespace engine_layout
