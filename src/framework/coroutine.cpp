#include "framework/coroutine.h"

namespace {

// The window's thread as a fiber: made once, the first time work of its own
// runs, and kept for the program's life.
void* ThreadFiber() {
    static void* fiber = nullptr;
    if (!fiber) fiber = ConvertThreadToFiber(nullptr);
    return fiber;
}

} // namespace

Coroutine::~Coroutine() {
    if (Fiber) DeleteFiber(Fiber);
}

bool Coroutine::Start(Body body, void* context) {
    if (Running()) return false;
    if (Fiber) DeleteFiber(Fiber);
    Work = body;
    Context = context;
    Finished = false;
    Caller = ThreadFiber();
    Fiber = Caller ? CreateFiber(0, Entry, this) : nullptr;
    if (!Fiber) {
        Finished = true;
        return false;
    }
    SwitchIn();
    return true;
}

void Coroutine::Resume() {
    if (!Running() || Inside()) return;
    SwitchIn();
}

void Coroutine::Suspend() {
    if (!Inside()) return;
    InBody = false;
    SwitchToFiber(Caller);
}

void Coroutine::SwitchIn() {
    InBody = true;
    SwitchToFiber(Fiber);
}

// A fiber must never return from its start: it ends by handing the thread
// back for good.
void CALLBACK Coroutine::Entry(void* self) {
    Coroutine& coroutine = *static_cast<Coroutine*>(self);
    coroutine.Work(coroutine.Context);
    coroutine.Finished = true;
    coroutine.InBody = false;
    SwitchToFiber(coroutine.Caller);
}
