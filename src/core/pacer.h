#pragma once

#include "core/clock.h"
#include "core/stop_signal.h"

#include <chrono>

// Keeps a steady rhythm of samples: the k-th falls due k periods after the
// first, whatever each took; a sample that ran past its successor's time
// lets that one go rather than crowding the next ones together.
class Pacer {
public:
    using TimePoint = ::Clock::TimePoint;

    explicit Pacer(std::chrono::milliseconds period);
    // Waits for the next sample's time; false when interrupted meanwhile.
    bool WaitForNext(const StopSignal& stop) { return WaitUntil(stop, NextDue()); }
    // The next sample's time, for a caller that has more to do meanwhile;
    // each call moves on to the sample after.
    TimePoint NextDue();
    // False when interrupted before the time.
    static bool WaitUntil(const StopSignal& stop, TimePoint time);
    // Seconds since the first sample.
    double Elapsed() const;
    // The number of the sample now due, from 0: a sample let go counts.
    long long Slot() const { return Next; }

private:
    std::chrono::milliseconds Period;
    TimePoint Start = ::Clock::Current().Now();
    long long Next = 0; // the number of the next sample
};
