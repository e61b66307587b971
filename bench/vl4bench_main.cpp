// vl4bench: times the transactions of a full read-out against the simulated
// transmitter over the virtual cable. Unpaced, a transaction costs only
// software (link, Wine, pty, simulator); paced at 9600 baud it should cost
// little more than its bytes' wire time.
#include "core/readout.h"
#include "wire_time.h"

#include "sim/sim_server.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double OverheadBudgetMs = 1.0;
constexpr double PacedBudget = 1.1;
constexpr int WarmUpReadouts = 3;

const char Usage[] =
    "usage: vl4bench [--readouts N] [--paced-readouts N] [--external unpaced|paced]\n"
    "                [--port COM5] [--sim-port COM6]\n"
    "  Without --external the simulator runs in this process on the sim port and\n"
    "  both modes are timed; with it, a vl4sim.exe already serves the sim port\n"
    "  (started with --paced or without) and only that mode is timed.\n";

struct Options {
    int Readouts = 200;
    int PacedReadouts = 40;
    const char* External = nullptr; // "unpaced" or "paced"
    const char* Port = "COM5";
    const char* SimPort = "COM6";
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const char* name = argv[i];
        const char* value = argv[i + 1];
        if (!std::strcmp(name, "--readouts")) {
            options.Readouts = std::atoi(value);
        } else if (!std::strcmp(name, "--paced-readouts")) {
            options.PacedReadouts = std::atoi(value);
        } else if (!std::strcmp(name, "--external") &&
                   (!std::strcmp(value, "unpaced") || !std::strcmp(value, "paced"))) {
            options.External = value;
        } else if (!std::strcmp(name, "--port")) {
            options.Port = value;
        } else if (!std::strcmp(name, "--sim-port")) {
            options.SimPort = value;
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && options.Readouts > 0 && options.PacedReadouts > 0;
}

double StepWireMs(const ReadoutStep& step) {
    return ReadWireMs(step.ValueSize);
}

struct Spread {
    double Median, Min, P10, P90, Max;
};

// Nearest-rank percentiles of the samples.
Spread SpreadOf(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    auto at = [&](double fraction) { return ms[static_cast<size_t>(fraction * (ms.size() - 1))]; };
    return {at(0.5), ms.front(), at(0.1), at(0.9), ms.back()};
}

struct Timings {
    std::vector<double> Steps[ReadoutStepCount]; // ms per transaction
    std::vector<double> Readouts;                // ms per read-out
    int Failures = 0;
};

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Runs read-outs one after another, as fast as the line lets them.
Timings TimeReadouts(TransmitterLink& link, int count) {
    Timings timings;
    Readout values;
    for (int r = -WarmUpReadouts; r < count; ++r) {
        Clock::time_point readoutStart = Clock::now();
        for (int i = 0; i < ReadoutStepCount; ++i) {
            Clock::time_point start = Clock::now();
            bool read = ReadoutSteps[i].Read(link, values);
            double ms = MsSince(start);
            if (r < 0) continue;
            timings.Failures += !read;
            timings.Steps[i].push_back(ms);
        }
        if (r >= 0) timings.Readouts.push_back(MsSince(readoutStart));
    }
    return timings;
}

void PrintRow(const char* name, double wireMs, const std::vector<double>& samples, bool paced) {
    Spread s = SpreadOf(samples);
    std::printf("  %-18s %8.3f %8.3f %8.3f %8.3f %8.3f %8.3f", name, wireMs, s.Median, s.Min, s.P10,
                s.P90, s.Max);
    if (paced) std::printf(" %6.3f", s.Median / wireMs);
    std::printf("\n");
}

void PrintTimings(const char* title, const Timings& timings, bool paced) {
    std::printf("\n%s: %zu read-outs, %d failed transactions\n", title, timings.Readouts.size(),
                timings.Failures);
    std::printf("  %-18s %8s %8s %8s %8s %8s %8s%s\n", "ms", "wire", "median", "min", "p10", "p90",
                "max", paced ? "  ratio" : "");
    // Every transaction's time beyond its own wire time (all of it, unpaced).
    std::vector<double> overhead;
    for (int i = 0; i < ReadoutStepCount; ++i) {
        double wireMs = StepWireMs(ReadoutSteps[i]);
        PrintRow(ReadoutSteps[i].Name, wireMs, timings.Steps[i], paced);
        for (double ms : timings.Steps[i]) overhead.push_back(paced ? ms - wireMs : ms);
    }
    PrintRow("read-out", ReadoutWireMs(), timings.Readouts, paced);

    Spread over = SpreadOf(overhead);
    std::printf("  %s per transaction: median %.3f ms (p10 %.3f, p90 %.3f)\n",
                paced ? "time beyond the wire time" : "software overhead", over.Median, over.P10,
                over.P90);
    if (paced) {
        double ratio = SpreadOf(timings.Readouts).Median / ReadoutWireMs();
        std::printf("  budget: paced read-out within %.2f x wire time: %.3f, %s\n", PacedBudget,
                    ratio, ratio <= PacedBudget ? "met" : "MISSED");
    } else {
        std::printf("  budget: overhead under %.1f ms a transaction: %s\n", OverheadBudgetMs,
                    over.Median < OverheadBudgetMs ? "met" : "MISSED");
    }
}

bool TimeMode(TransmitterLink& link, const Options& options, bool paced, const char* simulator) {
    if (!link.Open(options.Port)) {
        std::fprintf(stderr, "vl4bench: cannot open %s\n", options.Port);
        return false;
    }
    if (!link.Identify()) {
        std::fprintf(stderr, "vl4bench: no transmitter answers on %s\n", options.Port);
        return false;
    }
    Timings timings = TimeReadouts(link, paced ? options.PacedReadouts : options.Readouts);
    char title[128];
    std::snprintf(title, sizeof title, "%s, %s", paced ? "paced at 9600 baud" : "unpaced",
                  simulator);
    PrintTimings(title, timings, paced);
    return true;
}

// Times one mode against the simulator served from this process.
bool TimeInProcess(TransmitterLink& link, const Options& options, bool paced) {
    SimServer sim;
    if (!sim.Start(options.SimPort, paced)) {
        std::fprintf(stderr, "vl4bench: cannot serve %s\n", options.SimPort);
        return false;
    }
    return TimeMode(link, options, paced, "simulator in this process");
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(Usage, stderr);
        return 2;
    }
    std::printf("full read-out: %d transactions, %.3f ms on the wire at 9600 baud\n",
                ReadoutStepCount, ReadoutWireMs());
    TransmitterLink link;
    bool done = options.External
                    ? TimeMode(link, options, !std::strcmp(options.External, "paced"),
                               "vl4sim.exe in its own process")
                    : TimeInProcess(link, options, false) && TimeInProcess(link, options, true);
    return done ? 0 : 1;
}
