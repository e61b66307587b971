#pragma once

#include <windows.h>

// A request to stop what runs: Ctrl+C on vl4's console, a button in the
// window. Work looks at it before each frame and waits on it instead of
// sleeping, so that a request ends a wait at once and a transaction under
// way is finished.
class StopSignal {
public:
    virtual ~StopSignal() = default;
    virtual bool Requested() const = 0;
    // Waits up to ms milliseconds (on the programs' clock); false when a
    // request ended the wait.
    virtual bool Wait(DWORD ms) const = 0;
};
