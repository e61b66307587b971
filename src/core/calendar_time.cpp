#include "core/calendar_time.h"

#include "core/local_time.h"
#include "core/number_text.h"

namespace {

constexpr int32_t MillisecondsPerDay = 86400000;

int FromBcdDigits(uint32_t bcd, int digits) {
    int value = 0;
    for (int i = digits - 1; i >= 0; --i) value = value * 10 + (bcd >> (4 * i) & 15);
    return value;
}

// `count` decimal digits at `at`, read by the number texts; false when
// anything else is there.
bool Digits(const std::string& text, size_t at, size_t count, int32_t& value) {
    if (at + count > text.size()) return false;
    for (size_t i = at; i < at + count; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return ParseInteger(text.substr(at, count).c_str(), value);
}

// "16:56", "16:56:19" or "16:56:19.457" from `at`, as milliseconds of the day.
bool ParseClock(const std::string& text, size_t& at, int32_t& milliseconds) {
    int32_t hour, minute, second = 0, fraction = 0;
    if (!Digits(text, at, 2, hour) || text.compare(at + 2, 1, ":") != 0 ||
        !Digits(text, at + 3, 2, minute) || hour > 23 || minute > 59)
        return false;
    at += 5;
    if (at < text.size() && text[at] == ':') {
        if (!Digits(text, at + 1, 2, second) || second > 59) return false;
        at += 3;
        if (at < text.size() && text[at] == '.') {
            if (!Digits(text, at + 1, 3, fraction)) return false;
            at += 4;
        }
    }
    milliseconds = ((hour * 60 + minute) * 60 + second) * 1000 + fraction;
    return true;
}

// "", "Z", "+01:00" or "-05:30" from `at` to the end.
bool ParseOffset(const std::string& text, size_t at, int32_t& minutes) {
    minutes = 0;
    if (at == text.size()) return true;
    if (text.compare(at, std::string::npos, "Z") == 0) return true;
    int32_t hours, rest;
    if ((text[at] != '+' && text[at] != '-') || text.size() != at + 6 ||
        !Digits(text, at + 1, 2, hours) || text[at + 3] != ':' || !Digits(text, at + 4, 2, rest) ||
        hours > 14 || rest > 59)
        return false;
    minutes = (text[at] == '-' ? -1 : 1) * (hours * 60 + rest);
    return true;
}

} // namespace

// The days before a date in the proleptic Gregorian calendar, counted in
// eras of 400 years (146097 days), which repeat exactly.
int32_t DayOfDate(int year, int month, int day) {
    year -= month <= 2;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void DateOfDay(int32_t day, int& year, int& month, int& dayOfMonth) {
    day += 719468;
    const int era = (day >= 0 ? day : day - 146096) / 146097;
    const int dayOfEra = day - era * 146097;
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int shifted = (5 * dayOfYear + 2) / 153; // months from March
    dayOfMonth = dayOfYear - (153 * shifted + 2) / 5 + 1;
    month = shifted < 10 ? shifted + 3 : shifted - 9;
    year = yearOfEra + era * 400 + (month <= 2);
}

std::string IsoDateOfDay(int32_t day) {
    int year, month, dayOfMonth;
    DateOfDay(day, year, month, dayOfMonth);
    return Padded(year, 4) + "-" + Padded(month, 2) + "-" + Padded(dayOfMonth, 2);
}

bool ParseIsoDay(const std::string& text, int32_t& day) {
    uint32_t bcd;
    if (!ParseDate(text.c_str(), bcd) || bcd == 0) return false; // 0000-00-00 is no day
    day = DayOfDate(FromBcdDigits(bcd >> 16, 4), FromBcdDigits(bcd >> 8 & 0xFF, 2),
                    FromBcdDigits(bcd & 0xFF, 2));
    return true;
}

bool ParseIsoTime(const std::string& text, IsoTime& time) {
    size_t at = 11;
    return text.size() >= 16 && (text[10] == 'T' || text[10] == ' ') &&
           ParseIsoDay(text.substr(0, 10), time.Day) && ParseClock(text, at, time.Millisecond) &&
           ParseOffset(text, at, time.OffsetMinutes);
}

int64_t IsoTime::UtcMilliseconds() const {
    return int64_t(Day) * MillisecondsPerDay + Millisecond - int64_t(OffsetMinutes) * 60000;
}

double IsoTime::LocalDays() const {
    return Day + double(Millisecond) / MillisecondsPerDay;
}

std::string IsoTime::ToMinute() const {
    const int32_t minutes = Millisecond / 60000;
    return IsoDateOfDay(Day) + " " + Padded(minutes / 60, 2) + ":" + Padded(minutes % 60, 2);
}
