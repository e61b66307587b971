#pragma once

#include "core/stop_signal.h"

#include <windows.h>

#include <atomic>

// A request to stop, from Ctrl+C or Ctrl+Break on the console, or from the
// console window closing, the user logging off or the system shutting down.
// Commands look at it before each frame and wait on it instead of sleeping,
// so that a request ends a wait at once and a transaction under way is
// finished.
class Interruption : public StopSignal {
public:
    Interruption();
    ~Interruption();
    Interruption(const Interruption&) = delete;
    Interruption& operator=(const Interruption&) = delete;

    void Request();
    bool Requested() const override { return IsRequested; }
    // Waits up to ms milliseconds; false when an interruption ended the wait.
    bool Wait(DWORD ms) const override;
    HANDLE Event() const { return Signal; }

    // From now on the console's Ctrl+C and Ctrl+Break request this
    // interruption instead of ending the process; so do a closing console,
    // a log-off and a shut-down, which end the process once their handler
    // returns: it holds them until Finished, or for the seconds Windows grants.
    void CatchConsoleControl();
    // The command has ended and put back what it changed.
    void Finished();

    // How long a closing console waits for Finished; Windows ends the
    // process after about five seconds in any case.
    static constexpr DWORD GraceMs = 4500;

    // The handler the console calls, on a thread of its own.
    static BOOL WINAPI OnConsoleControl(DWORD event);

private:
    HANDLE Signal;
    HANDLE Done;
    std::atomic<bool> IsRequested{false};
};
