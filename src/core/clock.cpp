#include "core/clock.h"

namespace {

Clock SystemClock;
Clock* Installed = nullptr;

} // namespace

// The performance counter, which the steady clock reads as well: the
// library's own steady clock would bring its exception machinery into the
// window tool.
Clock::TimePoint Clock::Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    const long long perSecond = frequency.QuadPart, ticks = counter.QuadPart;
    const long long nanoseconds =
        ticks / perSecond * 1000000000LL + ticks % perSecond * 1000000000LL / perSecond;
    return TimePoint(std::chrono::nanoseconds(nanoseconds));
}

void Clock::UtcNow(SYSTEMTIME& utc) {
    GetSystemTime(&utc);
}

bool Clock::Wait(HANDLE event, DWORD ms) {
    return WaitForSingleObject(event, ms) != WAIT_OBJECT_0;
}

void Clock::LocalNow(SYSTEMTIME& local, SYSTEMTIME& utc) {
    UtcNow(utc);
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) local = utc;
}

Clock& Clock::Current() {
    return Installed ? *Installed : SystemClock;
}

void Clock::Install(Clock* clock) {
    Installed = clock;
}
