// What a stream may be: the rates the engine processes and the buffer sizes offered.
#pragma once

#include <optional>
#include <string>

namespace standalone
{

inline constexpr double kEngineRates[] = {44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0};
inline constexpr int kMinBuffer = 32;
inline constexpr int kMaxBuffer = 2048;
// The buffer sizes the bar offers: the powers of two in range.
inline constexpr int kBufferChoices[] = {32, 64, 128, 256, 512, 1024, 2048};

bool isEngineRate(double rate);
// "48000 Hz"
std::string rateText(double rate);
// "44100, 48000, ... Hz"
std::string engineRateList();
// The number a whole text spells (decimal, finite); none for anything else.
std::optional<double> numberOf(const std::string& text);
// The shortest text that reads back as value ("0.7", "48000").
std::string numberText(double value);
std::string numberText(float value);

} // namespace standalone
