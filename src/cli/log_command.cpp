// vl4 log: the live values with time stamps, into a CSV file that stays
// whole up to its last line, and a trend picture when the log ends.
#include "cli/command_line.h"
#include "cli/spreadsheet_dialect.h"
#include "cli/transmitter_session.h"
#include "core/csv_reader.h"
#include "core/local_time.h"
#include "core/machine_text.h"
#include "core/number_text.h"
#include "core/pacer.h"
#include "documents/trend_svg.h"
#include "files/text_files.h"

namespace {

constexpr float ShortestPeriod = 0.1f, LongestPeriod = 86400.0f;   // seconds
constexpr float ShortestGiveUp = 1.0f, LongestGiveUp = 2592000.0f; // seconds: 30 days
// Samples in a row without any answer before the log takes the transmitter
// for gone (a cable out, an adapter reset) and its port is opened again.
constexpr int DeadSamples = 3;
constexpr std::chrono::seconds RetryPeriod{2};
// The decimals the console shows of the voltage, the value and the ratio.
constexpr int ShownDecimals[TrendSample::Series] = {3, 2, 2};
const char ByteOrderMark[] = "\xEF\xBB\xBF";
const std::vector<std::string> Columns = {"time", "voltage_mv", "value", "ratio_percent"};
// Of a file's first line, more than any header of a log; enough to show what it is.
constexpr size_t LongestFirstLine = 512;

struct LogOptions {
    int PeriodMs = 1000;
    int32_t Count = 0; // 0: until Ctrl+C
    const std::string* CsvPath = nullptr;
    const std::string* SvgPath = nullptr;
    bool Excel = false; // the numbers as the console shows them, in the locale's dialect
    CsvDialect Dialect;
    float GiveUpSeconds = 0.0f; // 0: never
};

bool ParseSeconds(const Arguments& arguments, const char* option, float lowest, float highest,
                  float& seconds, std::string& problem) {
    const std::string* given = arguments.Value(option);
    if (!given) return true;
    if (ParseNumber(given->c_str(), seconds) && seconds >= lowest && seconds <= highest)
        return true;
    problem =
        Format(_("{0} takes seconds from {1} to {2}, not {3}"),
               {option, PersonNumber(ExactText(lowest)), PersonNumber(ExactText(highest)), *given});
    return false;
}

bool ParseOptions(const Arguments& arguments, LogOptions& options, std::string& problem) {
    float period = 1.0f;
    if (!ParseSeconds(arguments, "--every", ShortestPeriod, LongestPeriod, period, problem) ||
        !ParseSeconds(arguments, "--give-up-after", ShortestGiveUp, LongestGiveUp,
                      options.GiveUpSeconds, problem))
        return false;
    options.PeriodMs = static_cast<int>(period * 1000.0f + 0.5f);
    if (const std::string* count = arguments.Value("--count")) {
        if (!ParseInteger(count->c_str(), options.Count) || options.Count < 1) {
            problem = Format(_("--count takes a number of samples from 1, not {0}"), {*count});
            return false;
        }
    }
    options.CsvPath = arguments.Value("--out");
    options.SvgPath = arguments.Value("--svg");
    options.Excel = arguments.Has("--excel");
    if (options.Excel) options.Dialect = SpreadsheetDialect();
    return true;
}

// One sample: the three reads, each on its own, so that a failed one leaves
// its cell empty and never repeats an old value. Once the system reports the
// port failing, the reads after are not tried: each would wait out its time-out.
TrendSample Sample(TransmitterLink& link, double seconds) {
    TrendSample sample = {seconds, {}, {}};
    float ratio = 0.0f;
    sample.Read[0] = link.GetProbeVoltage(sample.Values[0]);
    sample.Read[1] = !link.Port->Fault && link.GetMeasuredValue(sample.Values[1]);
    sample.Read[2] = !link.Port->Fault && link.GetRatio(ratio);
    sample.Values[2] = ratio * 100.0f;
    return sample;
}

bool AnyRead(const TrendSample& sample) {
    return sample.Read[0] || sample.Read[1] || sample.Read[2];
}

std::string CsvHeader(const LogOptions& options) {
    return CsvLine(Columns, options.Dialect);
}

std::string RowText(const std::string& time, const TrendSample& sample, const LogOptions& options) {
    std::vector<std::string> fields = {time};
    for (int i = 0; i < TrendSample::Series; ++i)
        fields.push_back(!sample.Read[i] ? ""
                         : options.Excel ? FixedText(sample.Values[i], ShownDecimals[i],
                                                     options.Dialect.DecimalSymbol)
                                         : ExactText(sample.Values[i]));
    return CsvLine(fields, options.Dialect);
}

std::string Shown(const TrendSample& sample, int series) {
    return sample.Read[series] ? Decimal(sample.Values[series], ShownDecimals[series]) : "-";
}

// What a person watching the console sees, replaced with each sample.
std::string Status(const std::string& time, const TrendSample& sample, int count) {
    return time.substr(11, 12) + "  " +
           Format(_("{0} mV  value {1}  ratio {2} %  ({3})"),
                  {Shown(sample, 0), Shown(sample, 1), Shown(sample, 2), IntegerText(count)});
}

std::string NewFileStart(const LogOptions& options) {
    return options.Dialect.ByteOrderMark ? ByteOrderMark : "";
}

const char* LineEndOf(const std::string& line) {
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) return "\r\n";
    return !line.empty() && line.back() == '\n' ? "\n" : "";
}

// "with a byte-order mark and CRLF"
std::string FormOf(const std::string& line) {
    const std::string end = LineEndOf(line);
    const bool mark = line.compare(0, 3, ByteOrderMark) == 0;
    if (end == "\r\n") return mark ? _("with a byte-order mark and CRLF") : _("with CRLF");
    if (end == "\n") return mark ? _("with a byte-order mark and LF") : _("with LF");
    return mark ? _("with a byte-order mark and no line end") : _("with no line end");
}

// Before the first frame: a file that holds anything must be a log of these
// columns in this dialect (read as the one CSV reader reads it: separator,
// byte-order mark, line end), or the rows would land among another file's
// lines or in another form than its header's. A new or empty file gets the
// header.
int OpenCsv(CommandContext& context, const LogOptions& options, AppendingFile& csv) {
    const std::string& path = *options.CsvPath;
    const std::string header = NewFileStart(options) + CsvHeader(options);
    std::string problem;
    if (!csv.Open(path, problem))
        return context.Fail(ExitUsage, path, Format(_("cannot write: {0}"), {problem}));
    if (csv.IsEmpty()) {
        if (csv.Append(header)) return ExitDone;
        return context.Fail(ExitUsage, path, Format(_("cannot write: {0}"), {csv.Problem()}));
    }
    std::string line;
    if (!csv.FirstLine(LongestFirstLine, line))
        return context.Fail(ExitUsage, path, Format(_("cannot read: {0}"), {csv.Problem()}));
    CsvReader reader(line);
    CsvRow row;
    const bool columns = reader.Next(row) && row.Problem.empty() && row.Fields == Columns;
    const std::string end = LineEndOf(line);
    // A header that lost its line end gets the rows' one before them.
    if (columns && std::string(1, reader.Separator()) == options.Dialect.Separator &&
        reader.ByteOrderMark() == options.Dialect.ByteOrderMark &&
        (end.empty() || end == options.Dialect.LineEnd))
        return ExitDone;
    const std::string what =
        columns
            ? Format(_("its first line is {0} {1}; this log writes {2} {3}"),
                     {ShownFirstLine(line), FormOf(line), ShownFirstLine(header), FormOf(header)})
            : Format(_("its first line is {0}"), {ShownFirstLine(line)});
    return context.Fail(
        ExitUsage, path,
        Format(_("not a log of vl4 in this dialect ({0}); give another file"), {what}));
}

class Log {
public:
    Log(CommandContext& context, TransmitterSession& session, const LogOptions& options,
        AppendingFile& csv)
        : Context(context), Session(session), Options(options), Line(context.Out), Csv(csv) {}

    int Run() {
        // What tells the same unit from another when the port comes back.
        if (!Session.Link.GetProductionNumber(Production))
            return Session.NoAnswer(Context, _("no answer reading the production number"));
        // Without a file, CSV goes to standard output when a program reads it.
        CsvToOutput = !Options.CsvPath && !Context.Out.IsConsole();
        if (CsvToOutput) Context.Out.Write(NewFileStart(Options) + CsvHeader(Options));
        Since = LocalTime::Now().IsoWithMilliseconds();
        const int status = Loop();
        Line.Finish();
        return Finish(status);
    }

private:
    using TimePoint = Pacer::TimePoint;

    int Loop() {
        Pacer pacer{std::chrono::milliseconds(Options.PeriodMs)};
        for (;;) {
            const std::string time = LocalTime::Now().IsoWithMilliseconds();
            // While the port is away the row stays, with empty cells at its
            // time, so that the file keeps its time grid and the picture its gap.
            const TrendSample sample = Online ? Sample(Session.Link, pacer.Elapsed())
                                              : TrendSample{pacer.Elapsed(), {}, {}};
            ++Taken;
            if (Options.SvgPath) Trend.Add(sample);
            FailedReads += !sample.Read[0] + !sample.Read[1] + !sample.Read[2];
            if (!Record(time, sample)) return ExitFailed;
            if (Online) WatchLine(sample);
            if (Options.Count && Taken >= Options.Count) return ExitDone;
            if (int status = WaitForNext(pacer)) return status;
        }
    }

    // False when the row could not be written: the log ends, as nobody
    // would see what it reads from then on.
    bool Record(const std::string& time, const TrendSample& sample) {
        const std::string row = RowText(time, sample, Options);
        if (CsvToOutput) Context.Out.Write(row);
        if (CsvToOutput && Context.Out.Failed()) {
            Context.Fail(ExitFailed, _("standard output"),
                         Format(_("cannot write: {0}; log ended"), {Context.Out.Problem()}));
            return false;
        }
        if (Options.CsvPath && !Csv.Append(row)) {
            Context.Fail(ExitFailed, *Options.CsvPath,
                         Format(_("cannot write: {0}; log ended"), {Csv.Problem()}));
            return false;
        }
        Line.Show(Online ? Status(time, sample, Taken) : Away());
        return true;
    }

    // A port that the system reports failing, or samples without any answer,
    // and the port is closed, to be opened again every RetryPeriod.
    void WatchLine(const TrendSample& sample) {
        Dead = AnyRead(sample) ? 0 : Dead + 1;
        const DWORD fault = Session.Link.Port->Fault;
        if (Dead < DeadSamples && !fault) return;
        Session.Link.Close();
        Online = false;
        Dead = 0;
        LostAt = Clock::Current().Now();
        NextTry = LostAt + RetryPeriod;
        Line.Finish();
        // The trace is read by support in English; the person in the language.
        const std::string every = IntegerText(static_cast<int32_t>(RetryPeriod.count()));
        if (fault) {
            Session.Watch.Note("the port reports a failure (" + EnglishSystemProblem(fault) +
                               "); port closed");
            Context.Warn(Session.Port,
                         Format(_("the port reports a failure ({0}); reconnecting every {1} s"),
                                {SystemProblem(fault), every}));
        } else {
            const std::string samples = IntegerText(DeadSamples);
            Session.Watch.Note("no answer for " + samples + " samples; port closed");
            Context.Warn(
                Session.Port,
                Format(Q_("no answer for {0} sample; reconnecting every {1} s",
                          "no answer for {0} samples; reconnecting every {1} s", DeadSamples),
                       {samples, every}));
        }
    }

    // Until the next sample is due; while the port is away, it is tried
    // meanwhile. ExitDone to go on with the log.
    int WaitForNext(Pacer& pacer) {
        const TimePoint due = pacer.NextDue();
        while (!Online) {
            if (Options.GiveUpSeconds > 0 && AwaySeconds() >= Options.GiveUpSeconds)
                return Ended(N_("no transmitter on {0} for {1} s"),
                             {Session.Port, IntegerText(AwaySeconds())});
            if (NextTry > due) break;
            if (!Pacer::WaitUntil(Context.Stop, NextTry) || Context.Stop.Requested())
                return ExitInterrupted;
            if (int status = TryAgain()) return status;
        }
        if (!Pacer::WaitUntil(Context.Stop, due) || Context.Stop.Requested())
            return ExitInterrupted;
        return ExitDone;
    }

    // Opens the port again and asks who answers: the same unit goes on with
    // the log, another one or a foreign device ends it; no answer is tried
    // again later. ExitDone to go on.
    int TryAgain() {
        NextTry = Clock::Current().Now() + RetryPeriod;
        const Connection connection = Session.Connect(Session.Port);
        LONG production = 0;
        if (connection == Connection::Identified && Session.Link.GetProductionNumber(production)) {
            if (production != Production)
                return Ended(N_("another transmitter on {0} (production number {1}, was {2})"),
                             {Session.Port, IntegerText(production), IntegerText(Production)});
            return Back();
        }
        if (connection == Connection::Foreign)
            return Ended(N_("the device on {0} answers as \"{1}\", not as a VL4 transmitter"),
                         {Session.Port, Session.Identification});
        Session.Link.Close();
        Line.Show(Away());
        return ExitDone;
    }

    int Back() {
        Online = true;
        ++Reconnects;
        Line.Finish();
        const std::string seconds = IntegerText(AwaySeconds());
        Session.Watch.Note("reconnected after " + seconds + " s");
        Context.Note(Format(_("reconnected to {0} after {1} s"), {Session.Port, seconds}));
        return ExitDone;
    }

    // Why, as a pattern marked for the catalog: in English in the trace.
    int Ended(const char* why, std::initializer_list<std::string> arguments) {
        Session.Link.Close();
        Line.Finish();
        Session.Watch.Note(Format(why, arguments) + "; log ended");
        return Context.Fail(ExitFailed, "log",
                            Format(_("{0}; log ended"), {Format(Translated(why), arguments)}));
    }

    int32_t AwaySeconds() const {
        return static_cast<int32_t>(
            std::chrono::duration_cast<std::chrono::seconds>(Clock::Current().Now() - LostAt)
                .count());
    }

    std::string Away() const {
        return Format(_("reconnecting to {0} ({1} s)"), {Session.Port, IntegerText(AwaySeconds())});
    }

    int Finish(int status) {
        if (Options.SvgPath) {
            const std::string title = Format(_("VL4 on {0}"), {Session.Port});
            std::string problem;
            if (!ReplaceFileContent(*Options.SvgPath, TrendSvg(Trend, title, Since), problem))
                status = Context.Fail(ExitFailed, *Options.SvgPath,
                                      Format(_("cannot write: {0}"), {problem}));
        }
        const int32_t reads = Taken * TrendSample::Series;
        if (!CsvToOutput) {
            const std::string samples =
                Format(Q_("{0} sample", "{0} samples", Taken), {IntegerText(Taken)});
            const std::string failed = Format(
                Q_("{0} failed read", "{0} failed reads", FailedReads), {IntegerText(FailedReads)});
            Context.Say(Options.CsvPath ? Format(_("logged {0}, {1} into {2}"),
                                                 {samples, failed, *Options.CsvPath})
                                        : Format(_("logged {0}, {1}"), {samples, failed}));
        }
        Context.Note(
            Session.Port + ": " + Session.Watch.CountsText() + ", " +
            Format(Q_("{0} reconnect", "{0} reconnects", Reconnects), {IntegerText(Reconnects)}) +
            "; " + Session.Watch.ReplyTimeText());
        if (status == ExitInterrupted) Context.Fail(status, Session.Port, _("interrupted"));
        // Empty cells are no complete log: a script must not take it for one.
        if (status == ExitDone && FailedReads > 0)
            status = Context.Fail(
                ExitFailed, Session.Port,
                Format(Q_("{0} of {1} reads failed; its cell is empty",
                          "{0} of {1} reads failed; their cells are empty", FailedReads),
                       {IntegerText(FailedReads), IntegerText(reads)}));
        return status;
    }

    CommandContext& Context;
    TransmitterSession& Session;
    const LogOptions& Options;
    StatusLine Line;
    AppendingFile& Csv; // open when Options.CsvPath names it
    bool CsvToOutput = false;
    std::string Since;
    TrendSummary Trend; // fed only when --svg asks for a picture
    int32_t Taken = 0;  // samples
    int32_t FailedReads = 0;
    LONG Production = 0;
    bool Online = true;
    int Dead = 0; // samples in a row without any answer
    TimePoint LostAt, NextTry;
    int32_t Reconnects = 0;
};

int RunLog(CommandContext& context, const Arguments& arguments) {
    LogOptions options;
    std::string problem;
    if (!ParseOptions(arguments, options, problem)) return UsageError(context, LogCommand, problem);
    AppendingFile csv;
    if (options.CsvPath)
        if (int status = OpenCsv(context, options, csv)) return status;
    TransmitterSession session;
    if (int status = session.Open(context, arguments.Positional[0])) return status;
    Log log(context, session, options, csv);
    return log.Run();
}

} // namespace

const CommandSpec LogCommand = {
    "log",
    N_("PORT [--every SECONDS] [--count N] [--out FILE.csv] [--svg FILE.svg] [OPTIONS]"),
    N_("the live values (voltage, value, ratio) with time stamps"),
    {
        N_("Reads the probe voltage, the measured value and the ratio every SECONDS until N\n"
           "samples are taken or Ctrl+C ends the log. Each sample is a CSV line: the local\n"
           "time (ISO 8601 with milliseconds and the offset from UTC), voltage_mv, value\n"
           "and ratio_percent, written at once, so that a file cut short by a pulled cable\n"
           "or an ended program is whole up to its last line. A read that fails leaves its\n"
           "field empty. A console shows one line that each sample updates; without --out,\n"
           "CSV goes to standard output when that is a pipe or a file.\n"),
        N_("When 3 samples in a row get no answer, or the system reports the port failing\n"
           "(a serial adapter pulled out), the log closes the port and opens it again every\n"
           "2 s; the samples meanwhile are lines with empty fields at their times. When the\n"
           "same transmitter answers again (its production number), the log goes on; another\n"
           "one or a foreign device ends it. The end of a log gives the link's counts on\n"
           "standard error: transactions, time-outs, bad frames, late bytes discarded,\n"
           "reconnects, and the reply time's median and maximum.\n"),
        N_("The exit status is 1 when any read failed, when the log ended for another\n"
           "device or after --give-up-after, and when the CSV cannot be written (a full\n"
           "disk, a program reading the output that has ended): the log ends at once.\n"),
        N_("  --every SECONDS   time between samples, 0.1 to 86400 (default 1)\n"
           "  --count N         stop after N samples (default: until Ctrl+C)\n"
           "  --out FILE.csv    append the samples to FILE.csv (a header when it is new or\n"
           "                    empty); a file that holds anything but a log in this form\n"
           "                    (with or without --excel) is refused before the port opens\n"
           "  --excel           CSV for a spreadsheet: the Windows locale's list separator\n"
           "                    and decimal symbol (; and , for Czech), a UTF-8 byte-order\n"
           "                    mark, CRLF, the numbers as the console shows them; without\n"
           "                    it, CSV for programs: comma, point, the exact floats\n"
           "  --svg FILE.svg    when the log ends, a trend picture of the three values, each\n"
           "                    on its own scaled axis, with gaps where reads failed\n"
           "  --give-up-after SECONDS\n"
           "                    end the log when the port has stayed away that long, 1 to\n"
           "                    2592000 (default: never)\n"),
    },
    1,
    1,
    {{"--every", "SECONDS", false},
     {"--count", "N", false},
     {"--out", "FILE.csv", false},
     {"--excel", nullptr, false},
     {"--svg", "FILE.svg", false},
     {"--give-up-after", "SECONDS", false}},
    RunLog,
};
