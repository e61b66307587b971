#pragma once

#include "child_process.h"

#include <map>
#include <string>
#include <vector>

// vl4sim.exe on the simulator's end of a cable, steered through its command
// language. Its log lines (RX/TX frames) are collected as they pass.
class SimProcess {
public:
    // Starts the simulator on the port and waits until it serves.
    bool Start(const std::string& port, const std::string& options = "");
    // Runs one command; answers whether it ended with "ok". Its other output
    // lines (without log lines) go to output when given.
    bool Command(const std::string& command, std::vector<std::string>* output = nullptr);
    // Every stored value by name, as "dump" prints it.
    std::map<std::string, std::string> Dump();
    // The frames received since the last call, as their hex text ("01 2B 00 D4").
    std::vector<std::string> TakeRequests();
    // Reads what the simulator has logged so far without waiting: a test
    // that waits long must keep its output pipe from filling, or the
    // simulator stops answering.
    void Drain();
    void Stop();

private:
    bool ReadLine(std::string& line, DWORD timeoutMs);

    ChildProcess Process;
    std::vector<std::string> Requests;
};

// Where the build put the programs under test (Windows paths).
std::string ToolExe();
std::string SimExe();
