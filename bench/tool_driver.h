#pragma once

#include <windows.h>

#include <string>
#include <vector>

// vl4config.exe driven from another process the way a user drives it: the
// port picked from the list, buttons clicked, numbers typed, fields read.
// Used by the end-to-end tests, the benchmark and the demo's screenshot.

// A program started by CreateProcess, ended (if still running) with it.
class StartedProgram {
public:
    StartedProgram() = default;
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;
    ~StartedProgram();

    bool Start(const std::string& commandLine);
    bool WaitForExit(DWORD timeoutMs);
    // The exit code, STILL_ACTIVE while it runs.
    DWORD ExitCode() const;
    void Kill();

    PROCESS_INFORMATION Info = {};
};

// The first visible top-level window of the process with that class and
// title, owned by owner; a null title or owner matches any. Null when there
// is none now, or none shows up within the time-out.
HWND FindWindowOf(DWORD processId, const char* className, const char* title, HWND owner = nullptr);
HWND WaitForWindow(DWORD processId, const char* className, const char* title, DWORD timeoutMs,
                   HWND owner = nullptr);

// A window's text as its own procedure answers WM_GETTEXT.
std::string TextOf(HWND window);

// Polls until the condition holds; false when it still does not after
// timeoutMs.
template <class Condition> bool Eventually(Condition condition, DWORD timeoutMs, DWORD pollMs = 1) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(pollMs);
    }
    return true;
}

// Where the main window's value fields sit in its client area.
struct Place {
    int X, Y;
};
namespace MainFields {
constexpr Place Device{120, 10}, Firmware{120, 35}, ProductionNumber{120, 60}, Output{120, 85},
    Type{120, 110}, Date{120, 135};
constexpr Place Offset{100, 220}, Sensitivity{100, 250}, Depth{100, 280}, LowerRange{100, 310},
    UpperRange{100, 340};
constexpr Place Voltage{380, 190}, Value{380, 215}, Ratio{380, 240};
} // namespace MainFields

// The tool's main window.
class ToolWindow {
public:
    static constexpr char ClassName[] = "FwWindow";
    static constexpr char Title[] = "VL4 config";
    static constexpr int PortBoxId = 101;
    static constexpr int ProbeButtonId = 104;
    static constexpr int CalibrationButtonId = 105;
    static constexpr int DampingListId = 106;
    static constexpr int WriteOffsetId = 107;
    static constexpr int ReadCheckBoxId = 112;
    // What LiveCount asks for ("FwLiveCounts").
    static constexpr WPARAM LiveThunks = 0;
    static constexpr WPARAM LiveWindowObjects = 1;

    // Finds the main window of the process.
    bool Find(DWORD processId, DWORD timeoutMs);
    // Finds the main window of whichever process shows one.
    bool FindAny(DWORD timeoutMs);

    HWND Control(int id) const;
    // The child whose top left corner sits at x, y of the client area: the
    // value fields have no IDs of their own.
    HWND At(int x, int y) const;
    std::string TextAt(int x, int y) const { return TextOf(At(x, y)); }
    std::string TextAt(Place place) const { return TextAt(place.X, place.Y); }
    std::vector<HWND> Children() const;

    // Selects the port in the list and tells the window, as a pick with the
    // mouse does; returns when the window has handled it (connected and
    // read everything, or failed to). False when the port is not listed.
    bool PickPort(const char* port);
    // Selects item index of a list and tells the window.
    void PickItem(int listId, int index);
    // Returns when the window has handled the click.
    void Click(int id);
    // Tells the window of the click and returns at once: for the buttons
    // that run a modal dialog.
    void PostClick(int id);
    // Returns when the window's thread takes messages again: after what it
    // was doing when asked, or inside a modal loop it runs.
    void Sync();
    void SetText(HWND window, const char* text);
    // Makes the tool the foreground window and waits until it is: focus
    // changes inside it take effect only then.
    bool BringToFront(DWORD timeoutMs = 5000);
    int SelectedIndex(int listId) const;
    std::string SelectedText(int listId) const;
    void Close();

    // A count the tool's framework keeps for the whole process (LiveThunks,
    // LiveWindowObjects); -1 when the window does not answer within the time-out.
    int LiveCount(WPARAM query, DWORD timeoutMs) const;
    // Whether the window handles a sent message within the time-out.
    bool Responds(DWORD timeoutMs) const;
    // The windows of the tool's thread: its top-level windows and all their
    // descendants.
    int WindowCount() const;
    // The first dialog window (class "#32770") of the tool's thread whose
    // caption is title, or any when title is null; null when none is open.
    HWND Dialog(const char* title = nullptr) const;

    HWND Handle = nullptr;
    DWORD ProcessId = 0;
    DWORD ThreadId = 0;
};

// The items of the dialogs' templates.
namespace ProbeItems {
constexpr int TypeList = 101;
}
namespace CalibrationItems {
constexpr int ProbeName = 101, Voltage = 102, SinglePoint = 103, Standard1 = 104, Value1 = 105,
              Voltage1 = 106, Point1 = 107, Standard2 = 108, Value2 = 109, Voltage2 = 110,
              Point2 = 111, Progress = 112;
constexpr UINT_PTR SampleTimer = 2;
} // namespace CalibrationItems

// A dialog the tool shows (class "#32770"), driven through the items of its
// template.
class ToolDialog {
public:
    static constexpr char ClassName[] = "#32770";
    static constexpr char ProbeCaption[] = "Sonda";
    static constexpr char CalibrationCaption[] = "Kalibrace";

    // Clicks the main window's button (without waiting for the click to end)
    // and waits for the dialog with that caption.
    bool Open(ToolWindow& main, int buttonId, const char* caption, DWORD timeoutMs);
    // The dialog the main window shows now, if any.
    bool FindOpen(const ToolWindow& main);

    HWND Item(int id) const { return GetDlgItem(Handle, id); }
    std::string ItemText(int id) const { return TextOf(Item(id)); }
    void SetItemText(int id, const char* text);
    // Returns when the dialog has handled the click.
    void Click(int id);
    // Types the standard of the point (1 or 2) and starts its sampling.
    void StartPoint(int point, const char* standard);
    int ProgressPosition() const;
    // Escape as the keyboard gives it: a key press queued for the control
    // with the focus, which the dialog's loop turns into a cancel.
    void PressEscape();
    // A tick of the dialog's own timer, queued.
    void PostTimer(UINT_PTR timerId);
    bool WaitClosed(DWORD timeoutMs) const;

    HWND Handle = nullptr;
    DWORD ThreadId = 0;
};

// Types the path into the file dialog (Save or Open) that owner shows and
// confirms it; false when none shows or it does not close.
bool AnswerFileDialog(DWORD processId, HWND owner, const std::string& path, DWORD timeoutMs);

// The calibration with a record, from the main window's system menu.
namespace RecordedItems {
constexpr int Unit = 201, Probe = 202, Held = 203, Choice = 210, OnePoint = 211, KeepSlope = 212,
              Standard1 = 213, Standard2 = 214, TableButton = 215, Temperature = 217,
              Pressure = 218, Altitude = 219, Salinity = 220, WaterPh = 221, Check = 222,
              Technician = 223, Tag = 224, DueDays = 225, Tolerance = 226, Grab = 227, Drift = 231,
              Spread = 232, Seconds = 233, Found = 234, Settled = 235, Progress = 236, Steps = 240,
              Status = 241, Next = 250, Write = 251, Interrupt = 252, Certificate = 253;
constexpr WPARAM CalibrationCommand = 0x0110, VerificationCommand = 0x0120, HistoryCommand = 0x0130;
} // namespace RecordedItems

class RecordedDialog : public ToolDialog {
public:
    // Picks the command from the main window's system menu and waits for
    // the dialog.
    bool Open(ToolWindow& main, bool verify, DWORD timeoutMs);
    // Picks entry index of the list of standards, as the mouse does.
    void Choose(int index);
    // Tells the dialog of the click and returns at once: the click may
    // open a modal window (the Save dialog, a question).
    void PostClick(int id);
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    bool WaitEnabled(int id, DWORD timeoutMs) const;
    // The lines the dialog listed, as the tool's code page gives them.
    std::vector<std::string> Steps() const;
    // The first window of the class (a "#32770" dialog) the dialog owns:
    // a Save or Open dialog, a question.
    HWND Owned(DWORD timeoutMs) const;
    // Types the path into a file dialog the dialog shows and confirms it.
    bool AnswerFileDialog(const std::string& path, DWORD timeoutMs) const;
    // Clicks the button (IDYES, IDNO) of the question the dialog asks.
    bool AnswerQuestion(int button, std::string& text, DWORD timeoutMs) const;
    DWORD ProcessId = 0;
};