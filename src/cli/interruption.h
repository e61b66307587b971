#pragma once

#include <windows.h>

#include <atomic>

// A request to stop, from Ctrl+C or Ctrl+Break on the console. Commands look
// at it before each frame and wait on it instead of sleeping, so that a
// request ends a wait at once and a transaction under way is finished.
class Interruption {
public:
    Interruption();
    ~Interruption();
    Interruption(const Interruption&) = delete;
    Interruption& operator=(const Interruption&) = delete;

    void Request();
    bool Requested() const { return IsRequested; }
    // Waits up to ms milliseconds; false when an interruption ended the wait.
    bool Wait(DWORD ms) const;
    HANDLE Event() const { return Signal; }

    // From now on the console's Ctrl+C and Ctrl+Break request this
    // interruption instead of ending the process.
    void CatchConsoleControl();

private:
    HANDLE Signal;
    std::atomic<bool> IsRequested{false};
};
