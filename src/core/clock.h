#pragma once

#include <windows.h>

#include <chrono>

// The time the programs go by: the system's clocks, or a test's own, which
// moves on only when someone waits, so that a calibration of minutes runs
// through in a moment.
class Clock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    // The steady clock, for pacing and timing.
    virtual TimePoint Now();
    // The calendar's time in UTC.
    virtual void UtcNow(SYSTEMTIME& utc);
    // Waits up to ms milliseconds for the event; false when it came first.
    virtual bool Wait(HANDLE event, DWORD ms);

    // The local calendar time of the same moment as utc; utc where the
    // system cannot convert it.
    void LocalNow(SYSTEMTIME& local, SYSTEMTIME& utc);

    // The clock in effect; Install(nullptr) restores the system's.
    static Clock& Current();
    static void Install(Clock* clock);
};
