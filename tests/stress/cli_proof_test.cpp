// vl4.exe as a technician runs it, against the simulated transmitter that
// this process serves on COM6: scan, Ctrl+C during a load, a log and a
// calibration, the cable pulled during each command, and generated hostile
// settings files (the last in this process); a log that outlives pulled
// cables, and one at the fastest pace whose memory stays flat (in this
// process). Short in every test run, at full size in scripts/proof.
#include "core/clock.h"
#include "e2e/child_process.h"
#include "files/settings_file.h"
#include "line/vl4_on_cable.h"
#include "process_memory.h"
#include "stress/cable_control.h"
#include "stress/proof.h"
#include "tool_driver.h"
#include "unit/serial_device_map.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

namespace {

// Far beyond any of vl4's time-outs: a guard against a hang, not a measure.
constexpr DWORD HangMs = 60000;

class Vl4Proof : public Vl4OnCable {
protected:
    // Starts vl4.exe with the arguments, on a console of its own, in English
    // whatever the system's language: its words are checked.
    void Start(ChildProcess& vl4, const std::string& arguments) {
        ASSERT_TRUE(vl4.Start("\"" + WindowsPath(VL4_EXE) + "\" --lang en " + arguments, true));
    }
    // The frames received since the last Forget that begin so.
    int Frames(const std::string& begin) {
        for (const std::string& frame : Requests()) Received.push_back(frame);
        int count = 0;
        for (const std::string& frame : Received)
            count += frame.compare(0, begin.size(), begin) == 0;
        return count;
    }
    void Forget() {
        Frames("");
        Received.clear();
    }
    bool WaitForFrames(const std::string& begin, int count = 1) {
        return Eventually([&] { return Frames(begin) >= count; }, HangMs, 5);
    }
    int Count(const std::string& text, const std::string& part) {
        int count = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++count;
        return count;
    }
    // Every line of a log file has a time and three fields, and ends.
    void ExpectWholeCsv(const std::string& path) {
        const std::string csv = Contents(path);
        ASSERT_FALSE(csv.empty());
        EXPECT_EQ(csv.back(), '\n');
        EXPECT_EQ(Count(csv, "\n"), Count(csv, ",") / 3) << csv;
    }

    std::vector<std::string> Received;
};

TEST_F(Vl4Proof, ScanFindsEachTransmitterAndLeavesOutTheSilentPort) {
    SerialDeviceMap map;
    map.Add("\\Device\\Serial4", "COM5");
    map.Add("\\Device\\Serial6", "COM7");
    map.Add("\\Device\\Serial8", "COM9");
    SimServer second;
    second.WithModel([](TransmitterModel& m) {
        std::vector<std::string> out;
        RunSimCommand(m, "set ident ZD2W50", out);
        RunSimCommand(m, "set production 77", out);
    });
    ASSERT_TRUE(second.Start("COM8"));
    ChildProcess scan, json;
    Start(scan, "scan");
    EXPECT_EQ(scan.AllOutput(HangMs), "COM5  VL4  firmware 1.02  production number 2403117\n"
                                      "COM7  ZD2W50  firmware 1.02  production number 77\n");
    EXPECT_EQ(scan.ExitCode(), DWORD(ExitDone));
    Start(json, "scan --json");
    const std::string found = json.AllOutput(HangMs);
    EXPECT_NE(
        found.find(
            "{\"port\": \"COM9\", \"found\": false, \"problem\": \"no transmitter answers\"}"),
        std::string::npos)
        << found;
    EXPECT_EQ(Count(found, "\"found\": true"), 2) << found;
}

TEST_F(Vl4Proof, CtrlCStopsALoadALogAndACalibrationCleanly) {
    const int rounds = ProofSize(1, 10);
    // Each reply 120 ms late, so that a load is still under way when Ctrl+C comes.
    const std::string settings = Written("load.txt", "[settings]\nprobe = oxygen\ndamping = 9\n"
                                                     "depth = 2\nlower = 1\nupper = 13\n");
    const std::string csv = FileNamed("log.csv");
    for (int round = 0; round < rounds; ++round) {
        Steer("set probe 0");
        Steer("set damping 5");
        Steer("fault late 120 1000000");
        Forget();
        ChildProcess load;
        Start(load, "load COM5 " + settings);
        ASSERT_TRUE(WaitForFrames("01 2B 01"));
        ASSERT_TRUE(load.SendCtrlC());
        const std::string loaded = load.AllOutput(HangMs);
        EXPECT_EQ(load.ExitCode(), DWORD(ExitInterrupted)) << loaded;
        // What it says it wrote is what the transmitter holds.
        const bool damping = loaded.find("wrote probe, damping") != std::string::npos;
        EXPECT_NE(loaded.find("interrupted; wrote probe"), std::string::npos) << loaded;
        EXPECT_EQ(Dump().at("damping"), damping ? "9" : "5") << loaded;
        Steer("fault clear");

        std::remove(csv.c_str());
        Forget();
        ChildProcess log;
        Start(log, "log COM5 --every 0.1 --out " + csv);
        ASSERT_TRUE(WaitForFrames("01 26 00", 3)); // the ratio, last of a sample
        ASSERT_TRUE(log.SendCtrlC());
        const std::string logged = log.AllOutput(HangMs);
        EXPECT_EQ(log.ExitCode(), DWORD(ExitInterrupted)) << logged;
        ExpectWholeCsv(csv);

        Forget();
        ChildProcess calibration;
        Start(calibration, "calibrate COM5 --standard 7 --yes");
        ASSERT_TRUE(WaitForFrames("01 24 00", 3)); // sampling, the damping at 0
        EXPECT_EQ(Dump().at("damping"), "0");
        ASSERT_TRUE(calibration.SendCtrlC());
        const std::string calibrated = calibration.AllOutput(HangMs);
        EXPECT_EQ(calibration.ExitCode(), DWORD(ExitInterrupted)) << calibrated;
        EXPECT_NE(calibrated.find("interrupted; nothing written"), std::string::npos) << calibrated;
        EXPECT_EQ(Dump().at("damping"), damping ? "9" : "5") << "restored";
        EXPECT_EQ(Frames("01 30 04"), 0) << "no offset written";

        // The console window closed while the probe is sampled: Windows
        // calls the handler with CTRL_CLOSE_EVENT on a thread of its own and
        // ends the process once it returns. Wine ends a program whose console
        // goes without calling it, so the handler is called here as Windows
        // calls it, with vl4 running in this process.
        Forget();
        Interruption stop;
        stop.CatchConsoleControl();
        CommandContext context = {Out, Err, In, stop};
        int status = -1;
        std::thread closing([&] {
            status = RunVl4(context, {"calibrate", "COM5", "--standard", "7", "--yes"});
            stop.Finished();
        });
        ASSERT_TRUE(WaitForFrames("01 24 00", 3));
        EXPECT_EQ(Dump().at("damping"), "0");
        EXPECT_TRUE(Interruption::OnConsoleControl(CTRL_CLOSE_EVENT));
        // From here on Windows may end the process at any moment.
        EXPECT_EQ(Dump().at("damping"), damping ? "9" : "5")
            << "restored before the handler returned";
        closing.join();
        EXPECT_EQ(status, ExitInterrupted);
        EXPECT_EQ(Frames("01 30 04"), 0) << "no offset written";
    }
    Figure("Ctrl+C: %d loads, %d logs, %d calibrations stopped cleanly; a closing console: %d "
           "calibrations",
           rounds, rounds, rounds, rounds);
}

// A program reading the output that ends (vl4 log | head -3), and a full disk:
// the command ends as an error at once and sends nothing more.
TEST_F(Vl4Proof, AnOutputThatCannotBeWrittenEndsTheCommandAsAnError) {
    ChildProcess log;
    Start(log, "log COM5 --every 0.2");
    std::string line;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(log.ReadLine(line, HangMs)) << i;
    Forget();
    log.CloseOutput();
    ASSERT_TRUE(log.WaitForExit(HangMs));
    EXPECT_EQ(log.ExitCode(), DWORD(ExitFailed));
    // The sample under way, and the one whose row found the pipe closed.
    EXPECT_LE(Frames(""), 6);

    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    const HANDLE full =
        CreateFileW(L"Z:\\dev\\full", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(full, INVALID_HANDLE_VALUE);
    ChildProcess read;
    const bool started =
        read.Start("\"" + WindowsPath(VL4_EXE) + "\" --lang en read COM5 --json", false, full);
    CloseHandle(full);
    ASSERT_TRUE(started);
    const std::string said = read.AllOutput(HangMs);
    EXPECT_EQ(read.ExitCode(), DWORD(ExitFailed)) << said;
    EXPECT_NE(said.find("vl4: standard output: cannot write: the disk is full"), std::string::npos)
        << said;
}

struct PulledCable {
    const char* Arguments;
    const char* Trigger; // the frame after which the cable goes
    int Count;
    const char* Said; // what the error line says
};

TEST_F(Vl4Proof, APulledCableEndsEachCommandWithAClearError) {
    const int rounds = ProofSize(1, 5);
    const std::string settings = Written("load.txt", "[settings]\nprobe = oxygen\ndamping = 9\n"
                                                     "depth = 2\nlower = 1\nupper = 13\n");
    const std::string csv = FileNamed("log.csv"), saved = FileNamed("saved.txt");
    const PulledCable commands[] = {
        {"read COM5", "01 22 00", 1, "COM5: no answer reading"},
        {"save COM5 ", "01 2B 00", 1, "no file written"},
        {"load COM5 ", "01 2B 01", 1, "COM5: no answer writing"},
        {"set COM5 damping=3 depth=2 lower=1 upper=13 offset=1", "01 2C 01", 1,
         "COM5: no answer writing"},
        {"log COM5 --every 0.1 --give-up-after 1 --out ", "01 24 00", 3,
         "log: no transmitter on COM5 for 1 s; log ended"},
        {"calibrate COM5 --standard 7 --yes", "01 24 00", 3, "damping was not restored to 5"},
        {"scan", "01 21 00", 1, "no VL4 transmitter answers"},
    };
    CableControl cable;
    int ended = 0;
    for (int round = 0; round < rounds; ++round) {
        for (const PulledCable& command : commands) {
            Steer("set damping 5");
            Steer("set probe 0");
            // Replies 120 ms late leave time to pull the cable in the middle.
            Steer("fault late 120 1000000");
            std::string arguments = command.Arguments;
            if (arguments == "save COM5 ") arguments += saved;
            if (arguments == "load COM5 ") arguments += settings;
            if (arguments.compare(0, 3, "log") == 0) arguments += csv;
            std::remove(saved.c_str());
            Forget();
            ChildProcess vl4;
            Start(vl4, arguments);
            ASSERT_TRUE(cable.Arm());
            ASSERT_TRUE(WaitForFrames(command.Trigger, command.Count)) << arguments;
            ASSERT_TRUE(cable.Fire() && cable.Finish());
            const std::string said = vl4.AllOutput(HangMs);
            EXPECT_FALSE(vl4.Running()) << arguments << ": still running";
            EXPECT_EQ(vl4.ExitCode(), DWORD(ExitFailed)) << arguments << "\n" << said;
            EXPECT_NE(said.find(command.Said), std::string::npos) << arguments << "\n" << said;
            ended += vl4.ExitCode() == DWORD(ExitFailed);
            if (arguments.compare(0, 3, "log") == 0) ExpectWholeCsv(csv);
            if (arguments.compare(0, 4, "save") == 0) {
                EXPECT_EQ(Contents(saved), "") << "no file written";
            }
            ASSERT_TRUE(cable.Plug());
            Sim.Server.Stop();
            ASSERT_TRUE(Sim.Server.Start(SimOnCable::Port));
            Steer("fault clear");
        }
    }
    Figure("pulled cable: %d of %d commands ended with a clear error, exit status 1", ended,
           rounds * int(sizeof commands / sizeof commands[0]));
}

// Seconds since midnight of a log's time stamp, 2026-12-07T16:56:19.457+01:00.
double SecondsOfDay(const std::string& stamp) {
    return std::atoi(stamp.c_str() + 11) * 3600.0 + std::atoi(stamp.c_str() + 14) * 60.0 +
           std::atof(stamp.c_str() + 17);
}

double MedianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double LongestOf(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

// An overnight log's cable pulled again and again, for a random time each,
// and put back: the log reconnects each time and loses nothing but the
// gaps. Every row stands in time order; each is whole with the
// transmitter's values or, while the port was away, empty (the sample the
// cable went in may have lost some of its reads); there are as many gaps as
// pulls.
TEST_F(Vl4Proof, ALogOutlivesPulledCablesAndLosesNothingButTheGaps) {
    const int samples = ProofSize(300, 36000), pulls = ProofSize(2, 20);
    const std::string csv = FileNamed("pulled.csv");
    std::remove(csv.c_str());
    const auto dump = Dump();
    std::mt19937 random(20261208);
    CableControl cable;
    ChildProcess log;
    Start(log, "log COM5 --every 0.1 --count " + std::to_string(samples) + " --out " + csv);
    int taken = 0; // samples whose last read, the ratio, reached the transmitter
    // The guard allows each sample to come three times slower than its pace.
    const auto until = [&](int count) {
        return Eventually(
            [&] {
                for (const std::string& frame : Requests())
                    taken += frame.compare(0, 8, "01 26 00") == 0;
                return taken >= count;
            },
            HangMs + static_cast<DWORD>(count - taken) * 300, 5);
    };
    std::vector<double> away;
    for (int pull = 1; pull <= pulls; ++pull) {
        const int at = samples * pull / (pulls + 1);
        ASSERT_TRUE(until(at - 20)) << pull;
        ASSERT_TRUE(cable.Arm());
        ASSERT_TRUE(until(at)) << pull;
        ASSERT_TRUE(cable.Fire() && cable.Finish());
        away.push_back(0.2 + random() % 7800 / 1000.0);
        Sleep(static_cast<DWORD>(away.back() * 1000));
        ASSERT_TRUE(cable.Plug());
        Sim.Server.Stop();
        ASSERT_TRUE(Sim.Server.Start(SimOnCable::Port));
    }
    const std::string said = log.AllOutput(HangMs + samples * 200);
    EXPECT_FALSE(log.Running());
    EXPECT_EQ(log.ExitCode(), DWORD(ExitFailed)) << said;
    EXPECT_EQ(Count(said, "note: reconnected to COM5 after "), pulls) << said;
    EXPECT_NE(said.find(", " + std::to_string(pulls) + " reconnects; reply time median"),
              std::string::npos)
        << said;

    const std::vector<std::string> rows = Lines(Contents(csv));
    ASSERT_EQ(rows.size(), size_t(samples) + 1);
    int whole = 0, empty = 0, cut = 0, gaps = 0, wrong = 0;
    bool inGap = false;
    double last = 0, before = -1, day = 0;
    std::vector<double> gapSeconds, intervals;
    for (size_t i = 1; i < rows.size(); ++i) {
        const std::vector<std::string> cells = Fields(rows[i]);
        ASSERT_EQ(cells.size(), 4u) << rows[i];
        double time = SecondsOfDay(cells[0]) + day;
        if (time < before) time += 86400, day += 86400; // past midnight
        ASSERT_GT(time, before) << "in time order: " << rows[i];
        if (before >= 0) intervals.push_back(time - before);
        before = time;
        const int missing = (cells[1] == "") + (cells[2] == "") + (cells[3] == "");
        if (missing == 0) {
            ++whole;
            wrong += TextBits(cells[1]) != DumpBits(dump.at("voltage")) ||
                     TextBits(cells[2]) != DumpBits(dump.at("value"));
            if (inGap) gapSeconds.push_back(time - last);
            inGap = false;
            last = time;
            continue;
        }
        ++(missing == 3 ? empty : cut);
        gaps += !inGap;
        inGap = true;
    }
    EXPECT_EQ(gaps, pulls) << "each pull one gap, and no other";
    EXPECT_FALSE(inGap) << "the log ends with the unit back";
    EXPECT_LE(cut, pulls) << "only the samples the cable went in";
    EXPECT_EQ(wrong, 0);
    // What a gap lasts beyond the time the cable was out: the cable's return
    // (the script and the simulator's start) and the wait for the next try.
    std::vector<double> beyond;
    for (size_t i = 0; i < gapSeconds.size() && i < away.size(); ++i)
        beyond.push_back(gapSeconds[i] - away[i]);
    std::sort(away.begin(), away.end());
    Figure("pulled cable during a log at 0.1 s: %d samples, %d pulls (away %.1f to %.1f s), %d "
           "reconnects; %d rows whole, %d empty, %d with some reads lost as the cable went; %d "
           "wrong values",
           samples, pulls, away.front(), away.back(), Count(said, "reconnected to"), whole, empty,
           cut, wrong);
    Figure("gaps from the last sample before the pull to the first after: median %.1f s, "
           "longest %.1f s; beyond the time away: median %.2f s, longest %.2f s; time between "
           "rows: median %.3f s",
           MedianOf(gapSeconds), LongestOf(gapSeconds), MedianOf(beyond), LongestOf(beyond),
           MedianOf(intervals));
}

// Time that moves on only when vl4 waits, so that a log of days at 0.1 s
// runs as fast as the line answers, its samples on the same 0.1 s grid.
// Every `Every` samples (at a wait between two) it measures the process's
// private memory, and at every third time has the transmitter swallow the
// next reply, the voltage's: a failed read that the picture must show.
class FastClock : public Clock {
public:
    FastClock(SimServer& sim, long long every) : Sim(sim), Every(every) {
        GetSystemTimeAsFileTime(&Began);
    }

    TimePoint Now() override { return Start + std::chrono::milliseconds(Elapsed.load()); }
    void UtcNow(SYSTEMTIME& utc) override {
        ULARGE_INTEGER at;
        at.LowPart = Began.dwLowDateTime;
        at.HighPart = Began.dwHighDateTime;
        at.QuadPart += static_cast<ULONGLONG>(Elapsed.load()) * 10000;
        const FILETIME time = {at.LowPart, at.HighPart};
        FileTimeToSystemTime(&time, &utc);
    }
    bool Wait(HANDLE event, DWORD ms) override {
        if (WaitForSingleObject(event, 0) == WAIT_OBJECT_0) return false;
        Elapsed += ms;
        if (++Waits % Every != 0) return true;
        Memory.push_back(PrivateKiB(GetCurrentProcess()));
        if (Memory.size() % 3 == 0)
            Sim.WithModel([](TransmitterModel& m) {
                std::vector<std::string> out;
                RunSimCommand(m, "fault noreply", out);
            });
        return true;
    }

    std::vector<double> Memory; // KiB at every Every-th wait
    long long Waits = 0;

private:
    SimServer& Sim;
    const long long Every;
    const TimePoint Start = std::chrono::steady_clock::now();
    FILETIME Began;
    std::atomic<long long> Elapsed{0}; // ms
};

long long LinesOf(const std::string& path) {
    long long lines = 0;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            lines += std::count(buffer, buffer + n, '\n');
        std::fclose(file);
    }
    return lines;
}

// A log at the fastest pace for days holds no more memory at its end than
// at its start: its trend picture is drawn from a summary of fixed room and
// nothing else keeps a sample. vl4 runs in this process against the
// simulator on the cable, every frame over the line, with time that moves
// on only when it waits; the memory is this process's, measured between
// samples, the first time once the summary, the CSV and the link have
// taken what they keep.
TEST_F(Vl4Proof, ALogAtTheFastestPaceRunsInFlatMemory) {
    const long long samples = ProofSize(5000, 2000000), every = samples / 10;
    const std::string csv = FileNamed("long.csv"), svg = FileNamed("long.svg");
    std::remove(csv.c_str());
    // Nothing of the frames kept here: what grows would be this test's.
    Sim.Server.WithModel([](TransmitterModel& m) {
        m.Log = nullptr;
        std::vector<std::string> out;
        RunSimCommand(m, "set noise 0.05", out);
    });
    FastClock clock(Sim.Server, every);
    Clock::Install(&clock);
    Stopwatch stopwatch;
    const int status = Run({"log", "COM5", "--every", "0.1", "--count", std::to_string(samples),
                            "--out", csv, "--svg", svg});
    const double seconds = stopwatch.Seconds();
    Clock::Install(nullptr);
    const double after = PrivateKiB(GetCurrentProcess());
    const std::vector<double>& memory = clock.Memory;
    ASSERT_EQ(memory.size(), 9u) << "a measure at every tenth of the log but its end";
    const int gaps = static_cast<int>(memory.size() / 3);

    // Each swallowed reply is one failed read, and the picture breaks there.
    EXPECT_EQ(status, ExitFailed) << Err.Text;
    EXPECT_NE(Out.Text.find("logged " + std::to_string(samples) + " samples, " +
                            std::to_string(gaps) + " failed reads into "),
              std::string::npos)
        << Out.Text;
    EXPECT_EQ(LinesOf(csv), samples + 1);
    const std::string picture = Contents(svg);
    const size_t curve = picture.find(" d=\"");
    ASSERT_NE(curve, std::string::npos);
    const std::string voltage = picture.substr(curve, picture.find('"', curve + 4) - curve);
    EXPECT_GE(std::count(voltage.begin(), voltage.end(), 'M'), 1 + gaps) << "a break at each gap";
    EXPECT_LT(picture.size(), 300000u);

    const double start = memory.front(), highest = *std::max_element(memory.begin(), memory.end());
    // The room a page of the heap or two would take; the samples of the run
    // alone would take 24 bytes each.
    EXPECT_LE(highest - start, 64.0) << "private memory grew while the log ran";
    Figure("log at 0.1 s, %lld samples (%.1f hours of log) in %.0f s: private memory %.0f KiB "
           "after %lld samples, highest %.0f KiB, %.0f KiB after %lld samples (%+.0f KiB); %.0f "
           "KiB once the picture was drawn; %d failed reads, each a break in the picture",
           samples, samples / 36000.0, seconds, start, every, highest, memory.back(),
           every * static_cast<long long>(memory.size()), memory.back() - start, after, gaps);
}

// A valid settings file with values drawn at random.
std::string RandomSettings(std::mt19937& random, const char* lineEnd) {
    static const char* const probes[] = {"pH", "Redox", "chlorine", "oxygen", "2", "OXYGEN"};
    auto number = [&] {
        return std::to_string(static_cast<int>(random() % 2001) - 1000) + "." +
               std::to_string(random() % 1000);
    };
    std::string text =
        std::string("# vl4 settings") + lineEnd + "[transmitter]" + lineEnd +
        "identification = VL4" + lineEnd + "[settings]" + lineEnd +
        "probe = " + probes[random() % 6] + lineEnd + "damping = " + std::to_string(random() % 31) +
        lineEnd + "depth = " + std::to_string(random() % 100) + lineEnd + "lower = " + number() +
        lineEnd + "upper = " + number() + lineEnd + "[calibration]" + lineEnd +
        "offset = " + number() + lineEnd + "sensitivity = " + number() + lineEnd + "date = 2025-0" +
        std::to_string(1 + random() % 9) + "-1" + std::to_string(random() % 10) + lineEnd;
    return text;
}

// Spoils a valid file in one of the ways a file goes bad, or leaves it
// valid with another form (CRLF, a byte-order mark).
std::string Spoiled(std::mt19937& random, int kind, std::string text) {
    static const char* const values[] = {
        "abc",  "1,2,3",        "0x10", "--1",      "1e",         "",      "5 mV",
        "nan",  "NaN",          "inf",  "-Inf",     "1e39",       "-1e39", "3.5e38",
        "1..2", "\xEF\xBC\x91", "+-3",  "1e-99999", "99999999999"};
    static const char* const keys[] = {"probe", "damping", "depth",       "lower",
                                       "upper", "offset",  "sensitivity", "date"};
    const std::string key = std::string(keys[random() % 8]) + " = ";
    const size_t at = text.find(key);
    switch (kind) {
    case 0: // truncated anywhere
        return text.substr(0, random() % text.size());
    case 1: { // binary
        std::string bytes(1 + random() % 300, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        return bytes;
    }
    case 2: // huge
        return text + std::string(64 * 1024, '#');
    case 3: // a key with a value that is no number or is out of range
        return text.substr(0, at + key.size()) + values[random() % 19] +
               text.substr(text.find('\n', at));
    case 4: // a key twice
        return text + key + "1\n";
    case 5: { // a section header missing
        static const char* const headers[] = {"[transmitter]", "[settings]", "[calibration]"};
        const size_t header = text.find(headers[random() % 3]);
        return text.erase(header, text.find('\n', header) + 1 - header);
    }
    case 6: // every byte flipped somewhere
        text[random() % text.size()] ^= static_cast<char>(1 << (random() % 8));
        return text;
    case 7: // an unknown key or section
        return text + (random() % 2 ? "[firmware]\n" : "[settings]\nrange = 5\n");
    case 8: // a byte-order mark
        return "\xEF\xBB\xBF" + text;
    default: // as it is (with CRLF or LF)
        return text;
    }
}

TEST_F(Vl4Proof, HostileSettingsFilesNeverCrashAndARefusedOneWritesNothing) {
    const int files = ProofSize(200, 5000);
    std::mt19937 random(20261207);
    const std::string path = FileNamed("hostile.txt");
    int refused = 0, loaded = 0, limited = 0;
    for (int i = 0; i < files; ++i) {
        const std::string text =
            Spoiled(random, i % 10, RandomSettings(random, i % 2 ? "\r\n" : "\n"));
        Written("hostile.txt", text);
        Requests();
        const int status = Run({"load", "COM5", path, "--with-calibration"});
        SettingsFile file;
        int line;
        std::string problem;
        const bool valid =
            ParseSettingsFile(text, file, line, problem) && text.size() <= MaxSettingsFileSize;
        if (status == ExitUsage) {
            ++refused;
            ASSERT_FALSE(valid) << text;
            ASSERT_EQ(Requests(), std::vector<std::string>{}) << text;
            ASSERT_NE(Err.Text.find(path), std::string::npos) << Err.Text;
            continue;
        }
        ASSERT_TRUE(valid) << text << "\n" << Err.Text;
        ASSERT_TRUE(status == ExitDone || status == ExitFailed) << status << "\n" << Err.Text;
        // The transmitter holds the file's values, but those it limits, which are reported.
        ++(status == ExitDone ? loaded : limited);
        if (status == ExitFailed) {
            ASSERT_NE(Err.Text.find("transmitter holds"), std::string::npos) << Err.Text;
        }
    }
    Figure("hostile settings files: %d generated, %d refused before any frame, %d loaded, "
           "%d loaded with a value the transmitter limits (reported)",
           files, refused, loaded, limited);
    EXPECT_GT(refused, files / 2);
    EXPECT_GT(loaded, 0);
}

} // namespace
