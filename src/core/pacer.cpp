#include "core/pacer.h"

Pacer::Pacer(std::chrono::milliseconds period) : Period(period) {}

Pacer::TimePoint Pacer::NextDue() {
    // The first sample not yet due.
    const long long late = (::Clock::Current().Now() - Start) / Period + 1;
    Next = Next + 1 > late ? Next + 1 : late;
    return Start + Next * Period;
}

bool Pacer::WaitUntil(const StopSignal& stop, TimePoint time) {
    const auto wait =
        std::chrono::duration_cast<std::chrono::milliseconds>(time - ::Clock::Current().Now());
    return stop.Wait(static_cast<DWORD>(wait.count() > 0 ? wait.count() : 0));
}

double Pacer::Elapsed() const {
    return std::chrono::duration<double>(::Clock::Current().Now() - Start).count();
}
