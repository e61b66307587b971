#include "tool_driver.h"

#include <commctrl.h>
#include <cstring>

StartedProgram::~StartedProgram() {
    Kill();
    if (Info.hProcess) CloseHandle(Info.hProcess);
    if (Info.hThread) CloseHandle(Info.hThread);
}

bool StartedProgram::Start(const std::string& commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &Info) != FALSE;
}

bool StartedProgram::WaitForExit(DWORD timeoutMs) {
    return Info.hProcess && WaitForSingleObject(Info.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD StartedProgram::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (Info.hProcess) GetExitCodeProcess(Info.hProcess, &code);
    return code;
}

void StartedProgram::Kill() {
    if (ExitCode() == STILL_ACTIVE && Info.hProcess) {
        TerminateProcess(Info.hProcess, 1);
        WaitForSingleObject(Info.hProcess, 5000);
    }
}

namespace {

struct WindowSearch {
    DWORD ProcessId;
    const char* ClassName;
    const char* Title;
    HWND Owner;
    HWND Found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<WindowSearch*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[64] = {}, title[64] = {};
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    if (processId != search.ProcessId || lstrcmpA(className, search.ClassName) != 0 ||
        (search.Title && lstrcmpA(title, search.Title) != 0) ||
        (search.Owner && GetWindow(window, GW_OWNER) != search.Owner) || !IsWindowVisible(window))
        return TRUE;
    search.Found = window;
    return FALSE;
}

} // namespace

HWND FindWindowOf(DWORD processId, const char* className, const char* title, HWND owner) {
    WindowSearch search{processId, className, title, owner, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND WaitForWindow(DWORD processId, const char* className, const char* title, DWORD timeoutMs,
                   HWND owner) {
    HWND found = nullptr;
    Eventually(
        [&] { return (found = FindWindowOf(processId, className, title, owner)) != nullptr; },
        timeoutMs);
    return found;
}

std::string TextOf(HWND window) {
    char text[256] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

bool ToolWindow::Find(DWORD processId, DWORD timeoutMs) {
    Handle = WaitForWindow(processId, ClassName, Title, timeoutMs);
    ProcessId = processId;
    ThreadId = Handle ? GetWindowThreadProcessId(Handle, nullptr) : 0;
    return Handle != nullptr;
}

bool ToolWindow::FindAny(DWORD timeoutMs) {
    HWND window = nullptr;
    if (!Eventually(
            [&] { return (window = FindWindowA(ClassName, Title)) && IsWindowVisible(window); },
            timeoutMs, 10))
        return false;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return Find(processId, 0);
}

bool ToolWindow::BringToFront(DWORD timeoutMs) {
    SetForegroundWindow(Handle);
    return Eventually([this] { return GetForegroundWindow() == Handle; }, timeoutMs, 10);
}

HWND ToolWindow::Control(int id) const {
    return GetDlgItem(Handle, id);
}

std::vector<HWND> ToolWindow::Children() const {
    std::vector<HWND> children;
    for (HWND child = GetWindow(Handle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

HWND ToolWindow::At(int x, int y) const {
    for (HWND child : Children()) {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, Handle, reinterpret_cast<POINT*>(&rect), 2);
        if (rect.left == x && rect.top == y) return child;
    }
    return nullptr;
}

bool ToolWindow::PickPort(const char* port) {
    const LRESULT index = SendMessageA(Control(PortBoxId), CB_FINDSTRINGEXACT,
                                       static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(port));
    if (index == CB_ERR) return false;
    PickItem(PortBoxId, static_cast<int>(index));
    return true;
}

void ToolWindow::PickItem(int listId, int index) {
    HWND list = Control(listId);
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(Handle, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

void ToolWindow::Click(int id) {
    SendMessageA(Control(id), BM_CLICK, 0, 0);
}

void ToolWindow::PostClick(int id) {
    PostMessageA(Handle, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Control(id)));
}

void ToolWindow::Sync() {
    SendMessageA(Handle, WM_NULL, 0, 0);
}

void ToolWindow::SetText(HWND window, const char* text) {
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

int ToolWindow::SelectedIndex(int listId) const {
    return static_cast<int>(SendMessageA(Control(listId), CB_GETCURSEL, 0, 0));
}

std::string ToolWindow::SelectedText(int listId) const {
    return TextOf(Control(listId));
}

void ToolWindow::Close() {
    PostMessageA(Handle, WM_CLOSE, 0, 0);
}

bool ToolDialog::Open(ToolWindow& main, int buttonId, const char* caption, DWORD timeoutMs) {
    main.PostClick(buttonId);
    Handle = WaitForWindow(main.ProcessId, ClassName, caption, timeoutMs, main.Handle);
    ThreadId = Handle ? GetWindowThreadProcessId(Handle, nullptr) : 0;
    return Handle != nullptr;
}

bool ToolDialog::FindOpen(const ToolWindow& main) {
    Handle = FindWindowOf(main.ProcessId, ClassName, nullptr, main.Handle);
    ThreadId = Handle ? GetWindowThreadProcessId(Handle, nullptr) : 0;
    return Handle != nullptr;
}

void ToolDialog::SetItemText(int id, const char* text) {
    SendMessageA(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void ToolDialog::Click(int id) {
    SendMessageA(Item(id), BM_CLICK, 0, 0);
}

void ToolDialog::StartPoint(int point, const char* standard) {
    using namespace CalibrationItems;
    SetItemText(point == 1 ? Standard1 : Standard2, standard);
    Click(point == 1 ? Point1 : Point2);
}

int ToolDialog::ProgressPosition() const {
    return static_cast<int>(SendMessageA(Item(CalibrationItems::Progress), PBM_GETPOS, 0, 0));
}

// The dialog's loop takes a key for the dialog or any of its controls.
void ToolDialog::PressEscape() {
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    HWND target = Handle;
    if (GetGUIThreadInfo(ThreadId, &thread) && thread.hwndFocus &&
        (thread.hwndFocus == Handle || IsChild(Handle, thread.hwndFocus)))
        target = thread.hwndFocus;
    PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageA(target, WM_KEYUP, VK_ESCAPE, 0xC0000001);
}

void ToolDialog::PostTimer(UINT_PTR timerId) {
    PostMessageA(Handle, WM_TIMER, timerId, 0);
}

bool ToolDialog::WaitClosed(DWORD timeoutMs) const {
    return Eventually([this] { return !IsWindow(Handle); }, timeoutMs, 10);
}

int ToolWindow::LiveCount(WPARAM query, DWORD timeoutMs) const {
    static const UINT message = RegisterWindowMessageA("FwLiveCounts");
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutA(Handle, message, query, 0, SMTO_NORMAL, timeoutMs, &count)) return -1;
    return static_cast<int>(count);
}

bool ToolWindow::Responds(DWORD timeoutMs) const {
    DWORD_PTR result;
    return SendMessageTimeoutA(Handle, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

namespace {

BOOL CALLBACK CountWindow(HWND, LPARAM param) {
    ++*reinterpret_cast<int*>(param);
    return TRUE;
}

BOOL CALLBACK CountWithDescendants(HWND window, LPARAM param) {
    CountWindow(window, param);
    EnumChildWindows(window, CountWindow, param);
    return TRUE;
}

} // namespace

int ToolWindow::WindowCount() const {
    int count = 0;
    EnumThreadWindows(ThreadId, CountWithDescendants, reinterpret_cast<LPARAM>(&count));
    return count;
}

HWND ToolWindow::Dialog(const char* title) const {
    return FindWindowOf(ProcessId, "#32770", title, nullptr);
}

bool RecordedDialog::Open(ToolWindow& main, bool verify, DWORD timeoutMs) {
    ProcessId = main.ProcessId;
    PostMessageA(main.Handle, WM_SYSCOMMAND,
                 verify ? RecordedItems::VerificationCommand : RecordedItems::CalibrationCommand,
                 0);
    Handle = WaitForWindow(main.ProcessId, ClassName, nullptr, timeoutMs, main.Handle);
    ThreadId = Handle ? GetWindowThreadProcessId(Handle, nullptr) : 0;
    return Handle != nullptr;
}

void RecordedDialog::Choose(int index) {
    SendMessageA(Item(RecordedItems::Choice), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(Handle, WM_COMMAND, MAKEWPARAM(RecordedItems::Choice, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(RecordedItems::Choice)));
}

void RecordedDialog::PostClick(int id) {
    PostMessageA(Handle, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(id)));
}

bool RecordedDialog::WaitEnabled(int id, DWORD timeoutMs) const {
    return Eventually([&] { return Enabled(id); }, timeoutMs, 20);
}

std::vector<std::string> RecordedDialog::Steps() const {
    std::vector<std::string> lines;
    const HWND list = Item(RecordedItems::Steps);
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::string line(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&line[0]));
        line.resize(std::strlen(line.c_str()));
        lines.push_back(line);
    }
    return lines;
}

HWND RecordedDialog::Owned(DWORD timeoutMs) const {
    return WaitForWindow(ProcessId, ClassName, nullptr, timeoutMs, Handle);
}

namespace {

BOOL CALLBACK FirstEdit(HWND window, LPARAM found) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, "Edit") != 0 || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

} // namespace

// The file name is the dialog's first visible edit field (inside its combo
// box on some systems).
bool RecordedDialog::AnswerFileDialog(const std::string& path, DWORD timeoutMs) const {
    return ::AnswerFileDialog(ProcessId, Handle, path, timeoutMs);
}

bool AnswerFileDialog(DWORD processId, HWND owner, const std::string& path, DWORD timeoutMs) {
    const HWND dialog = WaitForWindow(processId, ToolDialog::ClassName, nullptr, timeoutMs, owner);
    if (!dialog) return false;
    HWND edit = nullptr;
    if (!Eventually(
            [&] {
                EnumChildWindows(dialog, FirstEdit, reinterpret_cast<LPARAM>(&edit));
                return edit != nullptr;
            },
            timeoutMs, 20))
        return false;
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    return Eventually([&] { return !IsWindow(dialog); }, timeoutMs, 20);
}

bool RecordedDialog::AnswerQuestion(int button, std::string& text, DWORD timeoutMs) const {
    const HWND box = Owned(timeoutMs);
    if (!box) return false;
    text = TextOf(GetDlgItem(box, 0xFFFF));
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    return Eventually([&] { return !IsWindow(box); }, timeoutMs, 20);
}