#pragma once

#include "files/text_files.h"

#include <chrono>
#include <mutex>
#include <string>

// The trace of a command's serial line, for support: a header, then a line
// for every frame its links send and receive ("  1234.5  COM5  >  01 2B 00 D4"),
// handed to the system the moment it happens, so that a trace that an ended
// program or a crash left behind is whole up to its last line. The links of
// a scan run on threads of their own and share it; each line names its port.
class LinkTrace {
public:
    // Opens the file, keeping what it holds, and writes the header line. A
    // file that holds anything must begin as a trace. False, with what is
    // wrong for the error line ("cannot write: the disk is full").
    bool Open(const std::string& path, const std::string& header, std::string& problem);
    // One line: the milliseconds since the trace began, the port, `what`.
    void Write(const std::string& port, const std::string& what);
    // Whether a line was lost (a full disk); nothing is written after it,
    // so that the trace never has a hole in its middle.
    bool Failed();
    std::string Problem();

private:
    std::mutex Lock;
    AppendingFile File;
    std::chrono::steady_clock::time_point Start;
    bool Lost = false;
};
