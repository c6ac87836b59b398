// The effect's parameters, described once: every front-end (the VST entry, the LV2 bundle, the
// standalone program, the command-line host) and the editor read them from here. The index and
// the symbol are kept by hosts' sessions and presets, so neither may ever change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dranvelor
{

enum class ParameterRole
{
    continuous, // a knob from minimum to maximum
    toggle,     // off at 0, on at any other value
};

struct ParameterInfo
{
    int32_t index;
    const char* symbol; // LV2 port symbol, standalone option and settings key
    const char* name;   // what hosts show
    const char* label;  // unit text shown after the value
    float defaultValue;
    float minimum;
    float maximum;
    float displayScale; // a continuous value is shown as value x displayScale
    ParameterRole role;
};

enum ParameterIndex : int32_t
{
    kDrive = 0,
    kTone = 1,
    kLevel = 2,
    kBypass = 3,
    kNumParameters = 4,
};

inline constexpr ParameterInfo kParameters[kNumParameters] = {
    {kDrive, "drive", "Drive", "Level", 0.5f, 0.0f, 1.0f, 10.0f, ParameterRole::continuous},
    {kTone, "tone", "Tone", "Level", 0.5f, 0.0f, 1.0f, 10.0f, ParameterRole::continuous},
    {kLevel, "level", "Level", "Level", 0.5f, 0.0f, 1.0f, 10.0f, ParameterRole::continuous},
    {kBypass, "bypass", "Bypass", " ", 0.0f, 0.0f, 1.0f, 1.0f, ParameterRole::toggle},
};

constexpr bool isParameterIndex(int32_t index)
{
    return index >= 0 && index < kNumParameters;
}

// The parameter with this symbol, or nullptr.
constexpr const ParameterInfo* findParameter(std::string_view symbol)
{
    for (const ParameterInfo& info : kParameters)
        if (symbol == info.symbol)
            return &info;
    return nullptr;
}

// The text hosts show for the value: a continuous value times its display scale with eight
// significant places, truncated (0.5 shows as "5.000000"); a toggle "On" or "Off".
std::string displayText(const ParameterInfo& info, float value);

namespace detail
{
constexpr bool tableInOrder()
{
    for (int32_t i = 0; i < kNumParameters; ++i)
        if (kParameters[i].index != i)
            return false;
    return true;
}
} // namespace detail
static_assert(detail::tableInOrder(), "each parameter sits at its own index");

} // namespace dranvelor
