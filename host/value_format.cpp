// The value-to-text formatters of AudioEffect. Every text is cut to maxLen characters and
// text[maxLen] always holds a terminator, so the caller's buffer holds maxLen + 1 characters.
#include "host/value_format.h"

#include "host/audio_effect.h"

#include <cmath>
#include <cstring>

namespace
{

// Dividing by ten is a multiplication by the double nearest 0.1, so every target produces
// the same digits.
constexpr double kTenth = 0.1;
constexpr int kFloatWidth = 8;

void copyLimited(char* text, const char* source, VstInt32 maxLen)
{
    std::strncpy(text, source, static_cast<size_t>(maxLen));
    text[maxLen] = 0;
}

// Never writes past text[maxLen], however long the text already is.
void appendLimited(char* text, const char* source, VstInt32 maxLen)
{
    const size_t length = std::strlen(text);
    const size_t room =
        static_cast<size_t>(maxLen) > length ? static_cast<size_t>(maxLen) - length : 0;
    std::strncat(text, source, room);
    text[maxLen] = 0;
}

char digitOf(double x)
{
    return static_cast<char>('0' + static_cast<int>(x));
}

} // namespace

void formatFloat(float value, char* text, VstInt32 maxLen)
{
    double v = value;
    // Converting NaN digits to integers is undefined: say what it is instead.
    if (std::isnan(v))
    {
        copyLimited(text, "NaN", maxLen);
        return;
    }
    if ((v >= 0 && v > 99999999.0) || (v < 0 && -v > 9999999.0))
    {
        copyLimited(text, "Huge!", maxLen);
        return;
    }

    const bool negative = v < 0;
    int count = negative ? 1 : 0;
    if (negative)
        v = -v;

    // Integer digits, right to left. All of them are kept: an eighth digit must not be
    // dropped from the front of the number, so such a value just leaves no fraction.
    char integerPart[32];
    char* p = integerPart + sizeof integerPart - 1;
    *p = 0;
    *--p = '.';
    ++count;
    double i = std::floor(v);
    do
    {
        *--p = digitOf(std::fmod(i, 10.0));
        ++count;
        i *= kTenth;
    } while (i >= 1.0);
    if (negative)
        *--p = '-';
    copyLimited(text, p, maxLen);
    if (count >= kFloatWidth)
        return;

    // Fraction digits are truncated, never rounded.
    const int fractionDigits = kFloatWidth - count;
    double m = std::fmod(v, 1.0) * std::pow(10.0, fractionDigits);
    char fraction[kFloatWidth + 1];
    fraction[fractionDigits] = 0;
    for (int k = fractionDigits - 1; k >= 0; --k)
    {
        if (m <= 0)
        {
            fraction[k] = '0';
            continue;
        }
        fraction[k] = digitOf(std::fmod(m, 10.0));
        m *= kTenth;
    }
    appendLimited(text, fraction, maxLen);
}

void AudioEffect::float2string(float value, char* text, VstInt32 maxLen)
{
    formatFloat(value, text, maxLen);
}

void AudioEffect::dB2string(float value, char* text, VstInt32 maxLen)
{
    if (value > 0)
        float2string(static_cast<float>(20.0 * std::log10(static_cast<double>(value))), text,
                     maxLen);
    else
        copyLimited(text, "-oo", maxLen);
}

void AudioEffect::Hz2string(float samples, char* text, VstInt32 maxLen)
{
    const double rate = getSampleRate();
    float2string(samples == 0 ? 0.0f : static_cast<float>(rate / samples), text, maxLen);
}

void AudioEffect::ms2string(float samples, char* text, VstInt32 maxLen)
{
    const double rate = getSampleRate();
    float2string(static_cast<float>(samples * 1000.0 / rate), text, maxLen);
}

void AudioEffect::int2string(VstInt32 value, char* text, VstInt32 maxLen)
{
    if (value > 99999999)
    {
        copyLimited(text, "Huge!", maxLen);
        return;
    }
    // Wide enough to negate the most negative 32-bit value, whose ten digits all show.
    long long n = value;
    copyLimited(text, n < 0 ? "-" : "", maxLen);
    if (n < 0)
        n = -n;

    bool started = false;
    for (long long place = 1000000000; place >= 1; place /= 10)
    {
        const long long digit = n / place;
        n %= place;
        if (started || digit != 0)
        {
            const char digitText[2] = {static_cast<char>('0' + digit), 0};
            appendLimited(text, digitText, maxLen);
            started = true;
        }
    }
    if (!started)
        appendLimited(text, "0", maxLen);
}
