#include "stress/app_oracle.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <set>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits, at most one point, at least one digit, then an optional exponent
// with at least one digit, up to the end.
bool IsDecimal(const std::string& s) {
    size_t i = 0, digits = 0, points = 0;
    for (; i < s.size() && (IsDigit(s[i]) || s[i] == '.'); ++i) (s[i] == '.' ? points : digits)++;
    if (digits == 0 || points > 1) return false;
    if (i == s.size()) return true;
    if (s[i] != 'e' && s[i] != 'E') return false;
    if (++i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (i == s.size()) return false;
    for (; i < s.size(); ++i)
        if (!IsDigit(s[i])) return false;
    return true;
}

std::string Lowercase(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

} // namespace

bool IsFinite(float value) {
    return std::isfinite(value);
}

uint32_t BitsOf(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

float FloatOfBits(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

bool ExpectedNumber(const std::string& text, size_t maxLength, float& value) {
    if (text.size() > maxLength) return false;
    std::string s = text;
    for (char& c : s)
        if (c == ',') c = '.';
    s.erase(0, s.find_first_not_of(' ') == std::string::npos ? s.size() : s.find_first_not_of(' '));
    const bool negative = !s.empty() && s[0] == '-';
    const std::string unsignedPart = !s.empty() && (s[0] == '-' || s[0] == '+') ? s.substr(1) : s;
    const std::string word = Lowercase(unsignedPart);
    if (word == "inf" || word == "nan") {
        value = word == "inf" ? std::numeric_limits<float>::infinity()
                              : std::numeric_limits<float>::quiet_NaN();
        if (negative) value = -value;
        return true;
    }
    if (!IsDecimal(unsignedPart)) return false;
    // The C runtime rounds correctly to the nearest float; beyond the range
    // it gives an infinity.
    char* end = nullptr;
    value = std::strtof(s.c_str(), &end);
    if (end != s.c_str() + s.size()) return false;
    return IsFinite(value);
}

std::vector<std::string> HostileTexts() {
    std::vector<std::string> texts = {
        // decimal commas and separators
        "1,5",
        "1.000,5",
        "1,000.5",
        "4,01",
        ",5",
        "5,",
        "1,,2",
        "1,2,3",
        "1,5e3",
        "1 000",
        "1'000",
        "1_000",
        // words
        "nan",
        "NaN",
        "-nan",
        "NAN",
        "inf",
        "-Inf",
        "+INF",
        "infinity",
        "in",
        "na",
        "Inf1",
        "nan(1)",
        "1.#INF",
        "1.#QNAN",
        // beyond and at the float's range
        "1e39",
        "-1e39",
        "3.40282346e38",
        "3.40282356e38",
        "3.40282357e38",
        "-3.4028236e38",
        "340282356779733661637539395458142568447",
        "99999999999999999999999",
        "1e999999999999",
        "0e999999999999999",
        "1e-999999999999",
        "1e-50",
        "-1e-50",
        "1e-45",
        "1.4e-45",
        "7e-46",
        "7.1e-46",
        "1e-40",
        "1.17549435e-38",
        // other notations
        "0x1p3",
        "0x10",
        "0X1A",
        "1e+0038",
        "1E3",
        "1e0003",
        "-7.5e1",
        "2.5E-3",
        "1e-7",
        // empty, spaces, control characters
        "",
        " ",
        "   ",
        " 1",
        "1 ",
        "  -2.5",
        "\t1",
        "1\t",
        "- 1",
        "+ 1",
        "1 2",
        "\r1",
        "1\r",
        // not a number at all, or not only one
        "1abc",
        "abc",
        "12 mV",
        "$1",
        "1%",
        "1e",
        "1e+",
        "1e-",
        "e5",
        "E",
        ".",
        ",",
        "-",
        "+",
        "1..2",
        "1.2.3",
        "--1",
        "+-1",
        "-+1",
        "1-",
        "1e5e5",
        "1e2.5",
        "1.5e.3",
        "infx",
        "nanq",
        // signs and points alone with digits
        "+.5",
        "-.5",
        ".5",
        "5.",
        "-0",
        "+0",
        "0",
        "-0.0",
        "0.1",
        "16777217",
        "16777216.5",
        "8388608.5",
        "3.14159265358979323846",
        "1.00000005960464477539",
        "1.00000005960464477540",
        "-200",
        "9.21",
        "7",
        "14",
        // lengths around the limits of 15 and 23 characters
        "123456789012345",
        "1234567890123456",
        "-12345678901234",
        "-123456789012345",
        "12345678901234567890123",
        "123456789012345678901234",
        "-1234567890123456789012",
        "1.2345678901234567890123",
        "0.000000000000000000001",
        "00000000000000000000001",
        "000000000000000000000001",
        "123456789012345678901234567890",
        "1.00000000000000",
        "1.000000000000000",
        // bytes beyond ASCII: a full-width one in UTF-8, Czech letters, a
        // no-break space, an en dash and a minus sign as a sign
        "\xEF\xBC\x91",
        "\xB9",
        "1\xA0",
        "\xA0"
        "1",
        "\xBD",
        "1\xB2",
        "\x96"
        "1",
        "\xE2\x88\x92"
        "1",
        "1\xEC",
        "\xFF\xFF",
    };
    std::set<std::string> seen(texts.begin(), texts.end());
    // Made up, the same every time: numbers of every shape that fit the
    // fields or just do not, and runs of characters a number is made of.
    std::mt19937 random(20261207);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const char junk[] = "0123456789.,eE+- xnaif\xB9\xA0";
    while (texts.size() < 200) {
        std::string text;
        if (texts.size() % 3 != 2) {
            if (pick(3) == 0) text += pick(2) ? '-' : '+';
            const int whole = pick(12);
            for (int i = 0; i < whole; ++i) text += static_cast<char>('0' + pick(10));
            if (pick(2)) {
                text += pick(4) ? '.' : ',';
                const int fraction = pick(10);
                for (int i = 0; i < fraction; ++i) text += static_cast<char>('0' + pick(10));
            }
            if (pick(3) == 0) {
                text += pick(2) ? 'e' : 'E';
                if (pick(2)) text += pick(2) ? '-' : '+';
                text += std::to_string(pick(50));
            }
        } else {
            const int length = 1 + pick(26);
            for (int i = 0; i < length; ++i) text += junk[pick(sizeof junk - 1)];
        }
        if (seen.insert(text).second) texts.push_back(text);
    }
    return texts;
}

ExpectedPair ExpectedCalibration(uint8_t type, bool singlePoint, const MeasuredPoint& point1,
                                 const MeasuredPoint& point2) {
    const uint8_t probe = type % 4;
    const bool valid =
        singlePoint
            ? point1.Valid && (point1.Standard != 0.0f || probe == PhProbe || probe == RedoxProbe)
            : point1.Valid && point2.Valid && point1.Standard != point2.Standard;
    if (!valid) return {};
    const double n1 = point1.Standard, u1 = point1.Voltage;
    const double n2 = point2.Standard, u2 = point2.Voltage;
    const float twoPointSlope = static_cast<float>((u2 - u1) / (n2 - n1));
    float s;
    double o;
    if (probe == RedoxProbe) {
        s = 1.0f;
        o = u1 - n1;
    } else if (probe == PhProbe) {
        s = singlePoint ? -58.0f : twoPointSlope;
        o = u1 - (n1 - 7.0) * s;
    } else if (singlePoint) {
        s = static_cast<float>(u1 / n1);
        o = 0.0;
    } else {
        s = twoPointSlope;
        o = u1 - static_cast<double>(s) * n1;
    }
    const float offset = static_cast<float>(o);
    if (s == 0.0f || !IsFinite(s) || !IsFinite(offset)) return {};
    const bool slopeOfTheProbesSign = probe == PhProbe ? s < 0.0f : probe == RedoxProbe || s > 0.0f;
    if (!slopeOfTheProbesSign) return {};
    const double idealMagnitude = 59.16, magnitude = std::fabs(static_cast<double>(s));
    const bool unusual = magnitude < 0.8 * idealMagnitude || magnitude > 1.1 * idealMagnitude ||
                         std::fabs(static_cast<double>(offset)) > 60.0;
    return {true, s, offset, probe == PhProbe && unusual};
}

const char QuestionSecondLine[] = "Hodnoty jsou mimo obvykl\xFD rozsah. P\xF8"
                                  "esto zapsat?";

std::string ExpectedQuestion(const ExpectedPair& pair) {
    const double percent = std::fabs(static_cast<double>(pair.Sensitivity)) * 100.0 / 59.16;
    const double exactLimit = 16777216.0;
    if (percent >= exactLimit || std::fabs(static_cast<double>(pair.Offset)) >= exactLimit)
        return "";
    return "Strmost sondy: " + std::to_string(std::llround(percent)) +
           " % jmenovit\xE9, posun: " + std::to_string(std::llround(pair.Offset)) + " mV.\n" +
           QuestionSecondLine;
}

float ExpectedMean(const std::vector<float>& samples) {
    double sum = 0;
    for (float sample : samples) sum += sample;
    return static_cast<float>(sum / static_cast<double>(samples.size()));
}

uint32_t ExpectedDate(unsigned year, unsigned month, unsigned day) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04u%02u%02u", year, month, day);
    return static_cast<uint32_t>(std::strtoul(digits, nullptr, 16));
}

uint32_t TodaysDate() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return ExpectedDate(now.wYear, now.wMonth, now.wDay);
}

uint32_t LoggedFrame::Value() const {
    uint32_t value = 0;
    for (size_t i = 0; i < 4 && i < Data.size(); ++i) value |= uint32_t{Data[i]} << (8 * i);
    return value;
}

// "RX 01 30 04 00 00 48 41 3A" — the bytes end at a double space or the line's end.
LoggedFrame FrameOf(const std::string& logLine) {
    LoggedFrame frame;
    frame.Request = logLine.compare(0, 3, "RX ") == 0;
    frame.Reply = logLine.compare(0, 3, "TX ") == 0;
    if (!frame.Request && !frame.Reply) return frame;
    std::vector<uint8_t> bytes;
    unsigned byte;
    int used;
    for (const char* at = logLine.c_str() + 3; std::sscanf(at, "%2x%n", &byte, &used) == 1;
         at += used) {
        bytes.push_back(static_cast<uint8_t>(byte));
        if (at[used] != ' ' || at[used + 1] == ' ') break;
        ++at;
    }
    // Request: start, command, length, data, checksum; reply: start, length, data, checksum.
    const size_t header = frame.Request ? 3 : 2;
    if (bytes.size() < header + 1) return frame;
    if (frame.Request) frame.Command = bytes[1];
    frame.Data.assign(bytes.begin() + header, bytes.end() - 1);
    return frame;
}
