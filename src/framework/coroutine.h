#pragma once

#include <windows.h>

// Work that runs on the window's thread but waits: a fiber of its own that
// gives the thread back to the message loop while it waits, and goes on
// where it stopped when the loop resumes it (a timer, a button). Nothing runs
// beside it: the link, the windows and the timers are used by one fiber at a
// time, so the work needs no locks and a window need not fear it.
class Coroutine {
public:
    using Body = void (*)(void* context);

    Coroutine() = default;
    Coroutine(const Coroutine&) = delete;
    Coroutine& operator=(const Coroutine&) = delete;
    ~Coroutine();

    // Runs the body until it first suspends or ends. False when the system
    // gives no fiber (the body has not run).
    bool Start(Body body, void* context);
    // From the loop: on until the body suspends again or ends.
    void Resume();
    // Started and not yet at its end.
    bool Running() const { return Fiber && !Finished; }
    // Whether the caller is inside the body.
    bool Inside() const { return InBody; }

    // From inside the body: back to whoever started or resumed it.
    void Suspend();

private:
    static void CALLBACK Entry(void* self);
    void SwitchIn();

    void* Fiber = nullptr;
    void* Caller = nullptr;
    bool Finished = true;
    bool InBody = false;
    Body Work = nullptr;
    void* Context = nullptr;
};
