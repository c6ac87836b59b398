// What the bundle's binaries and its description agree on: the URIs and the port layout. Both
// are kept by sessions and presets, so neither may ever change.
#pragma once

#include "effect/parameters.h"

#include <cstdint>

namespace lv2port
{

constexpr const char* kPluginUri = "urn:ostravelk:dranvelor";
constexpr const char* kUiUri = "urn:ostravelk:dranvelor#ui";

constexpr uint32_t kAudioIn = 0;
constexpr uint32_t kAudioOut = 1;
// The controls follow, one per parameter in the table's order, named by its symbol.
constexpr uint32_t kFirstControl = 2;
constexpr uint32_t kNumControls = dranvelor::kNumParameters;

constexpr bool isControl(uint32_t port)
{
    return port >= kFirstControl && port < kFirstControl + kNumControls;
}

} // namespace lv2port
