// vl4clibench: times vl4's commands in this process against the simulated
// transmitter, paced at 9600 baud, served on the cable from this process:
// a scan of every registered port (most of them silent), a save, a load that
// changes one value, a log every 0.1 s, and calibration points on a probe
// stable from the start and on one that settles after the move.
#include "cli/command_line.h"
#include "wire_time.h"

#include "calibration/record_file.h"
#include "core/number_text.h"
#include "core/settling_window.h"
#include "sim/sim_console.h"
#include "sim/sim_server.h"
#include "stress/cable_control.h"
#include "tool_driver.h"
#include "vl4_console.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Runs = 9;
constexpr int LogSamples = 50;
constexpr double LogPeriodMs = 100;
constexpr double IdentificationTimeoutMs = 200;

struct NoInput : LineInput {
    InputEvent WaitForLine(const Interruption&, std::string&) override { return InputEvent::Line; }
};

// Runs vl4 with the words; answers the milliseconds it took. `seen`, when
// given, sees each piece of standard output as it is written.
double TimeVl4(const std::vector<std::string>& words, std::string* output = nullptr,
               std::function<void(const std::string&)> seen = nullptr) {
    CapturedOutput out, err;
    out.Seen = std::move(seen);
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

// A log of LogSamples every 0.1 s, with the options given: its time against
// the pace and the intervals between its samples.
void LogPaceRow(const char* what, const std::vector<std::string>& options) {
    std::vector<std::string> words = {"log", "COM5",    "--every",
                                      "0.1", "--count", std::to_string(LogSamples)};
    words.insert(words.end(), options.begin(), options.end());
    std::string csv;
    const double logMs = TimeVl4(words, &csv);
    const std::vector<double> gaps = Intervals(csv);
    std::printf("  %s: %d samples in %.0f ms (%.0f at the pace); interval median %.0f ms, "
                "max %.0f ms; a sample's three reads: %.1f ms on the wire\n",
                what, LogSamples, logMs, (LogSamples - 1) * LogPeriodMs,
                gaps.empty() ? 0 : Median(gaps),
                gaps.empty() ? 0 : *std::max_element(gaps.begin(), gaps.end()), 3 * ReadWireMs(4));
}

constexpr int ReconnectRuns = 7;
constexpr double RetryMs = 2000;
constexpr DWORD GuardMs = 60000; // against a hang, not a measure

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// A log every 0.1 s whose cable is pulled and put back ReconnectRuns times,
// out for a time that falls at another point of the log's 2 s retry period
// each time: from the port's return (the cable back and the simulator
// serving it) to the transmitter's reply to the first whole sample after.
void ReconnectRow(SimServer& sim) {
    std::mutex lock;
    Clock::time_point lastSample;
    bool ratioAsked = false;
    sim.WithModel([&](TransmitterModel& m) {
        m.Log = [&](const std::string& line) {
            std::lock_guard<std::mutex> hold(lock);
            if (ratioAsked && line.compare(0, 3, "TX ") == 0) lastSample = Clock::now();
            ratioAsked = line.compare(0, 11, "RX 01 26 00") == 0;
        };
    });
    const auto sampledSince = [&](Clock::time_point since) {
        std::lock_guard<std::mutex> hold(lock);
        return lastSample > since ? lastSample : Clock::time_point();
    };
    CapturedOutput out, err;
    NoInput in;
    Interruption stop;
    CommandContext context = {out, err, in, stop};
    std::thread log([&] { RunVl4(context, {"log", "COM5", "--every", "0.1"}); });
    CableControl cable;
    std::vector<double> ms;
    const auto sampleAfter = [&](Clock::time_point since) {
        return Eventually([&] { return sampledSince(since) != Clock::time_point(); }, GuardMs);
    };
    for (int run = 0; run < ReconnectRuns; ++run) {
        if (!sampleAfter(Clock::now()) || !cable.Unplug()) break;
        Sleep(static_cast<DWORD>(1000 + run * RetryMs / ReconnectRuns));
        if (!cable.Plug()) break;
        sim.Stop();
        if (!sim.Start("COM6", true)) break;
        const Clock::time_point back = Clock::now();
        if (!sampleAfter(back)) break;
        ms.push_back(std::chrono::duration<double, std::milli>(sampledSince(back) - back).count());
    }
    stop.Request();
    log.join();
    sim.WithModel([](TransmitterModel& m) { m.Log = nullptr; });
    if (ms.size() < ReconnectRuns) {
        std::fputs("vl4clibench: the cable could not be pulled and put back\n", stderr);
        return;
    }
    // The bound: a whole retry period, then the identification, the
    // production number and the sample's three reads on the wire.
    const double bound = RetryMs + ReadWireMs(IdentificationSize) + 4 * ReadWireMs(4);
    Row("log, port back to sample", ms, bound, "2 s retry + its wire time");
    std::printf("  %24s(%d pulls, %d reconnects; %.1f ms of it on the wire)\n", "", ReconnectRuns,
                Count(err.Text, "note: reconnected to COM5"), bound - RetryMs);
}

constexpr int CalibrationRuns = 3;
constexpr double ReadingSeconds = 0.3;
// The bench's electrode after the move: 10 mV + 30 mV e^(-t/8 s).
constexpr double SettledMv = 10, ExcessMv = 30, TauSeconds = 8;

void Steer(SimServer& sim, const std::string& command) {
    std::vector<std::string> out;
    sim.WithModel([&](TransmitterModel& m) { return RunSimCommand(m, command, out); });
}

// The first reading at which the window of the ideal electrode's readings,
// one every 300 ms from the move, meets the usual limits: the floor of a
// settling point.
double SettlingFloorSeconds() {
    SettlingWindow window;
    for (int k = 0;; ++k) {
        const double t = k * ReadingSeconds;
        window.Add(
            {t, static_cast<float>(SettledMv + ExcessMv * std::exp(-t / TauSeconds)), false, 0.0f});
        if (window.Stable(UsualSettlingLimits)) return t;
    }
}

// One-point calibrations whose probe is moved the moment the point begins:
// a pH probe in pH 7, or an oxygen probe into air; answers the seconds from
// the point's start to its acceptance, as recorded.
std::vector<double> PointSeconds(SimServer& sim, bool settling, bool oxygen = false) {
    std::vector<double> seconds;
    const std::string record = "vl4clibench-record.csv";
    if (oxygen)
        for (const char* setting : {"set probe 3", "set sensitivity 9", "set solution air"})
            Steer(sim, setting);
    for (int run = 0; run < CalibrationRuns; ++run) {
        std::remove(record.c_str());
        Steer(sim, "set probe-offset " + std::string(settling ? "10" : "0"));
        Steer(sim, settling ? "set settle-mv 30" : "set settle-mv previous");
        Steer(sim, settling ? "set settle-tau 8" : "set settle-tau 0");
        Steer(sim, "set offset 0");
        std::vector<std::string> words = {"calibrate", "COM5", "--yes", "--record", record};
        if (oxygen)
            words.insert(words.end(), {"--air", "--accept-unusual"});
        else
            words.insert(words.end(), {"--standard", "7"});
        TimeVl4(words, nullptr, [&](const std::string& text) {
            if (text.compare(0, 8, "point 1:") == 0) Steer(sim, "move");
        });
        RecordBook book;
        RecordShape shape;
        std::string problem;
        double settle = 0;
        if (ReadRecordFile(record, book, shape, problem) && !book.Entries.empty())
            settle = book.Entries.back().Record.Point[0].SettleSeconds;
        seconds.push_back(settle);
    }
    std::remove(record.c_str());
    for (const char* setting : {"set settle-tau 0", "set probe-offset 0", "set probe 0",
                                "set sensitivity -59.16", "set offset 0", "set solution 7"})
        Steer(sim, setting);
    return seconds;
}

void CalibrationRows(SimServer& sim) {
    // 66 readings: the first at the point's start, the last 65 periods later.
    const double stableFloor = (SettlingWindow::Size - 1) * ReadingSeconds;
    const auto ms = [](std::vector<double> seconds) {
        for (double& s : seconds) s *= 1000;
        return seconds;
    };
    const std::vector<double> stable = PointSeconds(sim, false);
    Row("calibrate, stable point", ms(stable), SettlingWindow::Size * ReadingSeconds * 1000,
        "66 x 300 ms");
    std::printf("  %24s(the 66th reading falls %.1f s after the first)\n", "", stableFloor);
    const double floor = SettlingFloorSeconds();
    const std::vector<double> settling = PointSeconds(sim, true);
    Row("calibrate, settling", ms(settling), floor * 1000, "its window's floor");
    std::printf("  %24s(10 mV + 30 mV e^(-t/8 s); late by at most one reading: %s)\n", "",
                Median(settling) - floor <= ReadingSeconds + 0.05 ? "met" : "MISSED");
    const std::vector<double> air = PointSeconds(sim, true, true);
    Row("calibrate, oxygen in air", ms(air), floor * 1000, "its window's floor");
    std::printf("  %24s(the same settling in air; late by at most one reading: %s)\n", "",
                Median(air) - floor <= ReadingSeconds + 0.05 ? "met" : "MISSED");
}

// A certificate as a technician hands it over: NIST buffers 6.86 and 4.01 at
// 15 °C and a check in 9.18, each point settling a little after its move.
// It stays as vl4clibench-certificate.html for scripts/bench to print.
void CertificateRow(SimServer& sim) {
    const std::string certificate = "vl4clibench-certificate.html";
    std::remove(certificate.c_str());
    for (const char* setting : {"set temperature 15", "set probe-offset 5", "set settle-tau 2",
                                "set noise 0.05", "set seed 7", "set solution 6.9"})
        Steer(sim, setting);
    TimeVl4({"calibrate", "COM5", "--standard", "6.86", "--standard", "4.01", "--buffers", "nist",
             "--temperature", "15", "--check", "9.18", "--yes", "--technician", "bench", "--tag",
             "bench", "--certificate", certificate},
            nullptr, [&](const std::string& text) {
                if (text.compare(0, 8, "point 2:") == 0) Steer(sim, "set solution 3.998");
                if (text.compare(0, 6, "check:") == 0) Steer(sim, "set solution 9.276");
            });
    FILE* file = std::fopen(certificate.c_str(), "rb");
    long size = -1;
    if (file && std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    if (file) std::fclose(file);
    std::printf("  %-22s %ld bytes (two points and a check, three stability pictures)\n",
                "calibrate, certificate", size);
    for (const char* setting :
         {"set temperature 25", "set probe-offset 0", "set settle-tau 0", "set noise 0",
          "set solution 7", "set offset 0", "set sensitivity -59.16"})
        Steer(sim, setting);
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
    LogPaceRow("log --every 0.1", {});
    LogPaceRow("log --every 0.1 --trace", {"--trace", "vl4clibench.trace"});
    std::remove("vl4clibench.txt");
    std::remove("vl4clibench.trace");
    CalibrationRows(sim);
    CertificateRow(sim);
    ReconnectRow(sim);
    return 0;
}
