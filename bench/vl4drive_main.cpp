// vl4drive: does in the running vl4config.exe what a user would, for the
// demo's screenshot: picks a port (and waits for the read-out), checks
// "Číst", closes the window; tells where the window is.
#include "tool_driver.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr DWORD FindTimeoutMs = 60000;

const char Usage[] = "usage: vl4drive [--desktop NAME] pick PORT | poll | rect | close\n"
                     "  --desktop: the tool runs on that Wine desktop (explorer /desktop=NAME)\n";

// Windows are found only on the caller's own desktop, which may still be
// on its way.
bool UseDesktop(const char* name) {
    const DWORD start = GetTickCount();
    HDESK desktop;
    while (!(desktop = OpenDesktopA(name, 0, FALSE, GENERIC_ALL))) {
        if (GetTickCount() - start > FindTimeoutMs) return false;
        Sleep(50);
    }
    return SetThreadDesktop(desktop);
}

int Drive(ToolWindow& window, const char* command, const char* port) {
    if (!std::strcmp(command, "pick")) {
        if (!window.PickPort(port)) {
            std::fprintf(stderr, "vl4drive: %s is not listed\n", port);
            return 1;
        }
        return window.TextAt(120, 10).empty() ? 1 : 0; // the transmitter's name shows
    }
    if (!std::strcmp(command, "poll")) {
        window.Click(ToolWindow::ReadCheckBoxId);
    } else if (!std::strcmp(command, "rect")) {
        // As ImageMagick's -crop takes it.
        RECT rect;
        GetWindowRect(window.Handle, &rect);
        std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
                    rect.top);
    } else {
        window.Close();
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    int at = 1;
    if (argc > 2 && !std::strcmp(argv[1], "--desktop")) {
        if (!UseDesktop(argv[2])) {
            std::fprintf(stderr, "vl4drive: no desktop %s\n", argv[2]);
            return 1;
        }
        at = 3;
    }
    const int left = argc - at;
    const char* command = left > 0 ? argv[at] : "";
    const bool known = (!std::strcmp(command, "pick") && left == 2) ||
                       ((!std::strcmp(command, "poll") || !std::strcmp(command, "rect") ||
                         !std::strcmp(command, "close")) &&
                        left == 1);
    if (!known) {
        std::fputs(Usage, stderr);
        return 2;
    }
    ToolWindow window;
    if (!window.FindAny(FindTimeoutMs)) {
        std::fputs("vl4drive: no vl4config window\n", stderr);
        return 1;
    }
    return Drive(window, command, left == 2 ? argv[at + 1] : nullptr);
}
