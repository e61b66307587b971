#include "cli/link_trace.h"

#include "core/machine_text.h"

namespace {

constexpr size_t TimeWidth = 9; // "  12345.6": up to 27 hours aligned

std::string RightAligned(const std::string& text, size_t width) {
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

} // namespace

bool LinkTrace::Open(const std::string& path, const std::string& header, std::string& problem) {
    Start = std::chrono::steady_clock::now();
    if (!File.Open(path, problem)) return false;
    if (File.Append(header + "\n")) return true;
    problem = File.Problem();
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
