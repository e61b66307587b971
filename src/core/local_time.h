#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The PC's local time, as files and records show it.
class LocalTime {
public:
    static LocalTime Now();

    // 2026-12-07T14:03:05.123+01:00 (ISO 8601, local time with milliseconds
    // and its offset from UTC, so that a log across a change of the clock
    // stays in order and means one moment)
    std::string IsoWithMilliseconds() const;
    // 2026-12-07 14:03
    std::string ToMinute() const;
    // 2026-12-07
    std::string IsoDate() const;
    // The transmitter's calibration date of this day.
    uint32_t BcdDay() const;
    // The same time of day, `days` calendar days later.
    LocalTime DaysLater(int days) const;

    // Minutes the local time is ahead of UTC.
    int OffsetMinutes() const { return Offset; }

private:
    SYSTEMTIME Time = {};
    int Offset = 0;
};

// Digits with leading zeros up to the width: Padded(7, 2) is "07".
std::string Padded(int value, int width);
