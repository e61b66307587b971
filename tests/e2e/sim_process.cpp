#include "sim_process.h"

#include <sstream>

namespace {
constexpr DWORD CommandTimeoutMs = 10000;
}

std::string ToolExe() {
    return WindowsPath(VL4CONFIG_EXE);
}
std::string SimExe() {
    return WindowsPath(VL4SIM_EXE);
}

bool SimProcess::Start(const std::string& port, const std::string& options) {
    if (!Process.Start("\"" + SimExe() + "\" " + port + " " + options)) return false;
    std::string line;
    while (ReadLine(line, CommandTimeoutMs))
        if (line.rfind("ready", 0) == 0) return true;
    return false;
}

// Log lines are kept aside, so a command sees only its own answer.
bool SimProcess::ReadLine(std::string& line, DWORD timeoutMs) {
    while (Process.ReadLine(line, timeoutMs)) {
        if (line.rfind("RX ", 0) == 0) {
            Requests.push_back(line.substr(3));
        } else if (line.rfind("TX ", 0) != 0 && line.rfind("SKIP", 0) != 0) {
            return true;
        }
    }
    return false;
}

bool SimProcess::Command(const std::string& command, std::vector<std::string>* output) {
    if (!Process.WriteLine(command)) return false;
    std::string line;
    while (ReadLine(line, CommandTimeoutMs)) {
        if (line == "ok") return true;
        if (line.rfind("error", 0) == 0) return false;
        if (output) output->push_back(line);
    }
    return false;
}

std::map<std::string, std::string> SimProcess::Dump() {
    std::vector<std::string> lines;
    std::map<std::string, std::string> values;
    if (!Command("dump", &lines)) return values;
    for (const std::string& line : lines) {
        size_t space = line.find(' ');
        if (space != std::string::npos) values[line.substr(0, space)] = line.substr(space + 1);
    }
    return values;
}

std::vector<std::string> SimProcess::TakeRequests() {
    // A round trip: the frames of every finished transaction are logged before it.
    Command("help");
    std::vector<std::string> taken;
    taken.swap(Requests);
    return taken;
}

void SimProcess::Drain() {
    std::string line;
    while (ReadLine(line, 0)) {
    }
}

void SimProcess::Stop() {
    if (Process.Running()) {
        Process.WriteLine("quit");
        if (!Process.WaitForExit(5000)) Process.Kill();
    }
}
