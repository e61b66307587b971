#include "core/number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

namespace {

std::string Fixed(float value, int decimals) {
    NumberText text;
    FormatFloat(text, value, decimals);
    return text;
}

// Fixed point worked out with 64-bit integers: |x| = m * 2^e, scaled by
// 10^decimals and rounded half away from zero. Exact for e <= 29 and decimals <= 3.
std::string ReferenceFixed(float x, int decimals) {
    int e;
    uint64_t m = static_cast<uint64_t>(std::ldexp(std::frexp(std::fabs(x), &e), 24));
    e -= 24;
    for (int i = 0; i < decimals; ++i) m *= 10;
    uint64_t q = 0;
    if (e >= 0)
        q = m << e;
    else if (-e < 64)
        q = (m >> -e) + ((m >> (-e - 1)) & 1);
    std::string digits = std::to_string(q);
    digits.insert(0, digits.size() <= size_t(decimals) ? decimals + 1 - digits.size() : 0, '0');
    if (decimals > 0) digits.insert(digits.size() - decimals, ".");
    return (std::signbit(x) && x != 0 ? "-" : "") + digits;
}

// Every formatting and parsing test runs under the plain C locale and under
// a Czech one whose decimal point is a comma: the texts must not change.
class NumberTextInLocale : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        ASSERT_NE(std::setlocale(LC_ALL, GetParam()), nullptr) << GetParam();
        if (std::strcmp(GetParam(), "C") != 0) {
            ASSERT_STREQ(std::localeconv()->decimal_point, ",");
        }
    }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_P(NumberTextInLocale, FixedPointRoundsTheExactValueHalfAwayFromZero) {
    EXPECT_EQ(Fixed(-59.16f, 2), "-59.16");
    EXPECT_EQ(Fixed(1.5f, 3), "1.500");
    EXPECT_EQ(Fixed(0.0f, 2), "0.00");
    EXPECT_EQ(Fixed(7.0f, 0), "7");
    EXPECT_EQ(Fixed(0.125f, 2), "0.13");
    EXPECT_EQ(Fixed(-0.125f, 2), "-0.13");
    EXPECT_EQ(Fixed(2.5f, 0), "3");
    EXPECT_EQ(Fixed(std::nextafter(0.125f, 0.0f), 2), "0.12") << "just below the tie";
    EXPECT_EQ(Fixed(1.005f, 2), "1.00") << "1.005f is 1.00499999...";
    EXPECT_EQ(Fixed(9.9999f, 2), "10.00");
    EXPECT_EQ(Fixed(999.9999f, 0), "1000");
    EXPECT_EQ(Fixed(-0.001f, 2), "-0.00") << "a value below zero keeps its sign";
    EXPECT_EQ(Fixed(-0.4f, 0), "-0");
    EXPECT_EQ(Fixed(-0.0f, 2), "0.00");
    EXPECT_EQ(Fixed(0.1f, 12), "0.100000001490");
    EXPECT_EQ(Fixed(1.5f, -3), "2") << "negative decimals count as none";
}

TEST_P(NumberTextInLocale, TooLongTextsTurnToNineSignificantDigits) {
    EXPECT_EQ(Fixed(FLT_MAX, 3), "3.40282347e+38");
    EXPECT_EQ(Fixed(-FLT_MAX, 0), "-3.40282347e+38");
    const float largestShown = FloatWithBits(0x5F0AC723); // the last float below 1e19
    EXPECT_EQ(Fixed(largestShown, 3), "9999999980506447872.000");
    EXPECT_EQ(Fixed(-largestShown, 3), "-9.99999998e+18") << "the sign makes it 24";
    EXPECT_EQ(Fixed(std::nextafter(largestShown, FLT_MAX), 3), "1.00000011e+19");
    const float smallest = FloatWithBits(1);
    EXPECT_EQ(Fixed(smallest, 3), "0.000");
    EXPECT_EQ(Fixed(-smallest, 20), "-0.00000000000000000000");
    EXPECT_EQ(Fixed(smallest, 22), "1.40129846e-45");
    EXPECT_EQ(Fixed(FloatWithBits(0x007FFFFF), 30), "1.17549421e-38") << "largest denormal";
    EXPECT_EQ(Fixed(0.0f, 22), "0.00000000e+00");
    EXPECT_EQ(Fixed(1.0f, INT_MAX), "1.00000000e+00");
    EXPECT_EQ(Fixed(NAN, 2), "Nan");
    EXPECT_EQ(Fixed(INFINITY, 2), "+Inf");
    EXPECT_EQ(Fixed(-INFINITY, 0), "-Inf");
}

TEST_P(NumberTextInLocale, FixedPointAgreesWithAnIntegerReference) {
    std::mt19937 random(2026);
    for (int i = 0; i < 4000; ++i) {
        // Exponents up to 2^53, most of them where digits show.
        const uint32_t biased = i % 4 == 0 ? random() % 180 : 100 + random() % 80;
        const float x = FloatWithBits((random() & 0x807FFFFF) | biased << 23);
        const int decimals = i % 4;
        ASSERT_EQ(Fixed(x, decimals), ReferenceFixed(x, decimals)) << std::hexfloat << x;
    }
}

struct ParseCase {
    const char* Text;
    bool Accepted;
    float Value;
};

TEST_P(NumberTextInLocale, ParsesOnlyWholeNumbers) {
    const ParseCase cases[] = {
        {"12,5", true, 12.5f},     {"12.5", true, 12.5f},     {" 1", true, 1.0f},
        {"1e3", true, 1000.0f},    {"-2.5E-1", true, -0.25f}, {"+.5", true, 0.5f},
        {"1.", true, 1.0f},        {"007", true, 7.0f},       {"1e-50", true, 0.0f},
        {"-Inf", true, -INFINITY}, {"inF", true, INFINITY},   {"", false, 0},
        {"12 mV", false, 0},       {"1 ", false, 0},          {".", false, 0},
        {"-", false, 0},           {"1e", false, 0},          {"e3", false, 0},
        {"1.2.3", false, 0},       {"1,2.3", false, 0},       {"+-1", false, 0},
        {"0x1p3", false, 0},       {"infinity", false, 0},    {"1e39", false, 0},
        {"-1e39", false, 0},       {"abc", false, 0},         {"\t1", false, 0},
    };
    for (const ParseCase& c : cases) {
        float value = 99;
        EXPECT_EQ(ParseNumber(c.Text, value), c.Accepted) << c.Text;
        EXPECT_EQ(BitsOfFloat(value), BitsOfFloat(c.Value)) << c.Text << ": " << value;
    }
    float value;
    for (const char* text : {"nan", "NaN", "-NAN"}) {
        EXPECT_TRUE(ParseNumber(text, value)) << text;
        EXPECT_TRUE(std::isnan(value)) << text;
        EXPECT_FALSE(IsFiniteNumber(value));
    }
    EXPECT_FALSE(IsFiniteNumber(INFINITY));
    EXPECT_TRUE(IsFiniteNumber(FLT_MAX));
}

TEST_P(NumberTextInLocale, LongerTextsThanTheLimitAreNoNumber) {
    float value;
    EXPECT_TRUE(ParseNumber("123456789012345", ShortNumberLength, value));
    EXPECT_EQ(value, 123456789012345.0f);
    EXPECT_FALSE(ParseNumber("1234567890123456", ShortNumberLength, value));
    EXPECT_EQ(value, 0.0f);
    EXPECT_FALSE(ParseNumber("              1", 14, value)) << "spaces count";
    EXPECT_TRUE(ParseNumber("1234567890123456", FullNumberLength, value));
    EXPECT_TRUE(ParseNumber("12345678901234567890123", FullNumberLength, value));
    EXPECT_FALSE(ParseNumber("123456789012345678901234", FullNumberLength, value));
    EXPECT_FALSE(ParseNumber("", FullNumberLength, value));
}

TEST_P(NumberTextInLocale, RoundsToTheNearestFloatTiesToEven) {
    const ParseCase cases[] = {
        {"16777217", true, 16777216.0f},
        {"16777219", true, 16777220.0f},
        {"16777217.000000000000000000000000000000000000001", true, 16777218.0f},
        {"16777218.999999999999999999999", true, 16777218.0f},
        {"1.000000059604644775390625", true, 1.0f}, // half way to the next float
        {"1.0000000596046447753906251", true, 1.00000012f},
        {"3.40282356779733661637539395458142568447e38", true, FLT_MAX},
        {"3.40282356779733661637539395458142568448e38", false, 0}, // half way past it
        {"7.006492321624085e-46", true, 0.0f},                     // half the smallest float
        {"7.006492321624086e-46", true, FloatWithBits(1)},
        {"0.0000000000000000000000000000000000000117549421", true, FloatWithBits(0x7FFFFF)},
    };
    for (const ParseCase& c : cases) {
        float value;
        EXPECT_EQ(ParseNumber(c.Text, value), c.Accepted) << c.Text;
        EXPECT_EQ(BitsOfFloat(value), BitsOfFloat(c.Value)) << c.Text;
    }
    const std::string farAbove = "1.000000059604644775390625" + std::string(150, '0') + "1";
    float value;
    EXPECT_TRUE(ParseNumber(farAbove.c_str(), value));
    EXPECT_EQ(value, 1.00000012f) << "a digit far past the midpoint's last one still counts";
}

TEST_P(NumberTextInLocale, IntegersNearHalfwayPointsRoundLikeTheHardware) {
    std::mt19937_64 random(17);
    for (int i = 0; i < 1500; ++i) {
        // The midpoint between a float in [2^24, 2^62) and the next one.
        const float f = FloatWithBits(0x4B800000 + random() % (0x5E800000 - 0x4B800000));
        const int64_t mid =
            static_cast<int64_t>(f) +
            (static_cast<int64_t>(std::nextafter(f, INFINITY)) - static_cast<int64_t>(f)) / 2;
        for (int64_t n : {mid - 1, mid, mid + 1}) {
            float value;
            ASSERT_TRUE(ParseNumber(std::to_string(n).c_str(), value));
            ASSERT_EQ(value, static_cast<float>(n)) << n;
        }
    }
}

TEST_P(NumberTextInLocale, NineDigitTextsReadBackToTheSameFloat) {
    std::mt19937 random(5);
    for (int i = 0; i < 1500; ++i) {
        const float x = FloatWithBits(random());
        if (!IsFiniteNumber(x)) continue;
        NumberText text;
        FormatFloat(text, x, NumberTextSize);
        float back;
        ASSERT_TRUE(ParseNumber(text, back)) << text;
        ASSERT_EQ(BitsOfFloat(back), BitsOfFloat(x)) << text;
    }
}

std::string Shortest(float value) {
    NumberText text;
    FormatShortest(text, value);
    return text;
}

int SignificantDigitsOf(const std::string& text) {
    const std::string mantissa = text.substr(0, text.find('e'));
    const size_t first = mantissa.find_first_of("123456789");
    const size_t last = mantissa.find_last_of("123456789");
    if (first == std::string::npos) return 0;
    int digits = 0;
    for (size_t i = first; i <= last; ++i) digits += mantissa[i] != '.';
    return digits;
}

TEST_P(NumberTextInLocale, ShortestTextsReadBackBitForBitWithNoDigitToSpare) {
    EXPECT_EQ(Shortest(-59.16f), "-59.16");
    EXPECT_EQ(Shortest(0.1f), "0.1");
    EXPECT_EQ(Shortest(1500.0f), "1500");
    EXPECT_EQ(Shortest(0.0f), "0");
    EXPECT_EQ(Shortest(-0.0f), "-0");
    EXPECT_EQ(Shortest(0.0001f), "0.0001");
    EXPECT_EQ(Shortest(0.00001f), "1e-5");
    EXPECT_EQ(Shortest(123456792.0f), "123456790");
    EXPECT_EQ(Shortest(1e9f), "1e+9");
    EXPECT_EQ(Shortest(FLT_MAX), "3.4028235e+38");
    EXPECT_EQ(Shortest(FloatWithBits(1)), "1e-45");
    EXPECT_EQ(Shortest(FloatWithBits(0x00800000)), "1.1754944e-38") << "smallest normal";
    EXPECT_EQ(Shortest(NAN), "Nan");
    EXPECT_EQ(Shortest(-INFINITY), "-Inf");
    std::mt19937 random(11);
    for (int i = 0; i < 1500; ++i) {
        // Random bits, and powers of two, where the gaps below and above differ.
        const float x =
            FloatWithBits(i % 3 ? random() : (random() & 0x80000000) | (i % 254 + 1) << 23);
        if (!IsFiniteNumber(x)) continue;
        const std::string text = Shortest(x);
        float back;
        ASSERT_TRUE(ParseNumber(text.c_str(), back)) << text;
        ASSERT_EQ(BitsOfFloat(back), BitsOfFloat(x)) << text;
        // One digit fewer, rounded, reads back as another float.
        char fewer[48];
        const int digits = SignificantDigitsOf(text);
        if (digits < 2) continue;
        std::snprintf(fewer, sizeof fewer, "%.*e", digits - 2, static_cast<double>(x));
        ASSERT_TRUE(ParseNumber(fewer, back)) << fewer;
        EXPECT_NE(BitsOfFloat(back), BitsOfFloat(x)) << text << " is longer than " << fewer;
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, NumberTextInLocale, testing::Values("C", "Czech"));

std::string Texted(void (*format)(NumberText&, uint32_t), uint32_t value) {
    NumberText text;
    format(text, value);
    return text;
}

TEST(NumberText, IntegerVersionAndDateTexts) {
    auto integer = [](NumberText& t, uint32_t v) { FormatInteger(t, static_cast<int32_t>(v)); };
    EXPECT_EQ(Texted(integer, 0), "0");
    EXPECT_EQ(Texted(integer, 120034), "120034");
    EXPECT_EQ(Texted(integer, uint32_t(-7)), "-7");
    EXPECT_EQ(Texted(integer, uint32_t(INT_MAX)), "2147483647");
    EXPECT_EQ(Texted(integer, uint32_t(INT_MIN)), "-2147483648");
    auto version = [](NumberText& t, uint32_t v) { FormatVersion(t, static_cast<uint16_t>(v)); };
    EXPECT_EQ(Texted(version, 0x0102), "1.02");
    EXPECT_EQ(Texted(version, 0x021A), "2.1a");
    EXPECT_EQ(Texted(version, 0x0A10), "a.10");
    EXPECT_EQ(Texted(version, 0x0000), "0.00");
    EXPECT_EQ(Texted(version, 0xFFFF), "ff.ff");
    EXPECT_EQ(Texted(FormatDate, 0x20261206), "2026-12-06");
    EXPECT_EQ(Texted(FormatDate, 0), "0000-00-00");
    EXPECT_EQ(Texted(FormatDate, 0x00240315), "0024-03-15");
    EXPECT_EQ(Texted(FormatDate, 0xFFFFFFFF), "ffff-ff-ff");
}

TEST(NumberText, BcdDigitsAndDates) {
    EXPECT_EQ(ToBcd(0), 0u);
    EXPECT_EQ(ToBcd(12), 0x12u);
    EXPECT_EQ(ToBcd(2026), 0x2026u);
    EXPECT_EQ(ToBcd(90807), 0x90807u);
    EXPECT_EQ(ToBcd(99999999), 0x99999999u);
    const uint32_t date = BcdDate(2026, 12, 6);
    EXPECT_EQ(date, 0x20261206u);
    const unsigned char wire[4] = {0x06, 0x12, 0x26, 0x20};
    EXPECT_EQ(std::memcmp(&date, wire, 4), 0) << "day, month, then the year word";
    EXPECT_EQ(BcdDate(1999, 1, 31), 0x19990131u);
}

TEST(NumberText, WholeNumbersAndCalendarDays) {
    int32_t n = 99;
    EXPECT_TRUE(ParseInteger("30", n));
    EXPECT_EQ(n, 30);
    EXPECT_TRUE(ParseInteger("-2147483648", n));
    EXPECT_EQ(n, INT_MIN);
    for (const char* text : {"", "-", "5.0", " 5", "5 ", "2147483648", "99999999999", "0x10"})
        EXPECT_FALSE(ParseInteger(text, n)) << text;
    EXPECT_EQ(n, INT_MIN) << "a refused text leaves the value";
    uint32_t date = 1;
    EXPECT_TRUE(ParseDate("2024-02-29", date));
    EXPECT_EQ(date, 0x20240229u);
    EXPECT_TRUE(ParseDate("0000-00-00", date));
    EXPECT_EQ(date, 0u) << "no date";
    for (const char* text : {"2023-02-29", "1900-02-29", "2024-13-01", "2024-04-31", "0000-01-01",
                             "2024-1-15", "2024-01-15x", "24-01-15", "2024/01/15"})
        EXPECT_FALSE(ParseDate(text, date)) << text;
    EXPECT_TRUE(IsCalendarDate(0x20000229));
    EXPECT_FALSE(IsCalendarDate(0x20241A15)) << "a nibble that is no digit";
    EXPECT_FALSE(IsCalendarDate(0));
}

} // namespace
