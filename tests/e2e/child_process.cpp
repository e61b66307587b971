#include "child_process.h"

namespace {

// The test's own share of the Ctrl+C it sends. Ignoring Ctrl+C altogether
// instead would pass on to the programs it starts later, under Wine.
BOOL WINAPI IgnoreControl(DWORD) {
    return TRUE;
}

void CloseIfOpen(HANDLE& handle) {
    if (handle) CloseHandle(handle);
    handle = nullptr;
}

} // namespace

ChildProcess::~ChildProcess() {
    Kill();
    CloseIfOpen(Input);
    CloseIfOpen(Output);
    CloseIfOpen(Info.hProcess);
    CloseIfOpen(Info.hThread);
}

bool ChildProcess::Start(const std::string& commandLine, bool ownConsole, HANDLE standardOutput) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE childIn = nullptr, childOut = nullptr;
    if (!CreatePipe(&childIn, &Input, &inherit, 0)) return false;
    if (!CreatePipe(&Output, &childOut, &inherit, 0)) return false;
    SetHandleInformation(Input, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(Output, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childIn;
    startup.hStdOutput = standardOutput ? standardOutput : childOut;
    startup.hStdError = childOut;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    BOOL started =
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE,
                       ownConsole ? CREATE_NEW_CONSOLE : 0, nullptr, nullptr, &startup, &Info);
    CloseHandle(childIn);
    CloseHandle(childOut);
    return started != FALSE;
}

bool ChildProcess::Running() const {
    return Info.hProcess && WaitForSingleObject(Info.hProcess, 0) == WAIT_TIMEOUT;
}

bool ChildProcess::WriteLine(const std::string& line) {
    std::string text = line + "\n";
    DWORD written = 0;
    return WriteFile(Input, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

bool ChildProcess::ReadLine(std::string& line, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        size_t end = Pending.find('\n');
        if (end != std::string::npos) {
            line = Pending.substr(0, end);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            Pending.erase(0, end + 1);
            return true;
        }
        DWORD available = 0;
        if (!PeekNamedPipe(Output, nullptr, 0, nullptr, &available, nullptr)) return false;
        if (available > 0) {
            char buffer[512];
            DWORD got = 0;
            DWORD want = available < sizeof buffer ? available : sizeof buffer;
            if (!ReadFile(Output, buffer, want, &got, nullptr)) return false;
            Pending.append(buffer, got);
            continue;
        }
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(5);
    }
}

// Under Wine a control event reaches a console's processes only from a
// process attached to that console.
bool ChildProcess::SendCtrlC() {
    FreeConsole();
    if (!AttachConsole(Info.dwProcessId)) return false;
    SetConsoleCtrlHandler(IgnoreControl, TRUE);
    const BOOL sent = GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    FreeConsole();
    return sent != FALSE;
}

void ChildProcess::CloseOutput() {
    CloseIfOpen(Output);
}

std::string ChildProcess::AllOutput(DWORD timeoutMs) {
    std::string output, line;
    const DWORD start = GetTickCount();
    for (;;) {
        if (ReadLine(line, 50)) {
            output += line + "\n";
        } else if (!Running()) {
            while (ReadLine(line, 0)) output += line + "\n";
            return output + Pending;
        } else if (GetTickCount() - start >= timeoutMs) {
            return output + Pending;
        }
    }
}

DWORD ChildProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (Info.hProcess) GetExitCodeProcess(Info.hProcess, &code);
    return code;
}

bool ChildProcess::WaitForExit(DWORD timeoutMs) {
    return Info.hProcess && WaitForSingleObject(Info.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

void ChildProcess::Kill() {
    if (Running()) {
        TerminateProcess(Info.hProcess, 1);
        WaitForSingleObject(Info.hProcess, 5000);
    }
}

std::string WindowsPath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}
