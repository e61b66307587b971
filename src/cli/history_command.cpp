// vl4 history: the calibrations of a record unit by unit, with the date each
// unit is due again, as text, JSON or a report page.
#include "cli/calibration_history.h"
#include "cli/command_line.h"
#include "cli/history_report.h"
#include "core/local_time.h"
#include "core/machine_text.h"
#include "core/number_text.h"
#include "core/text_encoding.h"
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
        if (!ParseInteger(unit->c_str(), options.Unit) || options.Unit < 0) {
            problem = "--unit takes a production number, not " + *unit;
            return false;
        }
    }
    if (const std::string* days = arguments.Value("--interval-days")) {
        int32_t& interval = options.Rule.IntervalDays;
        if (!ParseInteger(days->c_str(), interval) || interval < 1 || interval > LongestInterval) {
            problem = "--interval-days takes a number of days from 1 to 36500, not " + *days;
            return false;
        }
    }
    return true;
}

// The health words before their qualification in brackets: the table's
// slope column already shows a slope that was assumed.
std::string ShortVerdict(const std::string& health) {
    return Shown(health.substr(0, health.find(" (")));
}

struct TextColumn {
    const char* Heading;
    bool Right;
};
const TextColumn Columns[] = {{"date", false},  {"outcome", false}, {"probe", false},
                              {"slope%", true}, {"offset", true},   {"found", true},
                              {"check", false}, {"verdict", false}, {"technician", false}};
constexpr int ColumnCount = sizeof Columns / sizeof Columns[0];
const char Indent[] = "  ";

std::vector<std::string> TextCells(const HistoryCalibration& c) {
    return {IsoDateOfDay(c.At.Day),
            c.Outcome,
            Shown(c.Probe),
            Shown(c.SlopePercent, SlopeDecimals),
            Shown(c.OffsetPh7Mv, OffsetDecimals),
            Shown(c.FoundError, FoundErrorDecimals),
            Shown(c.CheckResult),
            ShortVerdict(c.Health),
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
    for (const TextColumn& column : Columns) rows[0].push_back(column.Heading);
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
    std::string due;
    if (unit.HasDue)
        due = "due " + IsoDateOfDay(unit.DueDay) + (unit.Overdue ? ", OVERDUE " : ", ") +
              DueDistance(unit, today);
    else
        due = DueDistance(unit, today);
    const std::string name =
        OnOneLine(Shown(unit.Identification)) + " " + IntegerText(unit.ProductionNumber);
    std::string tag;
    if (!unit.Tag.empty()) {
        // The measuring point gives way to the due date on a narrow line.
        const int room = ConsoleWidth - CharacterCount(name) - CharacterCount(due) - 6;
        tag = " at " + CutToWidth(OnOneLine(unit.Tag), std::max(room, 1));
    }
    return CutToWidth(name + tag + ": " + due, ConsoleWidth) + "\n";
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
        .Add("technician", JsonText(c.Technician));
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
        .Add("calibrations", "[" + calibrations + (calibrations.empty() ? "]" : "\n  ]"));
    return json.Text();
}

std::string AsJson(const std::vector<UnitHistory>& units) {
    std::string list;
    for (const UnitHistory& unit : units) list += (list.empty() ? "\n  " : ",\n  ") + AsJson(unit);
    return "{\"units\": [" + list + (list.empty() ? "]}\n" : "\n]}\n");
}

bool ReadRecord(CommandContext& context, const std::string& path, const DueRule& rule,
                std::vector<UnitHistory>& units, int& status) {
    std::string content, problem;
    const FileRead read = ReadWholeFile(path, LargestRecord, content, problem);
    if (read != FileRead::Done) {
        status = context.Fail(ExitUsage, path,
                              read == FileRead::TooLarge ? "larger than 64 MiB"
                                                         : "cannot read: " + problem);
        return false;
    }
    std::vector<RecordRow> rows;
    int line = 0;
    if (!ParseRecord(content, rows, line, problem) ||
        !ReadHistory(rows, rule, units, line, problem)) {
        status = context.Fail(ExitUsage, path + ":" + IntegerText(line), problem);
        return false;
    }
    return true;
}

int WriteReport(CommandContext& context, const std::string& path,
                const std::vector<UnitHistory>& units, const std::string& record,
                const DueRule& rule) {
    const HistoryReportSource source = {record, LocalTime::Now().ToMinute(),
                                        "vl4 " VL4_VERSION_TEXT, rule};
    std::string problem;
    if (!ReplaceFileContent(path, HistoryReport(units, source), problem))
        return context.Fail(ExitUsage, path, "cannot write: " + problem);
    return ExitDone;
}

int RunHistory(CommandContext& context, const Arguments& arguments) {
    HistoryOptions options;
    std::string problem;
    if (!ParseOptions(arguments, options, problem))
        return UsageError(context, HistoryCommand, problem);
    if (!ParseIsoDay(LocalTime::Now().IsoDate(), options.Rule.Today))
        return context.Fail(ExitFailed, "history", "the PC's date is not a day of the calendar");
    const std::string& path = arguments.Positional[0];
    std::vector<UnitHistory> units;
    int status = ExitDone;
    if (!ReadRecord(context, path, options.Rule, units, status)) return status;
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
            context.Say("report of " + IntegerText(static_cast<int32_t>(units.size())) +
                        (units.size() == 1 ? " unit in " : " units in ") + *html);
    }
    if (options.OneUnit && units.empty())
        return context.Fail(ExitFailed, path,
                            "no calibration of production number " + IntegerText(options.Unit));
    if (units.empty() && !json) context.Say("no calibrations in " + path);
    return ExitDone;
}

} // namespace

const CommandSpec HistoryCommand = {
    "history",
    "RECORD.csv [--unit N] [--json] [--html FILE] [--interval-days N]",
    "each unit's calibrations in a record, and when it is due again",
    "Reads a calibration record (vl4 calibrate --record) and lists, unit by unit\n"
    "(production number), its calibrations oldest first: date, outcome, probe, the\n"
    "slope as a percentage of the ideal electrode, the offset at pH 7 (mV), the\n"
    "as-found error (the transmitter's reading in the first standard before the\n"
    "calibration, less the standard's value at the temperature), the check, the\n"
    "verdict on the probe and the technician. A unit is due on the due date of the\n"
    "last calibration it holds (written; its check may have failed; an undo puts\n"
    "the one before back), or that calibration's date plus --interval-days, and\n"
    "OVERDUE when that day is past. The units come in that order: the overdue ones\n"
    "first, those without a due date last. A record of another layout is refused\n"
    "with its line (exit status 2).\n"
    "\n"
    "  --unit N             only the unit with production number N (exit status 1\n"
    "                       when the record has none)\n"
    "  --json               JSON for programs: the units, each with its due date (or\n"
    "                       null), overdue and its calibrations; exact numbers, null\n"
    "                       where the record has none\n"
    "  --html FILE          also a report page for people: the units, the overdue\n"
    "                       ones first, then a sheet per unit with its calibrations\n"
    "                       and a trend of slope and offset against their limits;\n"
    "                       one file, which any browser opens offline and prints\n"
    "  --interval-days N    the due date of a calibration whose line gives none: N\n"
    "                       days after it (1 to 36500)\n",
    1,
    1,
    {{"--unit", "N", false},
     {"--json", nullptr, false},
     {"--html", "FILE", false},
     {"--interval-days", "N", false}},
    RunHistory,
};
