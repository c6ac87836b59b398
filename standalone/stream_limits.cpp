#include "standalone/stream_limits.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace standalone
{

bool isEngineRate(double rate)
{
    for (const double known : kEngineRates)
        if (rate == known)
            return true;
    return false;
}

std::optional<double> numberOf(const std::string& text)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front())))
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string numberText(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

std::string numberText(float value)
{
    char text[32];
    for (int digits = 6; digits <= 9; ++digits)
    {
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
        if (std::strtof(text, nullptr) == value)
            break;
    }
    return text;
}

std::string rateText(double rate)
{
    return numberText(rate) + " Hz";
}

std::string engineRateList()
{
    std::string list;
    for (const double rate : kEngineRates)
        list += (list.empty() ? "" : ", ") + numberText(rate);
    return list + " Hz";
}

} // namespace standalone
