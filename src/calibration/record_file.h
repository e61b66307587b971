#pragma once

#include "calibration/calibration_record.h"

#include <string>
#include <vector>

// The calibration record as files: read whole by every reader (history,
// undo, certificate), line by line, a damaged line named and passed over;
// and a line appended, the file held only for that line.

// A line of a record and what it says.
struct RecordEntry {
    std::string File;
    int Line = 0; // from 1
    CalibrationRecord Record;
};

// A line that was passed over, and why: "12 fields instead of 62".
struct RecordWarning {
    std::string File;
    int Line = 0;
    std::string Problem;
};

// The lines of one or more records, in the order of their files.
struct RecordBook {
    std::vector<RecordEntry> Entries;
    std::vector<RecordWarning> Warnings;
};

// What a file holds.
enum class RecordKind {
    Empty,    // nothing yet (or no file)
    Current,  // a record of this layout
    Previous, // a record of the previous layout: read, but not added to
};

// How a file was saved, which decides whether vl4 may add to it.
struct RecordShape {
    RecordKind Kind = RecordKind::Empty;
    bool ByteOrderMark = false;
    bool SpreadsheetDialect = false; // ';' and decimal commas
    bool Windows1250 = false;        // not UTF-8
};

// Reads a record's bytes into the book under the file's name. False, with
// what is wrong, for text that is no calibration record (another header);
// a damaged line is a warning and the lines after it are read.
bool ReadRecordText(const std::string& bytes, const std::string& file, RecordBook& book,
                    RecordShape& shape, std::string& problem);
// The same from the file, which must be there.
bool ReadRecordFile(const std::string& path, RecordBook& book, RecordShape& shape,
                    std::string& problem);

// Whether vl4 may add lines to a file of the shape: not to one a
// spreadsheet or an editor saved in another form. False with why.
bool MayAddTo(const std::string& path, const RecordShape& shape, std::string& problem);

// Before a calibration's first frame: a record that is there must be one of
// this layout that vl4 may add to; a new one is made with its header. False
// with why.
// The lines passed over go into `skipped`.
bool PrepareRecordFile(const std::string& path, std::vector<RecordWarning>& skipped,
                       std::string& problem);

// Appends the line of a calibration, or of an undo, which goes into a record
// of the previous layout in that layout: it has nothing the previous layout
// lacks. False with why.
bool AppendRecordLine(const std::string& path, const CalibrationRecord& record,
                      std::string& problem, RecordKind layout = RecordKind::Current);

// The calibration a certificate is made again for: of the unit (all units
// when `unit` is null) the last one, or the one whose time starts with
// `time` (all when empty). Null, with why, when there is none or more than
// one would do.
const RecordEntry* ChooseCalibration(const RecordBook& book, const int32_t* unit,
                                     const std::string& time, std::string& problem);

// "r.csv:12"
std::string LinePlace(const std::string& file, int line);
