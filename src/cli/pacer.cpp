#include "cli/pacer.h"

Pacer::Pacer(std::chrono::milliseconds period) : Period(period) {}

bool Pacer::WaitForNext(const Interruption& stop) {
    const Clock::time_point now = Clock::now();
    const long long late = (now - Start) / Period + 1; // the first sample not yet due
    Next = Next + 1 > late ? Next + 1 : late;
    const auto wait =
        std::chrono::duration_cast<std::chrono::milliseconds>(Start + Next * Period - now);
    return stop.Wait(static_cast<DWORD>(wait.count() > 0 ? wait.count() : 0));
}

double Pacer::Elapsed() const {
    return std::chrono::duration<double>(Clock::now() - Start).count();
}
