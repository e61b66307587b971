#include "cli/pacer.h"

Pacer::Pacer(std::chrono::milliseconds period) : Period(period) {}

Pacer::Clock::time_point Pacer::NextDue() {
    const long long late = (Clock::now() - Start) / Period + 1; // the first sample not yet due
    Next = Next + 1 > late ? Next + 1 : late;
    return Start + Next * Period;
}

bool Pacer::WaitUntil(const Interruption& stop, Clock::time_point time) {
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(time - Clock::now());
    return stop.Wait(static_cast<DWORD>(wait.count() > 0 ? wait.count() : 0));
}

double Pacer::Elapsed() const {
    return std::chrono::duration<double>(Clock::now() - Start).count();
}
