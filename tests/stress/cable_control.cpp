#include "stress/cable_control.h"

#include "e2e/child_process.h"
#include "tool_driver.h"

#include <windows.h>

#include <fstream>

namespace {

constexpr DWORD ScriptTimeoutMs = 30000;

std::string InEnv(const char* name) {
    return std::string(VL4_BUILD_DIR) + "/env/" + name;
}
const std::string Done = InEnv("cable-script.rc");
const std::string Trigger = InEnv("cable-trigger");

bool WaitForFile(const std::string& path) {
    const std::string file = WindowsPath(path);
    return Eventually([&] { return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES; },
                      ScriptTimeoutMs);
}

} // namespace

bool CableControl::Arm() {
    DeleteFileA(WindowsPath(Trigger).c_str());
    DeleteFileA(WindowsPath(Trigger + ".ready").c_str());
    IsPlugged = false; // for certain once the script has run
    return Start("unplug COM5 " + Trigger) && WaitForFile(Trigger + ".ready");
}

bool CableControl::Fire() {
    HANDLE file = CreateFileA(WindowsPath(Trigger).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

// The exit code goes to the marker through a temporary file, so that the
// marker appears whole.
bool CableControl::Finish() {
    if (!WaitForFile(Done)) return false;
    int rc = -1;
    std::ifstream(WindowsPath(Done)) >> rc;
    return rc == 0;
}

bool CableControl::Plug() {
    if (!Start("plug COM5 COM6") || !Finish()) return false;
    IsPlugged = true;
    return true;
}

bool CableControl::Start(const std::string& arguments) {
    DeleteFileA(WindowsPath(Done).c_str());
    std::string command = "/bin/sh -c \"VL4_BUILD=" + std::string(VL4_BUILD_DIR) + " " +
                          VL4_SOURCE_DIR + "/scripts/lib/cable " + arguments +
                          " >/dev/null 2>&1; echo $? >" + Done + ".tmp; mv " + Done + ".tmp " +
                          Done + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}
