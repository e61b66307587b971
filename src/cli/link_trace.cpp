#include "cli/link_trace.h"

#include "core/language.h"
#include "core/machine_text.h"

namespace {

constexpr size_t TimeWidth = 9; // "  12345.6": up to 27 hours aligned
// Of a file's first line, more than any trace's header; enough to show what it is.
constexpr size_t LongestFirstLine = 512;

std::string RightAligned(const std::string& text, size_t width) {
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

// "# vl4 1.1.0 trace, ...", as a trace of any version begins.
bool IsTraceHeader(const std::string& line) {
    if (line.compare(0, 6, "# vl4 ") != 0) return false;
    const size_t afterVersion = line.find(' ', 6);
    return afterVersion != std::string::npos && line.compare(afterVersion, 7, " trace,") == 0;
}

} // namespace

bool LinkTrace::Open(const std::string& path, const std::string& header, std::string& problem) {
    Start = std::chrono::steady_clock::now();
    if (!File.Open(path, problem)) {
        problem = Format(_("cannot write: {0}"), {problem});
        return false;
    }
    // Frames appended to a log or a settings file would spoil it for
    // whatever reads it; traces of several commands may share a file.
    std::string line;
    if (!File.IsEmpty() && !File.FirstLine(LongestFirstLine, line)) {
        problem = Format(_("cannot read: {0}"), {File.Problem()});
        File.Close();
        return false;
    }
    if (!line.empty() && !IsTraceHeader(line)) {
        problem = Format(_("not a trace of vl4 (its first line is {0}); give another file"),
                         {ShownFirstLine(line)});
        File.Close();
        return false;
    }
    if (File.Append(header + "\n")) return true;
    problem = Format(_("cannot write: {0}"), {File.Problem()});
    return false;
}

void LinkTrace::Write(const std::string& port, const std::string& what) {
    std::lock_guard<std::mutex> hold(Lock);
    if (Lost) return;
    // Taken under the lock, so that the times stand in order down the file.
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count();
    Lost =
        !File.Append(RightAligned(FixedText(ms, 1), TimeWidth) + "  " + port + "  " + what + "\n");
}

bool LinkTrace::Failed() {
    std::lock_guard<std::mutex> hold(Lock);
    return Lost;
}

std::string LinkTrace::Problem() {
    std::lock_guard<std::mutex> hold(Lock);
    return File.Problem();
}
