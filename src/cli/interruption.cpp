#include "cli/interruption.h"

namespace {

Interruption* Caught = nullptr;

BOOL WINAPI OnConsoleControl(DWORD event) {
    if ((event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) || !Caught) return FALSE;
    Caught->Request();
    return TRUE;
}

} // namespace

Interruption::Interruption() : Signal(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

Interruption::~Interruption() {
    if (Caught == this) {
        SetConsoleCtrlHandler(OnConsoleControl, FALSE);
        Caught = nullptr;
    }
    CloseHandle(Signal);
}

void Interruption::Request() {
    IsRequested = true;
    SetEvent(Signal);
}

bool Interruption::Wait(DWORD ms) const {
    return WaitForSingleObject(Signal, ms) == WAIT_TIMEOUT;
}

// A process may start with Ctrl+C ignored, inherited from the one that
// started it (a new process group, a service, a parent that ignores it);
// vl4 wants it in any case.
void Interruption::CatchConsoleControl() {
    Caught = this;
    SetConsoleCtrlHandler(nullptr, FALSE);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}
