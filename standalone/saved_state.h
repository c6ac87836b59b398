// What the program remembers between runs, in the per-user settings file the plug-in's windows
// use: the devices by name with their channels, rate, buffer size, mute and the parameter
// values. Whatever is missing or damaged in the file reads as not remembered.
#pragma once

#include "effect/parameters.h"
#include "standalone/stream_choice.h"

#include <array>
#include <filesystem>
#include <optional>

namespace standalone
{

struct SavedState
{
    StreamRequest stream;
    std::optional<bool> muted; // none until the user first chose
    std::array<std::optional<float>, dranvelor::kNumParameters> parameters;
};

// The settings file of the effect's vendor and product; empty when there is no such folder.
std::filesystem::path stateFile();

SavedState readState(const std::filesystem::path& file);
// Keeps the file's other settings; false when it cannot be written.
bool writeState(const std::filesystem::path& file, const StreamRequest& stream, bool muted,
                const std::array<float, dranvelor::kNumParameters>& parameters);

} // namespace standalone
