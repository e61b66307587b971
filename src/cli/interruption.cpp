#include "cli/interruption.h"

#include "core/clock.h"

namespace {

Interruption* Caught = nullptr;

HANDLE CaughtDone = nullptr;

} // namespace

BOOL WINAPI Interruption::OnConsoleControl(DWORD event) {
    if (!Caught) return FALSE;
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        Caught->Request();
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        // The process ends when this returns: the command gets its seconds
        // to put the damping back and to finish its lines.
        Caught->Request();
        WaitForSingleObject(CaughtDone, Interruption::GraceMs);
        return TRUE;
    default:
        return FALSE;
    }
}

Interruption::Interruption()
    : Signal(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      Done(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

// A handler still waiting is let go before the event goes.
Interruption::~Interruption() {
    if (Caught == this) {
        SetConsoleCtrlHandler(OnConsoleControl, FALSE);
        Caught = nullptr;
    }
    SetEvent(Done);
    CloseHandle(Signal);
    CloseHandle(Done);
}

void Interruption::Finished() {
    SetEvent(Done);
}

void Interruption::Request() {
    IsRequested = true;
    SetEvent(Signal);
}

bool Interruption::Wait(DWORD ms) const {
    return Clock::Current().Wait(Signal, ms);
}

// A process may start with Ctrl+C ignored, inherited from the one that
// started it (a new process group, a service, a parent that ignores it);
// vl4 wants it in any case.
void Interruption::CatchConsoleControl() {
    Caught = this;
    CaughtDone = Done;
    SetConsoleCtrlHandler(nullptr, FALSE);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}
