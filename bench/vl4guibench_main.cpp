// vl4guibench: the tool as a user meets it. Start-up from process creation
// to a shown main window, against hello.exe under the same Wine; a connect
// with its full read-out against a paced vl4sim.exe, against the bytes'
// wire time; the tool's private memory after the read-out.
#include "core/readout.h"
#include "process_memory.h"
#include "tool_driver.h"
#include "wire_time.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr double StartupBudget = 1.5;
constexpr double ReadoutBudget = 1.1;
constexpr double MemoryBudgetKiB = 4096;
constexpr DWORD TimeoutMs = 60000;

constexpr double PointFloorMs = 66 * 300.0; // the dialog's readings on its 300 ms timer

const char Usage[] =
    "usage: vl4guibench [--runs N] [--readouts N] [--points N] [--port COM5] [--sim-log FILE]\n"
    "  A vl4sim.exe started with --paced must serve the other end of the port; with\n"
    "  --sim-log, its --log FILE --log-times times the readings of a calibration with\n"
    "  record while its picture is drawn.\n"
    "  [--also EXE] times another build of vl4config.exe (an earlier commit's) in the\n"
    "  same rounds; [--start-up-only yes] only the start-ups, with no simulator.\n";

struct Options {
    int Runs = 7;
    int Readouts = 9;
    int Points = 3;
    const char* Port = "COM5";
    const char* SimLog = nullptr;
    std::string Also;         // another build of the tool, timed beside it
    bool StartUpOnly = false; // no simulator needed
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--runs"))
            options.Runs = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--readouts"))
            options.Readouts = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--points"))
            options.Points = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--port"))
            options.Port = argv[i + 1];
        else if (!std::strcmp(argv[i], "--sim-log"))
            options.SimLog = argv[i + 1];
        else if (!std::strcmp(argv[i], "--also"))
            options.Also = argv[i + 1];
        else if (!std::strcmp(argv[i], "--start-up-only") && !std::strcmp(argv[i + 1], "yes"))
            options.StartUpOnly = true;
        else
            return false;
    }
    return argc % 2 == 1 && options.Runs > 0 && options.Readouts > 0 && options.Points > 0;
}

std::string WindowsPath(const char* unixPath) {
    std::string path = std::string("Z:") + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return "\"" + path + "\"";
}

double NowMs() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return count.QuadPart * 1000.0 / frequency.QuadPart;
}

struct Spread {
    double Median, Min, Max;
};

Spread SpreadOf(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples.front(), samples.back()};
}

const char* Verdict(bool met) {
    return met ? "met" : "MISSED";
}

// Starts the program and answers the time until its window shows, or a
// negative time when it does not.
double StartUpMs(StartedProgram& program, const std::string& commandLine, const char* className,
                 const char* title, HWND& window) {
    const double start = NowMs();
    if (!program.Start(commandLine)) return -1;
    window = WaitForWindow(program.Info.dwProcessId, className, title, TimeoutMs);
    return window ? NowMs() - start : -1;
}

bool Close(StartedProgram& program, HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    return program.WaitForExit(TimeoutMs);
}

struct Program {
    const char* Name;
    std::string CommandLine;
    const char* ClassName;
    const char* Title;
    std::vector<double> Samples;
};

// Alternates the programs, so that both meet the same machine load.
// `also`, when given, is another build of the tool (an earlier commit's) timed
// in the same rounds, for a before/after figure under the same load.
bool TimeStartUps(int runs, const std::string& also) {
    std::vector<Program> programs = {
        {"hello", WindowsPath(HELLO_EXE), "HelloWindow", "Hello", {}},
        {"vl4config", WindowsPath(VL4CONFIG_EXE), ToolWindow::ClassName, ToolWindow::Title, {}},
    };
    if (!also.empty())
        programs.push_back(
            {"also", WindowsPath(also.c_str()), ToolWindow::ClassName, ToolWindow::Title, {}});
    for (int run = 0; run <= runs; ++run) {
        for (Program& program : programs) {
            StartedProgram started;
            HWND window = nullptr;
            const double ms =
                StartUpMs(started, program.CommandLine, program.ClassName, program.Title, window);
            if (ms < 0 || !Close(started, window)) {
                std::fprintf(stderr, "vl4guibench: %s did not show its window\n", program.Name);
                return false;
            }
            if (run > 0) program.Samples.push_back(ms); // the first run warms the caches
        }
    }
    const Spread hello = SpreadOf(programs[0].Samples), tool = SpreadOf(programs[1].Samples);
    const double ratio = tool.Median / hello.Median;
    std::printf("start-up to a shown main window, %d runs each (ms):\n", runs);
    for (const Program& program : programs) {
        const Spread s = SpreadOf(program.Samples);
        std::printf("  %-10s median %8.1f  min %8.1f  max %8.1f  (%.3f x hello)\n", program.Name,
                    s.Median, s.Min, s.Max, s.Median / hello.Median);
    }
    std::printf("  budget: within %.1f x hello: %.3f, %s\n", StartupBudget, ratio,
                Verdict(ratio <= StartupBudget));
    return true;
}

// The identification and every read of ReadAll, as bytes on the wire.
double ConnectWireMs() {
    return ReadWireMs(IdentificationSize) + ReadoutWireMs();
}

void PrintMemory(const char* name, HANDLE process) {
    std::printf("  %-10s private committed %8.0f KiB  pagefile usage %8.0f KiB\n", name,
                PrivateKiB(process), PagefileKiB(process));
}

// Takes the first point of a calibration again and again, from the click on
// its button to the point's voltage shown, on the dialog's own timer.
bool TimeCalibrationPoints(ToolWindow& window, int points) {
    ToolDialog dialog;
    if (!dialog.Open(window, ToolWindow::CalibrationButtonId, ToolDialog::CalibrationCaption,
                     TimeoutMs)) {
        std::fprintf(stderr, "vl4guibench: the calibration dialog did not open\n");
        return false;
    }
    std::vector<double> samples;
    for (int i = 0; i < points; ++i) {
        dialog.SetItemText(CalibrationItems::Voltage1, "");
        const double start = NowMs();
        dialog.StartPoint(1, "7");
        while (dialog.ItemText(CalibrationItems::Voltage1).empty()) {
            if (NowMs() - start > 3 * PointFloorMs) {
                std::fprintf(stderr, "vl4guibench: the calibration point did not end\n");
                return false;
            }
            Sleep(5);
        }
        samples.push_back(NowMs() - start);
    }
    dialog.PressEscape();
    if (!dialog.WaitClosed(TimeoutMs)) return false;
    const Spread s = SpreadOf(samples);
    std::printf("\none calibration point, %d times (ms):\n", points);
    std::printf("  floor %8.1f  median %8.1f  min %8.1f  max %8.1f  ratio %.4f\n", PointFloorMs,
                s.Median, s.Min, s.Max, s.Median / PointFloorMs);
    return true;
}

// The simulator's log from byte `from` on: the times of the probe voltage
// requests (command 24 hex), in ms.
std::vector<double> VoltageRequestTimes(const char* log, long from) {
    std::vector<double> times;
    FILE* file = std::fopen(log, "r");
    if (!file) return times;
    std::fseek(file, from, SEEK_SET);
    char line[256];
    while (std::fgets(line, sizeof line, file)) {
        double ms;
        char frame[8];
        if (std::sscanf(line, "%lf RX 01 %2s", &ms, frame) == 2 && !std::strcmp(frame, "24"))
            times.push_back(ms);
    }
    std::fclose(file);
    return times;
}

long FileSize(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExA(path, GetFileExInfoStandard, &data)
               ? static_cast<long>(data.nFileSizeLow)
               : 0;
}

// A point of the calibration with record from the window menu, its picture
// redrawn at every reading: the intervals between its readings as the
// transmitter received them.
bool TimeRecordedSampling(ToolWindow& window, const char* simLog) {
    using namespace RecordedItems;
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string record = std::string(folder) + "vl4guibench-record.csv";
    DeleteFileA(record.c_str());
    RecordedDialog dialog;
    if (!dialog.Open(window, false, TimeoutMs)) return false;
    dialog.Click(OnePoint);
    dialog.SetItemText(Standard1, "7");
    dialog.PostClick(Next);
    if (!dialog.AnswerFileDialog(record, TimeoutMs) || !dialog.WaitEnabled(Interrupt, TimeoutMs) ||
        !dialog.WaitEnabled(Next, TimeoutMs))
        return false;
    const long from = FileSize(simLog);
    dialog.Click(Next);
    if (!dialog.WaitEnabled(Write, 3 * static_cast<DWORD>(PointFloorMs))) return false;
    const std::vector<double> times = VoltageRequestTimes(simLog, from);
    dialog.PressEscape();
    if (!dialog.WaitClosed(TimeoutMs) || times.size() < 2) return false;
    std::vector<double> intervals;
    for (size_t i = 1; i < times.size(); ++i) intervals.push_back(times[i] - times[i - 1]);
    const Spread s = SpreadOf(intervals);
    std::printf("\nthe calibration with record: one point's readings, its picture redrawn at each "
                "(ms between them, %zu intervals):\n",
                intervals.size());
    std::printf("  median %8.1f  min %8.1f  max %8.1f\n", s.Median, s.Min, s.Max);
    std::printf("  budget: median 300 ms: %s; none over 350 ms: %s\n",
                Verdict(s.Median >= 295 && s.Median <= 305), Verdict(s.Max <= 350));
    return true;
}

// Connects again and again: each pick closes the port, opens it, identifies
// the transmitter and reads every value into the window.
bool TimeReadouts(const Options& options) {
    StartedProgram tool;
    ToolWindow window;
    HWND handle = nullptr;
    if (StartUpMs(tool, WindowsPath(VL4CONFIG_EXE), ToolWindow::ClassName, ToolWindow::Title,
                  handle) < 0 ||
        !window.Find(tool.Info.dwProcessId, TimeoutMs)) {
        std::fprintf(stderr, "vl4guibench: vl4config did not show its window\n");
        return false;
    }
    std::vector<double> samples;
    for (int i = 0; i <= options.Readouts; ++i) {
        const double start = NowMs();
        if (!window.PickPort(options.Port)) {
            std::fprintf(stderr, "vl4guibench: %s is not listed\n", options.Port);
            return false;
        }
        const double ms = NowMs() - start;
        if (TextOf(window.At(120, 10)) != "VL4") {
            std::fprintf(stderr, "vl4guibench: no transmitter on %s\n", options.Port);
            return false;
        }
        if (i > 0) samples.push_back(ms);
    }
    const Spread s = SpreadOf(samples);
    const double wire = ConnectWireMs(), ratio = s.Median / wire;
    std::printf("\nconnect and read-out against the paced simulator, %d times (ms):\n",
                options.Readouts);
    std::printf("  wire %8.1f  median %8.1f  min %8.1f  max %8.1f\n", wire, s.Median, s.Min, s.Max);
    std::printf(
        "  ratio to the wire time: %.3f (the link's own read-out, timed by vl4bench, has a\n"
        "  budget of %.1f; here the window's field updates come on top)\n",
        ratio, ReadoutBudget);

    std::printf("\nmemory after the read-outs (hello: its window shown):\n");
    const double toolKiB = PrivateKiB(tool.Info.hProcess);
    PrintMemory("vl4config", tool.Info.hProcess);
    StartedProgram hello;
    HWND helloWindow = nullptr;
    double helloKiB = 0;
    if (StartUpMs(hello, WindowsPath(HELLO_EXE), "HelloWindow", "Hello", helloWindow) >= 0) {
        helloKiB = PrivateKiB(hello.Info.hProcess);
        PrintMemory("hello", hello.Info.hProcess);
        Close(hello, helloWindow);
    }
    // Under Wine even hello carries several MiB of Wine's own heaps and
    // stacks; what the tool adds over it is what it loads and allocates.
    std::printf(
        "  budget: private memory under %.0f KiB: %.0f KiB, %s; beyond hello %.0f KiB, %s\n",
        MemoryBudgetKiB, toolKiB, Verdict(toolKiB < MemoryBudgetKiB), toolKiB - helloKiB,
        Verdict(toolKiB - helloKiB < MemoryBudgetKiB));
    if (!TimeCalibrationPoints(window, options.Points)) return false;
    if (options.SimLog && !TimeRecordedSampling(window, options.SimLog)) {
        std::fprintf(stderr, "vl4guibench: the calibration with record did not take its point\n");
        return false;
    }
    return Close(tool, window.Handle);
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(Usage, stderr);
        return 2;
    }
    if (!TimeStartUps(options.Runs, options.Also)) return 1;
    return options.StartUpOnly || TimeReadouts(options) ? 0 : 1;
}
