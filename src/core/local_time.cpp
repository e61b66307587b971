#include "core/local_time.h"

#include "core/clock.h"
#include "core/machine_text.h"
#include "core/number_text.h"

namespace {

long long Minutes(const SYSTEMTIME& time) {
    FILETIME file;
    SystemTimeToFileTime(&time, &file);
    return ((static_cast<long long>(file.dwHighDateTime) << 32) | file.dwLowDateTime) /
           (10000000LL * 60);
}

std::string OffsetText(int minutes) {
    const int size = minutes < 0 ? -minutes : minutes;
    return (minutes < 0 ? "-" : "+") + Padded(size / 60, 2) + ":" + Padded(size % 60, 2);
}

} // namespace

// The local time is taken from the same UTC moment as its offset, so that
// the two agree across a change of the clock.
LocalTime LocalTime::Now() {
    LocalTime now;
    SYSTEMTIME utc;
    Clock::Current().LocalNow(now.Time, utc);
    now.Offset = static_cast<int>(Minutes(now.Time) - Minutes(utc));
    return now;
}

std::string LocalTime::IsoDate() const {
    return Padded(Time.wYear, 4) + "-" + Padded(Time.wMonth, 2) + "-" + Padded(Time.wDay, 2);
}

std::string LocalTime::ToMinute() const {
    return IsoDate() + " " + Padded(Time.wHour, 2) + ":" + Padded(Time.wMinute, 2);
}

std::string LocalTime::IsoWithMilliseconds() const {
    return IsoDate() + "T" + Padded(Time.wHour, 2) + ":" + Padded(Time.wMinute, 2) + ":" +
           Padded(Time.wSecond, 2) + "." + Padded(Time.wMilliseconds, 3) + OffsetText(Offset);
}

LocalTime LocalTime::DaysLater(int days) const {
    FILETIME file;
    SystemTimeToFileTime(&Time, &file);
    ULARGE_INTEGER ticks;
    ticks.LowPart = file.dwLowDateTime;
    ticks.HighPart = file.dwHighDateTime;
    ticks.QuadPart += static_cast<unsigned long long>(days) * 24 * 3600 * 10000000ULL;
    file.dwLowDateTime = ticks.LowPart;
    file.dwHighDateTime = ticks.HighPart;
    LocalTime later = *this;
    FileTimeToSystemTime(&file, &later.Time);
    return later;
}

uint32_t LocalTime::BcdDay() const {
    return BcdDate(Time.wYear, Time.wMonth, Time.wDay);
}

std::string Padded(int value, int width) {
    std::string text = IntegerText(value);
    if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), '0');
    return text;
}
