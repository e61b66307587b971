#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A program started with pipes on its standard input and output, for tests
// that drive the real executables.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // With ownConsole the program gets a console of its own (its standard
    // handles stay the pipes), which SendCtrlC reaches without the test's.
    // With standardOutput its standard output goes there instead of the pipe
    // (standard error stays the pipe).
    bool Start(const std::string& commandLine, bool ownConsole = false,
               HANDLE standardOutput = nullptr);
    // Ctrl+C on the program's console, as a person presses it.
    bool SendCtrlC();
    // The reading end of the output pipe goes, as when a program reading
    // the output (head) ends.
    void CloseOutput();
    bool Running() const;
    bool WriteLine(const std::string& line);
    // One line of output without its line end; false when none came in time
    // or the program ended.
    bool ReadLine(std::string& line, DWORD timeoutMs);
    bool WaitForExit(DWORD timeoutMs);
    // Everything the program writes until it ends; ExitCode is then its status.
    std::string AllOutput(DWORD timeoutMs);
    DWORD ExitCode() const;
    void Kill();
    DWORD ProcessId() const { return Info.dwProcessId; }
    HANDLE Process() const { return Info.hProcess; }

private:
    PROCESS_INFORMATION Info = {};
    HANDLE Input = nullptr;
    HANDLE Output = nullptr;
    std::string Pending;
};

// A Windows path for a file the build names with its Unix path.
std::string WindowsPath(const std::string& unixPath);
