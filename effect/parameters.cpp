#include "effect/parameters.h"

#include "host/value_format.h"

namespace dranvelor
{

std::string displayText(const ParameterInfo& info, float value)
{
    if (info.role == ParameterRole::toggle)
        return value != 0.0f ? "On" : "Off";
    char text[kVstMaxParamStrLen + 1];
    formatFloat(value * info.displayScale, text, kVstMaxParamStrLen);
    return text;
}

} // namespace dranvelor
