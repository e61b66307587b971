// vl4clibench: times vl4's commands in this process against the simulated
// transmitter, paced at 9600 baud, served on the cable from this process:
// a scan of every registered port (most of them silent), a save, a load that
// changes one value, and a log every 0.1 s.
#include "cli/command_line.h"
#include "wire_time.h"

#include "sim/sim_server.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Runs = 9;
constexpr int LogSamples = 50;
constexpr double LogPeriodMs = 100;
constexpr double IdentificationTimeoutMs = 200;

struct Discarded : TextOutput {
    void Write(const std::string& text) override { Text += text; }
    std::string Text;
};
struct NoInput : LineInput {
    InputEvent WaitForLine(const Interruption&, std::string&) override { return InputEvent::Line; }
};

// Runs vl4 with the words; answers the milliseconds it took.
double TimeVl4(const std::vector<std::string>& words, std::string* output = nullptr) {
    Discarded out, err;
    NoInput in;
    Interruption stop;
    CommandContext context = {out, err, in, stop};
    const Clock::time_point start = Clock::now();
    const int status = RunVl4(context, words);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (status != ExitDone)
        std::fprintf(stderr, "vl4bench: vl4 %s: %s", words[0].c_str(), err.Text.c_str());
    if (output) *output = out.Text;
    return ms;
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// Request and reply of a read of a value of `size` bytes, and of a write.
double Transactions(std::initializer_list<int> readSizes) {
    double ms = 0;
    for (int size : readSizes) ms += ReadWireMs(size);
    return ms;
}
double WriteWireMs(int size) {
    return WireMs(RequestBytes + size + ReplyOverhead + size);
}

// The identification, then the reads of a save: firmware, production number,
// probe type, damping, and six 4-byte values.
double SaveWireMs() {
    return Transactions({IdentificationSize, 2, 4, 1, 1, 4, 4, 4, 4, 4, 4});
}
// The identification, the production number (is the file from this unit?),
// the eight values of the file, one byte written, the five settings read
// back (the calibration is neither written nor read back without
// --with-calibration).
double LoadWireMs() {
    return Transactions({IdentificationSize, 4, 1, 1, 4, 4, 4, 4, 4, 4}) + WriteWireMs(1) +
           Transactions({1, 1, 4, 4, 4});
}

void Row(const char* what, const std::vector<double>& ms, double reference, const char* against) {
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    std::printf("  %-22s median %8.1f ms (min %7.1f, max %7.1f); %s %6.1f ms: %.2fx\n", what,
                Median(ms), sorted.front(), sorted.back(), against, reference,
                Median(ms) / reference);
}

// The times between the samples of a log, from its CSV time stamps (ms).
std::vector<double> Intervals(const std::string& csv) {
    std::vector<double> stamps, gaps;
    for (size_t at = csv.find('\n'); at != std::string::npos && at + 24 < csv.size();
         at = csv.find('\n', at + 1)) {
        const std::string time = csv.substr(at + 12, 12); // 14:03:05.123
        stamps.push_back(std::atoi(time.c_str()) * 3600000.0 +
                         std::atoi(time.c_str() + 3) * 60000.0 +
                         std::atof(time.c_str() + 6) * 1000.0);
    }
    for (size_t i = 1; i < stamps.size(); ++i) gaps.push_back(stamps[i] - stamps[i - 1]);
    return gaps;
}

} // namespace

int main() {
    SimServer sim;
    if (!sim.Start("COM6", true)) {
        std::fputs("vl4clibench: cannot serve COM6\n", stderr);
        return 1;
    }
    std::printf(
        "vl4 commands in this process against the simulator paced at 9600 baud, %d runs each\n",
        Runs);
    std::vector<double> scan, save, load, log;
    std::string ports;
    TimeVl4({"ports"}, &ports);
    for (int run = 0; run < Runs; ++run) {
        scan.push_back(TimeVl4({"scan"}));
        TimeVl4({"set", "COM5", "damping=5"});
        save.push_back(TimeVl4({"save", "COM5", "vl4clibench.txt"}));
        // The transmitter's damping differs from the file's: the load writes that one value.
        TimeVl4({"set", "COM5", "damping=6"});
        load.push_back(TimeVl4({"load", "COM5", "vl4clibench.txt"}));
    }
    int registered = 0;
    for (char c : ports) registered += c == '\n';
    Row("scan", scan, IdentificationTimeoutMs, "identification time-out");
    std::printf("  %24s(%d registered ports, one transmitter)\n", "", registered);
    Row("save", save, SaveWireMs(), "its wire time");
    Row("save", save, ReadoutWireMs(), "a read-out's wire time");
    Row("load, one value differs", load, LoadWireMs(), "its wire time");
    Row("load, one value differs", load, 2 * ReadoutWireMs() + WriteWireMs(1),
        "two read-outs and a write");
    std::string csv;
    const double logMs =
        TimeVl4({"log", "COM5", "--every", "0.1", "--count", std::to_string(LogSamples)}, &csv);
    const std::vector<double> gaps = Intervals(csv);
    std::printf(
        "  log --every 0.1: %d samples in %.0f ms (%.0f at the pace); interval median %.0f ms, "
        "max %.0f ms; a sample's three reads: %.1f ms on the wire\n",
        LogSamples, logMs, (LogSamples - 1) * LogPeriodMs, gaps.empty() ? 0 : Median(gaps),
        gaps.empty() ? 0 : *std::max_element(gaps.begin(), gaps.end()), 3 * ReadWireMs(4));
    std::remove("vl4clibench.txt");
    return 0;
}
