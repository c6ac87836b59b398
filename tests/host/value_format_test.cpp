// The formatters behind the parameter displays, to the character, and the buffer bounds that
// keep them inside the host's memory.
#include "tests/host/spy_effect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace
{

constexpr VstInt32 kDisplay = 8;

class Formatter
{
public:
    // Formats into a buffer with guard bytes after position maxLen, which must stay untouched.
    template <typename Format> std::string run(VstInt32 maxLen, Format format)
    {
        std::memset(buffer, '#', sizeof buffer);
        format(effect, buffer, maxLen);
        for (std::size_t i = static_cast<std::size_t>(maxLen) + 1; i < sizeof buffer; ++i)
            EXPECT_EQ(buffer[i], '#') << "written past the terminator at " << i;
        EXPECT_EQ(buffer[maxLen], 0);
        return buffer;
    }
    std::string floatText(float v, VstInt32 maxLen = kDisplay)
    {
        return run(maxLen, [v](PlainEffect& e, char* t, VstInt32 n) { e.float2string(v, t, n); });
    }
    std::string dBText(float v)
    {
        return run(kDisplay, [v](PlainEffect& e, char* t, VstInt32 n) { e.dB2string(v, t, n); });
    }
    std::string hzText(float v)
    {
        return run(kDisplay, [v](PlainEffect& e, char* t, VstInt32 n) { e.Hz2string(v, t, n); });
    }
    std::string msText(float v)
    {
        return run(kDisplay, [v](PlainEffect& e, char* t, VstInt32 n) { e.ms2string(v, t, n); });
    }
    std::string intText(VstInt32 v, VstInt32 maxLen = kDisplay)
    {
        return run(maxLen, [v](PlainEffect& e, char* t, VstInt32 n) { e.int2string(v, t, n); });
    }

    PlainEffect effect;

private:
    char buffer[32];
};

TEST(ValueFormat, FloatsFillEightCharactersWithTruncatedFractions)
{
    Formatter f;
    EXPECT_EQ(f.floatText(5.0f), "5.000000");
    EXPECT_EQ(f.floatText(10.0f), "10.00000");
    EXPECT_EQ(f.floatText(0.0f), "0.000000");
    EXPECT_EQ(f.floatText(-0.0f), "0.000000");
    EXPECT_EQ(f.floatText(-2.5f), "-2.50000");
    EXPECT_EQ(f.floatText(123.456f), "123.4560");
    EXPECT_EQ(f.floatText(0.5f), "0.500000");
    EXPECT_EQ(f.floatText(9.99f), "9.989999");
    EXPECT_EQ(f.floatText(9999999.0f), "9999999.");
    EXPECT_EQ(f.floatText(-999999.0f), "-999999.");
}

TEST(ValueFormat, FloatsBeyondTheLimitsAreHuge)
{
    Formatter f;
    EXPECT_EQ(f.floatText(100000000.0f), "Huge!");
    EXPECT_EQ(f.floatText(-10000000.0f), "Huge!");
    EXPECT_EQ(f.floatText(std::numeric_limits<float>::infinity()), "Huge!");
    EXPECT_EQ(f.floatText(-std::numeric_limits<float>::infinity()), "Huge!");
    EXPECT_EQ(f.floatText(std::numeric_limits<float>::quiet_NaN()), "NaN");
}

// The one digit more than the eight characters hold is kept, and the point goes instead.
TEST(ValueFormat, FloatsWithAnExtraIntegerDigitKeepEveryDigit)
{
    Formatter f;
    EXPECT_EQ(f.floatText(99999992.0f), "99999992");
    EXPECT_EQ(f.floatText(12345678.0f), "12345678");
    EXPECT_EQ(f.floatText(-9999999.0f), "-9999999");
    EXPECT_EQ(f.floatText(12345678.0f, 16), "12345678.");
}

TEST(ValueFormat, ShortBuffersCutTheTextAndKeepTheTerminator)
{
    Formatter f;
    EXPECT_EQ(f.floatText(5.0f, 4), "5.00");
    EXPECT_EQ(f.floatText(-123.0f, 2), "-1");
    EXPECT_EQ(f.floatText(1e9f, 3), "Hug");
    EXPECT_EQ(f.floatText(5.0f, 0), "");
    EXPECT_EQ(f.intText(-123456, 3), "-12");
    EXPECT_EQ(f.intText(100000000, 2), "Hu");
    EXPECT_EQ(f.intText(0, 0), "");
}

TEST(ValueFormat, DecibelsOfAnAmplitude)
{
    Formatter f;
    EXPECT_EQ(f.dBText(1.0f), "0.000000");
    EXPECT_EQ(f.dBText(0.5f), "-6.02059");
    EXPECT_EQ(f.dBText(10.0f), "20.00000");
    EXPECT_EQ(f.dBText(0.0f), "-oo");
    EXPECT_EQ(f.dBText(-1.0f), "-oo");
    EXPECT_EQ(f.dBText(std::numeric_limits<float>::quiet_NaN()), "-oo");
}

TEST(ValueFormat, FrequencyAndDurationFollowTheSampleRate)
{
    Formatter f;
    EXPECT_EQ(f.hzText(0.0f), "0.000000");
    EXPECT_EQ(f.hzText(441.0f), "100.0000");
    EXPECT_EQ(f.msText(441.0f), "10.00000");
    f.effect.setSampleRate(48000.0f);
    EXPECT_EQ(f.hzText(480.0f), "100.0000");
    EXPECT_EQ(f.msText(48.0f), "1.000000");
}

TEST(ValueFormat, IntegersWithoutLeadingZeros)
{
    Formatter f;
    EXPECT_EQ(f.intText(0), "0");
    EXPECT_EQ(f.intText(7), "7");
    EXPECT_EQ(f.intText(-42), "-42");
    EXPECT_EQ(f.intText(1000), "1000");
    EXPECT_EQ(f.intText(99999999), "99999999");
    EXPECT_EQ(f.intText(100000000), "Huge!");
    EXPECT_EQ(f.intText(-999999999, 16), "-999999999");
    EXPECT_EQ(f.intText(std::numeric_limits<VstInt32>::min(), 16), "-2147483648");
}

} // namespace
