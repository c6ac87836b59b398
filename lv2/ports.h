// What the bundle's binaries and its description agree on: the URIs and the port layout. Both
// are kept by sessions and presets, so neither may ever change.
#pragma once

#include <cstdint>

namespace lv2port
{

constexpr const char* kPluginUri = "urn:ostravelk:dranvelor";
constexpr const char* kUiUri = "urn:ostravelk:dranvelor#ui";

constexpr uint32_t kAudioIn = 0;
constexpr uint32_t kAudioOut = 1;
// The controls follow, in the effect's parameter order.
constexpr uint32_t kFirstControl = 2;
constexpr uint32_t kNumControls = 4;
constexpr const char* kControlSymbols[kNumControls] = {"drive", "tone", "level", "bypass"};

constexpr bool isControl(uint32_t port)
{
    return port >= kFirstControl && port < kFirstControl + kNumControls;
}

} // namespace lv2port
