// vl4sim: a simulated VL4 transmitter on a COM port, steered through stdin.
#include "sim/sim_console.h"
#include "sim/sim_server.h"
#include "vl4_version.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {

const char Usage[] =
    "usage: vl4sim PORT [--paced] [--log FILE [--log-times]] [--detached] [--NAME VALUE ...]\n"
    "       vl4sim --version\n"
    "  --log-times: each log line begins with the milliseconds since the start\n"
    "  --NAME VALUE is 'set NAME VALUE' before serving (--ident ZD2W50, --probe 3, ...)\n"
    "  commands on stdin, one a line; 'help' lists them, 'quit' or end of input ends;\n"
    "  'reopen' opens the port again (a virtual cable that was pulled is back)\n";

// Whole lines to one stream, flushed at once, from any thread.
class LineOutput {
public:
    explicit LineOutput(FILE* file) : File(file) {}
    void Write(const std::string& line) {
        std::lock_guard<std::mutex> lock(Lock);
        std::fputs(line.c_str(), File);
        std::fputc('\n', File);
        std::fflush(File);
    }
    void Write(const std::vector<std::string>& lines) {
        for (const std::string& line : lines) Write(line);
    }

private:
    FILE* File;
    std::mutex Lock;
};

// Milliseconds since the simulator started, for a log that benchmarks time
// the requests by: "12345.678 RX 01 24 00 DB".
class MillisecondClock {
public:
    MillisecondClock() {
        QueryPerformanceFrequency(&Frequency);
        QueryPerformanceCounter(&Start);
    }
    std::string Stamp() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        char text[32];
        std::snprintf(text, sizeof text, "%.3f ",
                      (now.QuadPart - Start.QuadPart) * 1000.0 / Frequency.QuadPart);
        return text;
    }

private:
    LARGE_INTEGER Frequency, Start;
};

struct Options {
    const char* Port = nullptr;
    const char* LogPath = nullptr;
    bool Paced = false;
    bool Detached = false;
    bool LogTimes = false;
    std::vector<std::string> Presets; // set commands
};

bool ParseOptions(int argc, char** argv, Options& options) {
    if (argc < 2 || argv[1][0] == '-') return false;
    options.Port = argv[1];
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--paced") {
            options.Paced = true;
        } else if (arg == "--log-times") {
            options.LogTimes = true;
        } else if (arg == "--detached") {
            options.Detached = true;
        } else if (arg.compare(0, 2, "--") == 0 && i + 1 < argc) {
            if (arg == "--log") {
                options.LogPath = argv[++i];
            } else {
                options.Presets.push_back("set " + arg.substr(2) + " " + argv[++i]);
            }
        } else {
            return false;
        }
    }
    return true;
}

bool ReadLine(std::string& line) {
    line.clear();
    for (int c = std::getchar(); c != EOF; c = std::getchar()) {
        if (c == '\n') return true;
        line += static_cast<char>(c);
    }
    return !line.empty();
}

CommandResult Execute(SimServer& server, const std::string& command,
                      std::vector<std::string>& lines) {
    return server.WithModel(
        [&](TransmitterModel& model) { return RunSimCommand(model, command, lines); });
}

// A cable that was pulled and put back leaves the old handle dead: the
// transmitter keeps its state and serves the port anew.
void Reopen(SimServer& server, const Options& options, LineOutput& out) {
    server.Stop();
    out.Write(server.Start(options.Port, options.Paced)
                  ? "ok"
                  : "error: cannot open " + std::string(options.Port));
}

CommandResult Run(SimServer& server, const std::string& command, LineOutput& out) {
    std::vector<std::string> lines;
    CommandResult result = Execute(server, command, lines);
    out.Write(lines);
    return result;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && !std::strcmp(argv[1], "--version")) {
        std::puts("vl4sim " VL4_VERSION_TEXT);
        return 0;
    }
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(Usage, stderr);
        return 2;
    }
    LineOutput console(stdout);
    FILE* logFile = options.LogPath ? std::fopen(options.LogPath, "w") : stdout;
    if (!logFile) {
        std::fprintf(stderr, "vl4sim: cannot write %s\n", options.LogPath);
        return 1;
    }
    LineOutput log(logFile);
    LineOutput& logOut = options.LogPath ? log : console;

    SimServer server;
    for (const std::string& preset : options.Presets) {
        std::vector<std::string> lines;
        if (Execute(server, preset, lines) == CommandResult::Error) {
            std::fprintf(stderr, "vl4sim: %s: %s\n", preset.c_str(), lines.back().c_str());
            return 2;
        }
    }
    const MillisecondClock clock;
    server.WithModel([&](TransmitterModel& model) {
        model.Log = [&](const std::string& line) {
            logOut.Write(options.LogTimes ? clock.Stamp() + line : line);
        };
    });
    if (!server.Start(options.Port, options.Paced)) {
        std::fprintf(stderr, "vl4sim: cannot open %s\n", options.Port);
        return 1;
    }
    console.Write(std::string("ready ") + options.Port);
    if (options.Detached) {
        // Serves until the process is ended from outside.
        for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
    }
    std::string command;
    while (ReadLine(command)) {
        if (command == "reopen")
            Reopen(server, options, console);
        else if (Run(server, command, console) == CommandResult::Quit)
            break;
    }
    server.Stop();
    if (logFile != stdout) std::fclose(logFile);
    return 0;
}
