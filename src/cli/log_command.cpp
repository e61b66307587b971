// vl4 log: the live values with time stamps, into a CSV file that stays
// whole up to its last line, and a trend picture when the log ends.
#include "cli/command_line.h"
#include "cli/local_time.h"
#include "cli/machine_text.h"
#include "cli/pacer.h"
#include "cli/text_files.h"
#include "cli/transmitter_session.h"
#include "cli/trend_svg.h"
#include "core/number_text.h"

namespace {

constexpr float ShortestPeriod = 0.1f, LongestPeriod = 86400.0f; // seconds
// Samples in a row without any answer before the log gives up: the cable is
// out or the transmitter is off.
constexpr int DeadSamples = 10;
const char CsvHeader[] = "time,voltage_mv,value,ratio_percent\n";

struct LogOptions {
    int PeriodMs = 1000;
    int32_t Count = 0; // 0: until Ctrl+C
    const std::string* CsvPath = nullptr;
    const std::string* SvgPath = nullptr;
};

bool ParseOptions(const Arguments& arguments, LogOptions& options, std::string& problem) {
    if (const std::string* every = arguments.Value("--every")) {
        float seconds;
        if (!ParseNumber(every->c_str(), seconds) || !(seconds >= ShortestPeriod) ||
            !(seconds <= LongestPeriod)) {
            problem = "--every takes seconds from 0.1 to 86400, not " + *every;
            return false;
        }
        options.PeriodMs = static_cast<int>(seconds * 1000.0f + 0.5f);
    }
    if (const std::string* count = arguments.Value("--count")) {
        if (!ParseInteger(count->c_str(), options.Count) || options.Count < 1) {
            problem = "--count takes a number of samples from 1, not " + *count;
            return false;
        }
    }
    options.CsvPath = arguments.Value("--out");
    options.SvgPath = arguments.Value("--svg");
    return true;
}

// One sample: the three reads, each on its own, so that a failed one leaves
// its cell empty and never repeats an old value.
TrendSample Sample(TransmitterLink& link, double seconds) {
    TrendSample sample = {seconds, {}, {}};
    float ratio = 0.0f;
    sample.Read[0] = link.GetProbeVoltage(sample.Values[0]);
    sample.Read[1] = link.GetMeasuredValue(sample.Values[1]);
    sample.Read[2] = link.GetRatio(ratio);
    sample.Values[2] = ratio * 100.0f;
    return sample;
}

bool AnyRead(const TrendSample& sample) {
    return sample.Read[0] || sample.Read[1] || sample.Read[2];
}

std::string CsvRow(const std::string& time, const TrendSample& sample) {
    std::vector<std::string> fields = {time};
    for (int i = 0; i < TrendSample::Series; ++i)
        fields.push_back(sample.Read[i] ? ExactText(sample.Values[i]) : "");
    return CsvLine(fields);
}

std::string Shown(const TrendSample& sample, int series, int decimals, const char* unit) {
    return (sample.Read[series] ? FixedText(sample.Values[series], decimals) : "-") + unit;
}

// What a person watching the console sees, replaced with each sample.
std::string Status(const std::string& time, const TrendSample& sample, int count) {
    return time.substr(11, 12) + "  " + Shown(sample, 0, 3, " mV") + "  value " +
           Shown(sample, 1, 2, "") + "  ratio " + Shown(sample, 2, 2, " %") + "  (" +
           IntegerText(count) + ")";
}

class Log {
public:
    Log(CommandContext& context, TransmitterSession& session, const LogOptions& options)
        : Context(context), Session(session), Options(options), Line(context.Out) {}

    int Run() {
        if (Options.CsvPath && !OpenCsv()) return ExitUsage;
        // Without a file, CSV goes to standard output when a program reads it.
        CsvToOutput = !Options.CsvPath && !Context.Out.IsConsole();
        if (CsvToOutput) Context.Out.Write(CsvHeader);
        Since = LocalTime::Now().IsoWithMilliseconds();
        const int status = Loop();
        Line.Finish();
        return Finish(status);
    }

private:
    bool OpenCsv() {
        std::string problem;
        if (!Csv.Open(*Options.CsvPath, problem) || (Csv.IsEmpty() && !Csv.Append(CsvHeader))) {
            Context.Fail(ExitUsage, *Options.CsvPath, "cannot write: " + problem);
            return false;
        }
        return true;
    }

    int Loop() {
        Pacer pacer{std::chrono::milliseconds(Options.PeriodMs)};
        int dead = 0;
        for (;;) {
            const std::string time = LocalTime::Now().IsoWithMilliseconds();
            const TrendSample sample = Sample(Session.Link, pacer.Elapsed());
            Samples.push_back(sample);
            FailedReads += !sample.Read[0] + !sample.Read[1] + !sample.Read[2];
            if (!Record(time, sample)) return ExitFailed;
            dead = AnyRead(sample) ? 0 : dead + 1;
            if (dead >= DeadSamples)
                return Context.Fail(ExitFailed, Session.Port,
                                    "the transmitter stopped answering (" +
                                        IntegerText(DeadSamples) + " samples without a reply)");
            if (Options.Count && static_cast<int32_t>(Samples.size()) >= Options.Count)
                return ExitDone;
            if (!pacer.WaitForNext(Context.Stop) || Context.Stop.Requested())
                return ExitInterrupted;
        }
    }

    // False when the row could not be written: the log ends, as nobody
    // would see what it reads from then on.
    bool Record(const std::string& time, const TrendSample& sample) {
        const std::string row = CsvRow(time, sample);
        if (CsvToOutput) Context.Out.Write(row);
        if (CsvToOutput && Context.Out.Failed()) {
            Context.Fail(ExitFailed, "standard output",
                         "cannot write: " + Context.Out.Problem() + "; log ended");
            return false;
        }
        if (Options.CsvPath && !Csv.Append(row)) {
            Context.Fail(ExitFailed, *Options.CsvPath,
                         "cannot write: " + Csv.Problem() + "; log ended");
            return false;
        }
        Line.Show(Status(time, sample, static_cast<int>(Samples.size())));
        return true;
    }

    int Finish(int status) {
        if (Options.SvgPath) {
            const std::string title = "VL4 on " + Session.Port;
            std::string problem;
            if (!ReplaceFileContent(*Options.SvgPath, TrendSvg(Samples, title, Since), problem))
                status = Context.Fail(ExitFailed, *Options.SvgPath, "cannot write: " + problem);
        }
        const int32_t reads = static_cast<int32_t>(Samples.size()) * TrendSample::Series;
        if (!CsvToOutput)
            Context.Say("logged " + IntegerText(static_cast<int32_t>(Samples.size())) +
                        " samples, " + IntegerText(FailedReads) + " failed reads" +
                        (Options.CsvPath ? " into " + *Options.CsvPath : ""));
        if (status == ExitInterrupted) Context.Fail(status, Session.Port, "interrupted");
        // Empty cells are no complete log: a script must not take it for one.
        if (status == ExitDone && FailedReads > 0)
            status = Context.Fail(ExitFailed, Session.Port,
                                  IntegerText(FailedReads) + " of " + IntegerText(reads) +
                                      " reads failed; their cells are empty");
        return status;
    }

    CommandContext& Context;
    TransmitterSession& Session;
    const LogOptions& Options;
    StatusLine Line;
    AppendingFile Csv;
    bool CsvToOutput = false;
    std::string Since;
    std::vector<TrendSample> Samples;
    int FailedReads = 0;
};

int RunLog(CommandContext& context, const Arguments& arguments) {
    LogOptions options;
    std::string problem;
    if (!ParseOptions(arguments, options, problem)) return UsageError(context, LogCommand, problem);
    TransmitterSession session;
    if (int status = session.Open(context, arguments.Positional[0])) return status;
    Log log(context, session, options);
    return log.Run();
}

} // namespace

const CommandSpec LogCommand = {
    "log",
    "PORT [--every SECONDS] [--count N] [--out FILE.csv] [--svg FILE.svg]",
    "the live values (voltage, value, ratio) with time stamps",
    "Reads the probe voltage, the measured value and the ratio every SECONDS until N\n"
    "samples are taken or Ctrl+C ends the log. Each sample is a CSV line: the local\n"
    "time (ISO 8601 with milliseconds and the offset from UTC), voltage_mv, value\n"
    "and ratio_percent, written\n"
    "at once, so that a file cut short by a pulled cable or an ended program is\n"
    "whole up to its last line. A read that fails leaves its field empty. A console\n"
    "shows one line that each sample updates; without --out, CSV goes to standard\n"
    "output when that is a pipe or a file. The log gives up, with exit status 1,\n"
    "after 10 samples in a row without any answer. The exit status is 1 too when\n"
    "any read failed, and when the CSV cannot be written (a full disk, a program\n"
    "reading the output that has ended): the log ends at once.\n"
    "\n"
    "  --every SECONDS   time between samples, 0.1 to 86400 (default 1)\n"
    "  --count N         stop after N samples (default: until Ctrl+C)\n"
    "  --out FILE.csv    append the samples to FILE.csv (a header when it is new)\n"
    "  --svg FILE.svg    when the log ends, a trend picture of the three values, each\n"
    "                    on its own scaled axis, with gaps where reads failed\n",
    1,
    1,
    {{"--every", "SECONDS", false},
     {"--count", "N", false},
     {"--out", "FILE.csv", false},
     {"--svg", "FILE.svg", false}},
    RunLog,
};
