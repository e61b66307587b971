#pragma once

#include <cstdint>
#include <string>

// Days of the calendar as whole numbers, for arithmetic on dates (a due date
// N days on, the days between two calibrations): day 0 is 1970-01-01.

int32_t DayOfDate(int year, int month, int day);
// "2026-12-07"
std::string IsoDateOfDay(int32_t day);
// A day of the calendar written "YYYY-MM-DD"; false for anything else.
bool ParseIsoDay(const std::string& text, int32_t& day);
// The year, the month (1 to 12) and the day of the month of a day.
void DateOfDay(int32_t day, int& year, int& month, int& dayOfMonth);

// A time as the record writes it: "2026-12-07T16:56:19.457+01:00", the
// local time with its offset from UTC (seconds, their fraction and the
// offset may be left out; Z is UTC).
struct IsoTime {
    int32_t Day = 0;           // the local date
    int32_t Millisecond = 0;   // of the local day
    int32_t OffsetMinutes = 0; // local time minus UTC

    // Milliseconds since day 0 in UTC, which orders times taken under
    // different offsets (summer time).
    int64_t UtcMilliseconds() const;
    // The local time as days since day 0, for a time axis.
    double LocalDays() const;
    // "2026-12-07 16:56", as a person reads it.
    std::string ToMinute() const;
};

bool ParseIsoTime(const std::string& text, IsoTime& time);
