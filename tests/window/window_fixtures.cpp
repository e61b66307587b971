#include "window/window_fixtures.h"

#include <cstring>

namespace fwtest {

namespace {
std::string Events;
}

void Note(const std::string& event) {
    Events += (Events.empty() ? "" : " ") + event;
}

std::string TakeEvents() {
    std::string events;
    events.swap(Events);
    return events;
}

int SystemControl::Transfer(void* cursor, int direction) {
    char* field = static_cast<char*>(cursor);
    if (direction == TransferGet) {
        std::memset(field, 0, 8);
        GetWindowTextA(Handle, field, 8);
    } else if (direction == TransferSet) {
        char text[9] = {};
        std::memcpy(text, field, 8);
        SetWindowTextA(Handle, text);
    }
    return 8;
}

TestWindow* MakeMainWindow(Application& app, const std::function<void(TestWindow*)>& build) {
    auto* window = Make<TestWindow>("main", nullptr, "main");
    window->X = 50;
    window->Y = 50;
    window->Width = 300;
    window->Height = 200;
    if (build) build(window);
    app.MainWin = app.CreateWindowObject(window);
    if (!app.MainWin) return nullptr;
    window->Show(SW_SHOWNORMAL);
    WaitUntilActive(window->Handle);
    return window;
}

// Activation reaches a new window through the display server; tests that
// move the focus wait for it, or another window may still hold it.
bool WaitUntilActive(HWND window) {
    SetForegroundWindow(window);
    for (int waited = 0; waited < 5000; waited += 10) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return false;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (GetForegroundWindow() == window && GetActiveWindow() == window) return true;
        Sleep(10);
    }
    return false;
}

} // namespace fwtest
