// The names hosts show for the effect, and under which the user's settings are kept: the VST
// and LV2 windows share one settings file through them.
#pragma once

namespace dranvelor
{

inline constexpr const char* kEffectName = "Dranvelor";
inline constexpr const char* kVendorName = "Ostravelk";
inline constexpr const char* kProductName = "Morvandell";

} // namespace dranvelor
