// vl4 history: the calibrations of a record unit by unit, with the date each
// unit is due again, as text, JSON or a report page.
#include "calibration/calibration_history.h"
#include "cli/command_line.h"
#include "cli/record_console.h"
#include "core/local_time.h"
#include "core/machine_text.h"
#include "core/number_text.h"
#include "core/text_encoding.h"
#include "documents/history_report.h"
#include "files/text_files.h"
#include "vl4_version.h"

#include <algorithm>

namespace {

constexpr size_t LargestRecord = 64u << 20;
constexpr int32_t LongestInterval = 36500;
constexpr int ConsoleWidth = 80;

struct HistoryOptions {
    bool OneUnit = false;
    int32_t Unit = 0;
    DueRule Rule;
};

bool ParseOptions(const Arguments& arguments, HistoryOptions& options, std::string& problem) {
    if (const std::string* unit = arguments.Value("--unit")) {
        options.OneUnit = true;
        if (!ParseInteger(unit->c_str(), options.Unit)) {
            problem = Format(_("--unit takes a production number, not {0}"), {*unit});
            return false;
        }
    }
    if (const std::string* days = arguments.Value("--interval-days")) {
        int32_t& interval = options.Rule.IntervalDays;
        if (!ParseInteger(days->c_str(), interval) || interval < 1 || interval > LongestInterval) {
            problem = Format(_("--interval-days takes a number of days from 1 to 36500, not {0}"),
                             {*days});
            return false;
        }
    }
    return true;
}

// The health words before their qualification: the table's slope column
// already shows a slope that was assumed, and writes that were not
// confirmed are all the same to the unit.
std::string ShortVerdict(const HistoryCalibration& calibration) {
    if (calibration.Unconfirmed) return _("not confirmed");
    const std::string words = calibration.Health.substr(0, calibration.Health.find(" ("));
    return words.empty() ? "-" : _(words.c_str());
}

struct TextColumn {
    const char* Heading;
    bool Right;
};
// The headings in the language; "error" is the as-found error.
const TextColumn Columns[] = {
    {N_("date"), false},  {N_("outcome"), false}, {N_("probe"), false},
    {N_("slope%"), true}, {N_("offset"), true},   {N_("error"), true},
    {N_("check"), false}, {N_("verdict"), false}, {N_("technician"), false}};
constexpr int ColumnCount = sizeof Columns / sizeof Columns[0];
const char Indent[] = "  ";

std::vector<std::string> TextCells(const HistoryCalibration& c) {
    return {PersonDate(IsoDateOfDay(c.At.Day)),
            _(c.Outcome.c_str()),
            c.Probe.empty() ? "-" : _(c.Probe.c_str()),
            Shown(c.SlopePercent, SlopeDecimals),
            Shown(c.OffsetPh7Mv, OffsetDecimals),
            Shown(c.FoundError, FoundErrorDecimals),
            c.CheckResult.empty() ? "-" : _(c.CheckResult.c_str()),
            ShortVerdict(c),
            Shown(c.Technician)};
}

std::string Aligned(const std::string& text, int width, bool right) {
    const std::string padding(std::max(0, width - CharacterCount(text)), ' ');
    return right ? padding + text : text + padding;
}

// The calibrations in columns one space apart, each as wide as its widest
// cell; the last, free text, is cut where a line would pass the console.
std::string CalibrationLines(const UnitHistory& unit) {
    std::vector<std::vector<std::string>> rows(1);
    for (const TextColumn& column : Columns) rows[0].push_back(_(column.Heading));
    for (const HistoryCalibration& calibration : unit.Calibrations) {
        rows.push_back(TextCells(calibration));
        for (std::string& cell : rows.back()) cell = OnOneLine(cell);
    }
    int widths[ColumnCount] = {};
    for (const auto& row : rows)
        for (int i = 0; i < ColumnCount; ++i)
            widths[i] = std::max(widths[i], CharacterCount(row[i]));
    std::string text;
    for (const auto& row : rows) {
        std::string line = Indent;
        for (int i = 0; i < ColumnCount; ++i)
            line += (i ? " " : "") +
                    Aligned(row[i], i + 1 < ColumnCount ? widths[i] : 0, Columns[i].Right);
        text += CutToWidth(line, ConsoleWidth) + "\n";
    }
    return text;
}

std::string UnitLine(const UnitHistory& unit, int32_t today) {
    std::string due = DueDistance(unit, today);
    if (unit.HasDue)
        due = Format(unit.Overdue ? _("due {0}, OVERDUE {1}") : _("due {0}, {1}"),
                     {PersonDate(IsoDateOfDay(unit.DueDay)), due});
    std::string name =
        OnOneLine(Shown(unit.Identification)) + " " + IntegerText(unit.ProductionNumber);
    if (!unit.Tag.empty()) {
        // The measuring point gives way to the due date on a narrow line.
        const char* pattern = _("{0} at {1}");
        const int room =
            ConsoleWidth - CharacterCount(Format(pattern, {name, ""})) - CharacterCount(due) - 2;
        name = Format(pattern, {name, CutToWidth(OnOneLine(unit.Tag), std::max(room, 1))});
    }
    return CutToWidth(name + ": " + due, ConsoleWidth) + "\n";
}

std::string AsText(const std::vector<UnitHistory>& units, int32_t today) {
    std::string text;
    for (const UnitHistory& unit : units)
        text += (text.empty() ? "" : "\n") + UnitLine(unit, today) + CalibrationLines(unit);
    return text;
}

std::string JsonText(const std::string& text) {
    return text.empty() ? "null" : JsonString(text);
}

std::string AsJson(const HistoryCalibration& c) {
    JsonObject json;
    json.Add("time", JsonString(c.Time))
        .Add("outcome", JsonString(c.Outcome))
        .Add("slope_percent", JsonFloat(c.SlopePercent))
        .Add("offset_ph7_mv", JsonFloat(c.OffsetPh7Mv))
        .Add("found_error", JsonFloat(c.FoundError))
        .Add("check_result", JsonText(c.CheckResult))
        .Add("health", JsonText(c.Health))
        .Add("technician", JsonText(c.Technician))
        .Add("confirmed", c.Unconfirmed ? "false" : "true")
        .Add("undone", c.Undone ? "true" : "false");
    return json.Text();
}

std::string AsJson(const UnitHistory& unit) {
    std::string calibrations;
    for (const HistoryCalibration& calibration : unit.Calibrations)
        calibrations += (calibrations.empty() ? "\n    " : ",\n    ") + AsJson(calibration);
    JsonObject json;
    json.Add("production_number", IntegerText(unit.ProductionNumber))
        .Add("identification", JsonText(unit.Identification))
        .Add("tag", JsonText(unit.Tag))
        .Add("due_date", unit.HasDue ? JsonString(IsoDateOfDay(unit.DueDay)) : "null")
        .Add("overdue", unit.Overdue ? "true" : "false")
        .Add("confirmed", unit.Unconfirmed ? "false" : "true")
        .Add("calibrations", "[" + calibrations + (calibrations.empty() ? "]" : "\n  ]"));
    return json.Text();
}

std::string AsJson(const std::vector<UnitHistory>& units) {
    std::string list;
    for (const UnitHistory& unit : units) list += (list.empty() ? "\n  " : ",\n  ") + AsJson(unit);
    return "{\"units\": [" + list + (list.empty() ? "]}\n" : "\n]}\n");
}

// The records named, together; a line that cannot be read is a warning.
bool ReadRecords(CommandContext& context, const std::vector<std::string>& paths, RecordBook& book,
                 int& status) {
    for (const std::string& path : paths) {
        RecordShape shape;
        std::string problem;
        if (!ReadRecordFile(path, book, shape, problem)) {
            status = ExitUsage;
            context.Err.Write("vl4: " + problem + "\n");
            return false;
        }
    }
    WarnSkipped(context, book);
    return true;
}

std::string Names(const std::vector<std::string>& paths) {
    std::string names;
    for (const std::string& path : paths) names += (names.empty() ? "" : ", ") + path;
    return names;
}

int WriteReport(CommandContext& context, const std::string& path,
                const std::vector<UnitHistory>& units, const std::string& record,
                const DueRule& rule) {
    const HistoryReportSource source = {record, LocalTime::Now().ToMinute(),
                                        "vl4 " VL4_VERSION_TEXT, rule};
    std::string problem;
    if (!ReplaceFileContent(path, HistoryReport(units, source), problem))
        return context.Fail(ExitUsage, path, Format(_("cannot write: {0}"), {problem}));
    return ExitDone;
}

int RunHistory(CommandContext& context, const Arguments& arguments) {
    HistoryOptions options;
    std::string problem;
    if (!ParseOptions(arguments, options, problem))
        return UsageError(context, HistoryCommand, problem);
    if (!ParseIsoDay(LocalTime::Now().IsoDate(), options.Rule.Today))
        return context.Fail(ExitFailed, "history", _("the PC's date is not a day of the calendar"));
    const std::string path = Names(arguments.Positional);
    RecordBook book;
    int status = ExitDone;
    if (!ReadRecords(context, arguments.Positional, book, status)) return status;
    std::vector<UnitHistory> units = ReadHistory(book, options.Rule);
    if (options.OneUnit) {
        std::vector<UnitHistory> chosen;
        for (const UnitHistory& unit : units)
            if (unit.ProductionNumber == options.Unit) chosen.push_back(unit);
        units = chosen;
    }
    const bool json = arguments.Has("--json");
    if (json)
        context.Out.Write(AsJson(units));
    else if (!units.empty())
        context.Out.Write(AsText(units, options.Rule.Today));
    if (const std::string* html = arguments.Value("--html")) {
        if ((status = WriteReport(context, *html, units, path, options.Rule))) return status;
        if (!json)
            context.Say(Format(Q_("report of {0} unit in {1}", "report of {0} units in {1}",
                                  static_cast<long>(units.size())),
                               {IntegerText(static_cast<int32_t>(units.size())), *html}));
    }
    if (options.OneUnit && units.empty())
        return context.Fail(
            ExitFailed, path,
            Format(_("no calibration of production number {0}"), {IntegerText(options.Unit)}));
    if (units.empty() && !json) context.Say(Format(_("no calibrations in {0}"), {path}));
    return ExitDone;
}

} // namespace

const CommandSpec HistoryCommand = {
    "history",
    N_("RECORD.csv... [--unit N] [--json] [--html FILE] [--interval-days N]"),
    N_("each unit's calibrations in records, and when it is due again"),
    {
        N_("Reads calibration records (vl4 calibrate --record), of this vl4 or an earlier\n"
           "one, together, and lists, unit by unit (production number), its calibrations\n"
           "oldest first: date, outcome, probe, the slope as a percentage of the ideal\n"
           "electrode (where it was measured), the offset at pH 7 (mV), the as-found error\n"
           "(the transmitter's reading in the first standard before the calibration, less\n"
           "the standard's value at the temperature), the check, the verdict on the probe\n"
           "and the technician. A unit holds its last calibration whose writes the\n"
           "transmitter confirmed (its check may have failed); an undo puts the one before\n"
           "back. It is due on the due date of that calibration, or its date plus\n"
           "--interval-days, and OVERDUE when that day is past. A unit whose last writes\n"
           "were not confirmed has no due date: \"not confirmed: read the unit\". The units\n"
           "come in that order: those not confirmed, the overdue ones, the others by due\n"
           "date, those without one last. A file that is no calibration record is refused\n"
           "(exit status 2); a line that cannot be read is named as a warning and passed\n"
           "over.\n"),
        N_("  --unit N             only the unit with production number N (exit status 1\n"
           "                       when the record has none)\n"
           "  --json               JSON for programs: the units, each with its due date (or\n"
           "                       null), overdue, confirmed and its calibrations; exact\n"
           "                       numbers, null where the record has none\n"
           "  --html FILE          also a report page for people: the units, the overdue\n"
           "                       ones first, then a sheet per unit with its calibrations\n"
           "                       and a trend of slope and offset against their limits;\n"
           "                       one file, which any browser opens offline and prints\n"
           "  --interval-days N    the due date of a calibration whose line gives none: N\n"
           "                       days after it (1 to 36500)\n"),
    },
    1,
    -1,
    {{"--unit", "N", false},
     {"--json", nullptr, false},
     {"--html", "FILE", false},
     {"--interval-days", "N", false}},
    RunHistory,
};
