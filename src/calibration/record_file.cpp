#include "calibration/record_file.h"

#include "calibration/record_layout.h"
#include "core/calendar_time.h"
#include "core/csv_reader.h"
#include "core/language.h"
#include "core/machine_text.h"
#include "files/text_files.h"

namespace {

// A record grows by a line per calibration; far beyond what a bench makes in years.
constexpr size_t LargestRecord = 64u << 20;

bool IsHeader(const std::vector<std::string>& fields, int columns) {
    if (static_cast<int>(fields.size()) != columns) return false;
    for (int i = 0; i < columns; ++i)
        if (fields[i] != RecordColumnNames[i]) return false;
    return true;
}

RecordWarning Warning(const std::string& file, int line, const std::string& problem) {
    return {file, line, problem};
}

} // namespace

bool ReadRecordText(const std::string& bytes, const std::string& file, RecordBook& book,
                    RecordShape& shape, std::string& problem) {
    CsvReader reader(bytes);
    shape = RecordShape();
    shape.ByteOrderMark = reader.ByteOrderMark();
    shape.SpreadsheetDialect = reader.Separator() != ',';
    shape.Windows1250 = reader.Windows1250();
    CsvRow row;
    if (!reader.Next(row)) return true;
    int columns = RecordColumnCount;
    if (IsHeader(row.Fields, RecordColumnCount)) {
        shape.Kind = RecordKind::Current;
    } else if (IsHeader(row.Fields, RecPreviousLayoutColumns)) {
        shape.Kind = RecordKind::Previous;
        columns = RecPreviousLayoutColumns;
    } else {
        problem = Format(_("{0}: not a calibration record (another header)"),
                         {LinePlace(file, row.Line)});
        return false;
    }
    while (reader.Next(row)) {
        if (!row.Problem.empty()) {
            book.Warnings.push_back(Warning(file, row.Line, row.Problem));
            continue;
        }
        if (static_cast<int>(row.Fields.size()) != columns) {
            const int32_t fields = static_cast<int32_t>(row.Fields.size());
            book.Warnings.push_back(
                Warning(file, row.Line,
                        Format(Q_("{0} field instead of {1}", "{0} fields instead of {1}", fields),
                               {IntegerText(fields), IntegerText(columns)})));
            continue;
        }
        row.Fields.resize(RecordColumnCount);
        RecordEntry entry = {file, row.Line, {}};
        std::string why;
        if (!RecordOfFields(row.Fields, shape.Kind == RecordKind::Previous, entry.Record, why)) {
            book.Warnings.push_back(Warning(file, row.Line, why));
            continue;
        }
        book.Entries.push_back(entry);
    }
    return true;
}

bool ReadRecordFile(const std::string& path, RecordBook& book, RecordShape& shape,
                    std::string& problem) {
    std::string bytes;
    switch (ReadWholeFile(path, LargestRecord, bytes, problem)) {
    case FileRead::Failed:
        problem = Format(_("{0}: cannot read: {1}"), {path, problem});
        return false;
    case FileRead::TooLarge:
        problem = Format(_("{0}: larger than 64 MiB; start a new record"), {path});
        return false;
    case FileRead::Done:
        break;
    }
    return ReadRecordText(bytes, path, book, shape, problem);
}

bool MayAddTo(const std::string& path, const RecordShape& shape, std::string& problem) {
    if (!shape.SpreadsheetDialect && !shape.Windows1250) return true;
    problem =
        Format(_("{0}: saved by a spreadsheet or an editor in another form ({1}); start a "
                 "new file for new lines (vl4 history reads both)"),
               {path, shape.SpreadsheetDialect ? _("';' and decimal commas") : _("not UTF-8")});
    return false;
}

bool PrepareRecordFile(const std::string& path, std::vector<RecordWarning>& skipped,
                       std::string& problem) {
    std::string bytes;
    const FileRead read = ReadWholeFile(path, LargestRecord, bytes, problem);
    if (read == FileRead::TooLarge) {
        problem = Format(_("{0}: larger than 64 MiB; start a new record"), {path});
        return false;
    }
    RecordBook book;
    RecordShape shape;
    if (read == FileRead::Done && !ReadRecordText(bytes, path, book, shape, problem)) return false;
    skipped = book.Warnings;
    if (shape.Kind == RecordKind::Previous) {
        problem = Format(_("{0}: a record of an earlier vl4, with fewer columns; start a new file "
                           "for new calibrations (vl4 history reads both)"),
                         {path});
        return false;
    }
    if (!MayAddTo(path, shape, problem)) return false;
    if (!AppendLines(path, RecordHeader(), "", problem)) {
        problem = Format(_("{0}: cannot write the record: {1}"), {path, problem});
        return false;
    }
    return true;
}

bool AppendRecordLine(const std::string& path, const CalibrationRecord& record,
                      std::string& problem, RecordKind layout) {
    std::vector<std::string> fields = RecordFields(record);
    if (layout == RecordKind::Previous) fields.resize(RecPreviousLayoutColumns);
    return AppendLines(path, RecordHeader(), RecordLineText(fields), problem);
}

const RecordEntry* ChooseCalibration(const RecordBook& book, const int32_t* unit,
                                     const std::string& time, std::string& problem) {
    std::vector<const RecordEntry*> found;
    bool units = false; // more than one unit among them
    for (const RecordEntry& entry : book.Entries) {
        const CalibrationRecord& line = entry.Record;
        if (line.IsUndo() || (unit && line.ProductionNumber != *unit)) continue;
        if (line.Time.compare(0, time.size(), time) != 0) continue;
        units |= !found.empty() && found.front()->Record.ProductionNumber != line.ProductionNumber;
        found.push_back(&entry);
    }
    // What was asked for, after the calibrations it names: " of production
    // number 2403117 recorded at 2026-12-08".
    std::string which;
    if (unit) which += " " + Format(_("of production number {0}"), {IntegerText(*unit)});
    if (!time.empty()) which += " " + Format(_("recorded at {0}"), {time});
    if (found.empty()) {
        problem = Format(_("no calibration{0} in the record"), {which});
        return nullptr;
    }
    if (units) {
        problem = Format(_("calibrations of more than one unit{0}; give --unit N"), {which});
        return nullptr;
    }
    if (!time.empty() && found.size() > 1) {
        const int32_t count = static_cast<int32_t>(found.size());
        problem = Format(
            Q_("{0} calibration{1} ({2} to {3}); give more of the time",
               "{0} calibrations{1} ({2} to {3}); give more of the time", count),
            {IntegerText(count), which, found.front()->Record.Time, found.back()->Record.Time});
        return nullptr;
    }
    // The last by time; the record's order where equal.
    const RecordEntry* last = found.front();
    IsoTime lastAt, at;
    ParseIsoTime(last->Record.Time, lastAt);
    for (const RecordEntry* entry : found)
        if (ParseIsoTime(entry->Record.Time, at) &&
            at.UtcMilliseconds() >= lastAt.UtcMilliseconds()) {
            last = entry;
            lastAt = at;
        }
    return last;
}

std::string LinePlace(const std::string& file, int line) {
    return file + ":" + IntegerText(line);
}
