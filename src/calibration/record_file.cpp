#include "calibration/record_file.h"

#include "calibration/record_layout.h"
#include "core/calendar_time.h"
#include "core/csv_reader.h"
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
        problem = LinePlace(file, row.Line) + ": not a calibration record (another header)";
        return false;
    }
    while (reader.Next(row)) {
        if (!row.Problem.empty()) {
            book.Warnings.push_back(Warning(file, row.Line, row.Problem));
            continue;
        }
        if (static_cast<int>(row.Fields.size()) != columns) {
            book.Warnings.push_back(Warning(file, row.Line,
                                            IntegerText(static_cast<int32_t>(row.Fields.size())) +
                                                " fields instead of " + IntegerText(columns)));
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
        problem = path + ": cannot read: " + problem;
        return false;
    case FileRead::TooLarge:
        problem = path + ": larger than 64 MiB; start a new record";
        return false;
    case FileRead::Done:
        break;
    }
    return ReadRecordText(bytes, path, book, shape, problem);
}

bool MayAddTo(const std::string& path, const RecordShape& shape, std::string& problem) {
    if (!shape.SpreadsheetDialect && !shape.Windows1250) return true;
    problem = path + ": saved by a spreadsheet or an editor in another form (" +
              (shape.SpreadsheetDialect ? "';' and decimal commas" : "not UTF-8") +
              "); start a new file for new lines (vl4 history reads both)";
    return false;
}

bool PrepareRecordFile(const std::string& path, std::vector<RecordWarning>& skipped,
                       std::string& problem) {
    std::string bytes;
    const FileRead read = ReadWholeFile(path, LargestRecord, bytes, problem);
    if (read == FileRead::TooLarge) {
        problem = path + ": larger than 64 MiB; start a new record";
        return false;
    }
    RecordBook book;
    RecordShape shape;
    if (read == FileRead::Done && !ReadRecordText(bytes, path, book, shape, problem)) return false;
    skipped = book.Warnings;
    if (shape.Kind == RecordKind::Previous) {
        problem = path + ": a record of an earlier vl4, with fewer columns; start a new file for "
                         "new calibrations (vl4 history reads both)";
        return false;
    }
    if (!MayAddTo(path, shape, problem)) return false;
    if (!AppendLines(path, RecordHeader(), "", problem)) {
        problem = path + ": cannot write the record: " + problem;
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
    const std::string which =
        (unit ? " of production number " + IntegerText(*unit) : std::string()) +
        (time.empty() ? "" : " at " + time);
    if (found.empty()) {
        problem = "no calibration" + which + " in the record";
        return nullptr;
    }
    if (units) {
        problem = "calibrations of more than one unit" + which + "; give --unit N";
        return nullptr;
    }
    if (!time.empty() && found.size() > 1) {
        problem = IntegerText(static_cast<int32_t>(found.size())) + " calibrations" + which + " (" +
                  found.front()->Record.Time + " to " + found.back()->Record.Time +
                  "); give more of the time";
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
