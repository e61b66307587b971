#include "core/clock.h"

namespace {

Clock SystemClock;
Clock* Installed = nullptr;

} // namespace

Clock::TimePoint Clock::Now() {
    return std::chrono::steady_clock::now();
}

void Clock::UtcNow(SYSTEMTIME& utc) {
    GetSystemTime(&utc);
}

bool Clock::Wait(HANDLE event, DWORD ms) {
    return WaitForSingleObject(event, ms) != WAIT_OBJECT_0;
}

Clock& Clock::Current() {
    return Installed ? *Installed : SystemClock;
}

void Clock::Install(Clock* clock) {
    Installed = clock;
}
