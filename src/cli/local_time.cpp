#include "cli/local_time.h"

#include "cli/machine_text.h"
#include "core/number_text.h"

LocalTime LocalTime::Now() {
    LocalTime now;
    GetLocalTime(&now.Time);
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
           Padded(Time.wSecond, 2) + "." + Padded(Time.wMilliseconds, 3);
}

uint32_t LocalTime::BcdDay() const {
    return BcdDate(Time.wYear, Time.wMonth, Time.wDay);
}

std::string Padded(int value, int width) {
    std::string text = IntegerText(value);
    if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), '0');
    return text;
}
