#include "core/number_text.h"

#include <windows.h>

#include <cstdarg>
#include <cstring>

namespace {

constexpr uint32_t SignBit = 0x80000000;
constexpr uint32_t InfinityBits = 0x7F800000;
constexpr uint32_t NanBits = 0x7FC00000;
constexpr int SignificantDigits = 9; // enough to tell every float from its neighbours
constexpr int MaxExponent = 100000;  // far past any float, small enough not to overflow

// An exact decimal value 0.d1 d2 d3 ... x 10^Point with d1 not 0; no digits is
// zero. The longest exact expansion of a float, or of the midpoint between two
// neighbouring floats, has 113 significant digits.
constexpr int MaxDigits = 120;
struct Decimal {
    unsigned char Digits[MaxDigits];
    int Count = 0;
    int Point = 0;

    int DigitAt(int i) const { return i >= 0 && i < Count ? Digits[i] : 0; }
};

// The magnitude bits of a finite float as mantissa x 2^exponent.
void Split(uint32_t bits, uint32_t& mantissa, int& exponent) {
    const int biased = static_cast<int>(bits >> 23 & 0xFF);
    mantissa = bits & 0x7FFFFF;
    exponent = -149;
    if (biased != 0) {
        mantissa |= 0x800000;
        exponent = biased - 150;
    }
}

// The exact value of mantissa x 2^exponent. A negative power of two is
// 5^n / 10^n, so the digits come from multiplying by 2 or by 5 alone, nine or
// more of them at a time (a digit times the factor plus carry stays below 2^32).
Decimal ExactValue(uint32_t mantissa, int exponent) {
    unsigned char low[MaxDigits]; // least significant first
    int count = 0;
    for (; mantissa != 0; mantissa /= 10) low[count++] = mantissa % 10;
    for (int left = exponent < 0 ? -exponent : exponent; left > 0;) {
        const int step = exponent < 0 ? (left < 9 ? left : 9) : (left < 27 ? left : 27);
        uint32_t factor = 1;
        for (int i = 0; i < step; ++i) factor *= exponent < 0 ? 5 : 2;
        left -= step;
        uint32_t carry = 0;
        for (int i = 0; i < count; ++i) {
            const uint32_t product = low[i] * factor + carry;
            low[i] = product % 10;
            carry = product / 10;
        }
        for (; carry != 0; carry /= 10) low[count++] = carry % 10;
    }
    Decimal d;
    d.Count = count;
    for (int i = 0; i < count; ++i) d.Digits[i] = low[count - 1 - i];
    d.Point = count + (exponent < 0 ? exponent : 0);
    return d;
}

// One unit more in the last digit kept.
void Increment(Decimal& d) {
    int i = d.Count - 1;
    while (i >= 0 && d.Digits[i] == 9) --i;
    if (i < 0) { // 999.. carries into a new leading 1
        d.Digits[0] = 1;
        d.Count = 1;
        ++d.Point;
        return;
    }
    ++d.Digits[i];
    d.Count = i + 1;
}

// Keeps the first `keep` digits, rounding half away from zero.
void RoundTo(Decimal& d, int keep) {
    if (keep >= d.Count) return;
    if (keep < 0) {
        d.Count = 0;
        return;
    }
    const bool up = d.Digits[keep] >= 5;
    d.Count = keep;
    if (up) Increment(d);
}

char* WriteDigits(char* out, const Decimal& d, int from, int to) {
    for (int i = from; i < to; ++i) *out++ = static_cast<char>('0' + d.DigitAt(i));
    return out;
}

void WriteFixed(char* out, const Decimal& d, int decimals) {
    if (d.Point > 0)
        out = WriteDigits(out, d, 0, d.Point);
    else
        *out++ = '0';
    if (decimals > 0) {
        *out++ = '.';
        out = WriteDigits(out, d, d.Point, d.Point + decimals);
    }
    *out = '\0';
}

// d.dddddddde+XX; a float's decimal exponent always has two digits.
void WriteScientific(char* out, Decimal d) {
    RoundTo(d, SignificantDigits);
    const int exponent = d.Count != 0 ? d.Point - 1 : 0;
    out = WriteDigits(out, d, 0, 1);
    *out++ = '.';
    out = WriteDigits(out, d, 1, SignificantDigits);
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    *out++ = static_cast<char>('0' + magnitude / 10);
    *out++ = static_cast<char>('0' + magnitude % 10);
    *out = '\0';
}

void FormatBySystem(NumberText& text, const char* format, ...) {
    va_list args;
    va_start(args, format);
    wvsprintfA(text, format, args);
    va_end(args);
}

// -1, 0 or 1 as a lies below, on or above b.
int Compare(const Decimal& a, const Decimal& b) {
    if (a.Count == 0 || b.Count == 0) return (a.Count != 0) - (b.Count != 0);
    if (a.Point != b.Point) return a.Point < b.Point ? -1 : 1;
    for (int i = 0; i < a.Count || i < b.Count; ++i)
        if (a.DigitAt(i) != b.DigitAt(i)) return a.DigitAt(i) < b.DigitAt(i) ? -1 : 1;
    return 0;
}

// The magnitude bits of the float nearest to d, ties to even; InfinityBits
// past the largest float. That is the first bit pattern whose midpoint to the
// next pattern lies above d, or on d for an even pattern; the midpoints rise
// with the patterns, so a binary search finds it.
uint32_t NearestFloatBits(const Decimal& d) {
    uint32_t low = 0, high = InfinityBits;
    while (low < high) {
        const uint32_t middle = low + (high - low) / 2;
        uint32_t mantissa;
        int exponent;
        Split(middle, mantissa, exponent);
        const int order = Compare(d, ExactValue(2 * mantissa + 1, exponent - 1));
        if (order < 0 || (order == 0 && middle % 2 == 0))
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Adds one digit of a typed number. Leading zeros only move the point; digits
// past the room left leave a trace in the last one, which no midpoint reaches.
void AddDigit(Decimal& d, int digit, bool inFraction) {
    if (d.Count == 0 && digit == 0) {
        if (inFraction) --d.Point;
        return;
    }
    if (!inFraction) ++d.Point;
    if (d.Count < MaxDigits)
        d.Digits[d.Count++] = static_cast<unsigned char>(digit);
    else if (digit != 0)
        d.Digits[MaxDigits - 1] |= 1;
}

// Digits with one optional decimal point or comma, then an optional exponent,
// up to the end of the text.
bool ReadDecimal(const char* p, Decimal& d) {
    bool anyDigit = false, inFraction = false;
    for (;; ++p) {
        if (IsDigit(*p)) {
            anyDigit = true;
            AddDigit(d, *p - '0', inFraction);
        } else if ((*p == '.' || *p == ',') && !inFraction) {
            inFraction = true;
        } else {
            break;
        }
    }
    if (!anyDigit) return false;
    if (*p == 'e' || *p == 'E') {
        ++p;
        const bool negative = *p == '-';
        if (*p == '-' || *p == '+') ++p;
        if (!IsDigit(*p)) return false;
        int exponent = 0;
        for (; IsDigit(*p); ++p) {
            exponent = exponent * 10 + (*p - '0');
            if (exponent > MaxExponent) exponent = MaxExponent;
        }
        d.Point += negative ? -exponent : exponent;
    }
    return *p == '\0';
}

// The text after the word, when the text starts with it in any letter case.
const char* SkipWord(const char* p, const char* lowercaseWord) {
    for (; *lowercaseWord != '\0'; ++p, ++lowercaseWord)
        if ((*p | 0x20) != *lowercaseWord) return nullptr;
    return p;
}

// The magnitude bits of the text after its sign.
bool ReadMagnitude(const char* p, uint32_t& bits) {
    if (const char* end = SkipWord(p, "inf")) {
        bits = InfinityBits;
        return *end == '\0';
    }
    if (const char* end = SkipWord(p, "nan")) {
        bits = NanBits;
        return *end == '\0';
    }
    Decimal d;
    if (!ReadDecimal(p, d)) return false;
    bits = NearestFloatBits(d);
    return bits != InfinityBits; // too large for a float
}

// "Nan", "+Inf" or "-Inf" for the bits of a value that is not finite.
bool WriteNonFinite(NumberText& text, uint32_t bits) {
    if ((bits & InfinityBits) != InfinityBits) return false;
    std::strcpy(text, (bits & 0x7FFFFF) != 0 ? "Nan" : (bits & SignBit) ? "-Inf" : "+Inf");
    return true;
}

// The first `keep` digits.
Decimal Kept(Decimal d, int keep) {
    if (keep < d.Count) d.Count = keep;
    return d;
}

Decimal Stripped(Decimal d) {
    while (d.Count > 0 && d.Digits[d.Count - 1] == 0) --d.Count;
    return d;
}

// Digits without an exponent where a reader expects them (0.0001 up to
// 999999999), d.ddde+XX beyond.
void WriteShortest(char* out, const Decimal& d) {
    if (d.Point < -3 || d.Point > 9) {
        out = WriteDigits(out, d, 0, 1);
        if (d.Count > 1) {
            *out++ = '.';
            out = WriteDigits(out, d, 1, d.Count);
        }
        const int exponent = d.Point - 1;
        *out++ = 'e';
        *out++ = exponent < 0 ? '-' : '+';
        WriteFixed(out, ExactValue(exponent < 0 ? -exponent : exponent, 0), 0);
        return;
    }
    WriteFixed(out, d, d.Count > d.Point ? d.Count - d.Point : 0);
}

} // namespace

void FormatShortest(NumberText& text, float value) {
    const uint32_t bits = BitsOfFloat(value);
    if (WriteNonFinite(text, bits)) return;
    uint32_t mantissa;
    int exponent;
    Split(bits, mantissa, exponent);
    const Decimal exact = Stripped(ExactValue(mantissa, exponent));
    char* out = text;
    if (bits & SignBit) *out++ = '-'; // "-0" reads back as negative zero
    if (exact.Count == 0) {
        std::strcpy(out, "0");
        return;
    }
    // Of the two n-digit decimals around the value the nearer is tried first;
    // at a power of two, where the gaps to the neighbouring floats differ,
    // the other may be the only one that reads back.
    const uint32_t magnitude = bits & ~SignBit;
    for (int n = 1;; ++n) {
        if (exact.Count <= n || n == SignificantDigits) {
            Decimal rounded = exact; // nine digits tell every float from its neighbours
            RoundTo(rounded, n);
            WriteShortest(out, Stripped(rounded));
            return;
        }
        const Decimal kept = Kept(exact, n);
        Decimal up = kept;
        Increment(up);
        const Decimal down = Stripped(kept);
        up = Stripped(up);
        const bool upNearer = exact.Digits[n] >= 5;
        const Decimal* const candidates[] = {upNearer ? &up : &down, upNearer ? &down : &up};
        for (const Decimal* candidate : candidates) {
            if (NearestFloatBits(*candidate) == magnitude) {
                WriteShortest(out, *candidate);
                return;
            }
        }
    }
}

void FormatFloat(NumberText& text, float value, int decimals) {
    const uint32_t bits = BitsOfFloat(value);
    const bool negative = (bits & SignBit) != 0;
    if (WriteNonFinite(text, bits)) return;
    uint32_t mantissa;
    int exponent;
    Split(bits, mantissa, exponent);
    const Decimal exact = ExactValue(mantissa, exponent);
    char* out = text;
    if (negative && exact.Count != 0) *out++ = '-'; // negative zero has no sign
    if (decimals < 0) decimals = 0;
    if (decimals < FullNumberLength) {
        Decimal rounded = exact;
        RoundTo(rounded, rounded.Point + decimals);
        const int length = static_cast<int>(out - text) + (rounded.Point > 0 ? rounded.Point : 1) +
                           (decimals > 0 ? decimals + 1 : 0);
        if (length <= FullNumberLength) {
            WriteFixed(out, rounded, decimals);
            return;
        }
    }
    WriteScientific(out, exact);
}

void FormatInteger(NumberText& text, int32_t value) {
    char* out = text;
    if (value < 0) *out++ = '-';
    const uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : value;
    WriteFixed(out, ExactValue(magnitude, 0), 0);
}

void FormatVersion(NumberText& text, uint16_t version) {
    FormatBySystem(text, "%lx.%02lx", static_cast<unsigned long>(version >> 8),
                   static_cast<unsigned long>(version & 0xFF));
}

void FormatDate(NumberText& text, uint32_t bcdDate) {
    FormatBySystem(text, "%04lx-%02lx-%02lx", static_cast<unsigned long>(bcdDate >> 16 & 0xFFFF),
                   static_cast<unsigned long>(bcdDate >> 8 & 0xFF),
                   static_cast<unsigned long>(bcdDate & 0xFF));
}

uint32_t ToBcd(uint32_t n) {
    uint32_t bcd = 0;
    for (int shift = 0; n != 0 && shift < 32; shift += 4, n /= 10) bcd |= (n % 10) << shift;
    return bcd;
}

uint32_t BcdDate(unsigned year, unsigned month, unsigned day) {
    return ToBcd(year) * 65536 + ToBcd(month) * 256 + ToBcd(day);
}

bool ParseNumber(const char* text, float& value) {
    value = 0;
    while (*text == ' ') ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    uint32_t bits;
    if (!ReadMagnitude(text, bits)) return false;
    if (negative) bits |= SignBit;
    std::memcpy(&value, &bits, sizeof value);
    return true;
}

bool ParseNumber(const char* text, int maxLength, float& value) {
    value = 0;
    int length = 0;
    while (length <= maxLength && text[length] != '\0') ++length;
    return length <= maxLength && ParseNumber(text, value);
}

bool ParseInteger(const char* text, int32_t& value) {
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    if (!IsDigit(*text)) return false;
    int64_t magnitude = 0;
    for (; IsDigit(*text); ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > int64_t(INT32_MAX) + 1) return false;
    }
    const int64_t signedValue = negative ? -magnitude : magnitude;
    if (*text != '\0' || signedValue > INT32_MAX) return false;
    value = static_cast<int32_t>(signedValue);
    return true;
}

namespace {

// The value of BCD digits, or -1 when a nibble is not a decimal digit.
int FromBcd(uint32_t bcd, int digits) {
    int value = 0;
    for (int i = digits - 1; i >= 0; --i) {
        const int digit = bcd >> (4 * i) & 15;
        if (digit > 9) return -1;
        value = value * 10 + digit;
    }
    return value;
}

int DaysInMonth(int year, int month) {
    static const int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return month == 2 && leap ? 29 : Days[month - 1];
}

// Exactly `count` digits at p.
bool ReadDigits(const char*& p, int count, uint32_t& bcd) {
    bcd = 0;
    for (int i = 0; i < count; ++i, ++p) {
        if (!IsDigit(*p)) return false;
        bcd = bcd << 4 | static_cast<uint32_t>(*p - '0');
    }
    return true;
}

} // namespace

bool IsCalendarDate(uint32_t bcdDate) {
    const int year = FromBcd(bcdDate >> 16, 4), month = FromBcd(bcdDate >> 8 & 0xFF, 2),
              day = FromBcd(bcdDate & 0xFF, 2);
    return year >= 1 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

bool ParseDate(const char* text, uint32_t& bcdDate) {
    uint32_t year, month, day;
    const char* p = text;
    if (!ReadDigits(p, 4, year) || *p++ != '-' || !ReadDigits(p, 2, month) || *p++ != '-' ||
        !ReadDigits(p, 2, day) || *p != '\0')
        return false;
    const uint32_t date = year << 16 | month << 8 | day;
    if (date != 0 && !IsCalendarDate(date)) return false;
    bcdDate = date;
    return true;
}

uint32_t BitsOfFloat(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float FloatWithBits(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool IsFiniteNumber(float value) {
    return (BitsOfFloat(value) & InfinityBits) != InfinityBits;
}

bool ParseNumberIn(const std::string& text, double low, double high, double& value) {
    float number;
    if (!ParseNumber(text.c_str(), number) || !IsFiniteNumber(number)) return false;
    value = number;
    return value >= low && value <= high;
}
