// vl4drive: does in the running vl4config.exe what a user would, for the
// demo's screenshots: picks a port (and waits for the read-out), checks
// "Číst", opens a dialog (and starts a calibration point), leaves it with
// Escape, closes the window; tells where the window and its dialog are.
#include "tool_driver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr DWORD FindTimeoutMs = 60000;

const char Usage[] =
    "usage: vl4drive [--desktop NAME] pick PORT | poll | dialog probe | dialog calibration "
    "STANDARD | recorded RECORD settling|result | escape | rect | close\n"
    "  --desktop: the tool runs on that Wine desktop (explorer /desktop=NAME)\n"
    "  dialog calibration: opens it and samples point 1 at STANDARD (returns once it runs)\n"
    "  recorded: a one-point calibration with record (NIST 6.86 at 25 C, the record in RECORD),\n"
    "    returns while its point settles, or once its result waits for Zapsat\n";

// Windows are found only on the caller's own desktop, which may still be
// on its way.
bool UseDesktop(const char* name) {
    HDESK desktop = nullptr;
    return Eventually(
               [&] { return (desktop = OpenDesktopA(name, 0, FALSE, GENERIC_ALL)) != nullptr; },
               FindTimeoutMs, 50) &&
           SetThreadDesktop(desktop);
}

// The tool's window, with its dialog when one shows, as ImageMagick's -crop
// takes it.
void PrintRect(const ToolWindow& window) {
    RECT rect;
    GetWindowRect(window.Handle, &rect);
    ToolDialog dialog;
    if (dialog.FindOpen(window)) {
        RECT inDialog;
        GetWindowRect(dialog.Handle, &inDialog);
        UnionRect(&rect, &rect, &inDialog);
    }
    std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
                rect.top);
}

int OpenDialog(ToolWindow& window, const char* which, const char* standard) {
    const bool calibration = !std::strcmp(which, "calibration");
    ToolDialog dialog;
    if (!dialog.Open(
            window, calibration ? ToolWindow::CalibrationButtonId : ToolWindow::ProbeButtonId,
            calibration ? ToolDialog::CalibrationCaption : ToolDialog::ProbeCaption, FindTimeoutMs))
        return 1;
    if (!calibration) return 0;
    dialog.StartPoint(1, standard);
    return Eventually([&] { return dialog.ProgressPosition() != 0; }, FindTimeoutMs, 50) ? 0 : 1;
}

// The calibration with a record from the system menu, one point in the NIST
// buffer 6.86, as far as the screenshot wants it.
int Recorded(ToolWindow& window, const char* record, const char* until) {
    using namespace RecordedItems;
    RecordedDialog dialog;
    if (!dialog.Open(window, false, FindTimeoutMs)) return 1;
    dialog.Choose(1);
    dialog.Click(OnePoint);
    dialog.SetItemText(Standard1, "6.86");
    dialog.SetItemText(Temperature, "25");
    dialog.SetItemText(Technician, "J. Nov\xE1k");
    dialog.SetItemText(Tag, "AT-101");
    dialog.PostClick(Next);
    if (!dialog.AnswerFileDialog(record, FindTimeoutMs)) return 1;
    if (!dialog.WaitEnabled(Interrupt, FindTimeoutMs) || !dialog.WaitEnabled(Next, FindTimeoutMs))
        return 1;
    dialog.PostClick(Next);
    if (!std::strcmp(until, "result")) return dialog.WaitEnabled(Write, 5 * FindTimeoutMs) ? 0 : 1;
    return Eventually([&] { return std::atoi(dialog.ItemText(Seconds).c_str()) >= 12; },
                      FindTimeoutMs, 100)
               ? 0
               : 1;
}

int Escape(const ToolWindow& window) {
    ToolDialog dialog;
    if (!dialog.FindOpen(window)) return 1;
    dialog.PressEscape();
    return dialog.WaitClosed(FindTimeoutMs) ? 0 : 1;
}

int Drive(ToolWindow& window, const char* command, const char* first, const char* second) {
    if (!std::strcmp(command, "pick")) {
        const char* port = first;
        if (!window.PickPort(port)) {
            std::fprintf(stderr, "vl4drive: %s is not listed\n", port);
            return 1;
        }
        return window.TextAt(120, 10).empty() ? 1 : 0; // the transmitter's name shows
    }
    if (!std::strcmp(command, "dialog")) return OpenDialog(window, first, second);
    if (!std::strcmp(command, "escape")) return Escape(window);
    if (!std::strcmp(command, "recorded")) return Recorded(window, first, second);
    if (!std::strcmp(command, "poll")) {
        window.Click(ToolWindow::ReadCheckBoxId);
    } else if (!std::strcmp(command, "rect")) {
        PrintRect(window);
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
    auto is = [&](const char* name, int words) {
        return !std::strcmp(command, name) && left == words;
    };
    const bool known = is("pick", 2) || is("poll", 1) || is("escape", 1) || is("rect", 1) ||
                       is("close", 1) || (is("dialog", 2) && !std::strcmp(argv[at + 1], "probe")) ||
                       (is("dialog", 3) && !std::strcmp(argv[at + 1], "calibration")) ||
                       is("recorded", 3);
    if (!known) {
        std::fputs(Usage, stderr);
        return 2;
    }
    ToolWindow window;
    if (!window.FindAny(FindTimeoutMs)) {
        std::fputs("vl4drive: no vl4config window\n", stderr);
        return 1;
    }
    return Drive(window, command, left > 1 ? argv[at + 1] : nullptr,
                 left > 2 ? argv[at + 2] : nullptr);
}
