#pragma once

#include "calibration/calibration_front_end.h"
#include "calibration/record_file.h"
#include "core/calibration_writes.h"

#include <string>

// What the writes of a calibration or an undo came to, and its record line.

// The replies as the transmitter holds them now ("as left"), with a failure
// told for each write without a reply or with another value than sent.
// Answers ExitDone when every write was confirmed.
int ReportWrites(const std::string& port, const CalibrationWrites& writes,
                 CalibrationFrontEnd& frontEnd, HeldPair& left);
// "offset -1.5, sensitivity -57.3, date 2026-12-08": the values written.
std::string WrittenText(const CalibrationWrites& writes);

// Appends the line to the record. A line that cannot be written is told
// with the line itself, for the record by hand, and makes the status
// ExitFailed; `done` names what stands nonetheless ("calibration written").
// `previousLayout`: the line goes into a record of the previous layout.
int AppendToRecord(const std::string& path, const CalibrationRecord& line, const std::string& done,
                   CalibrationFrontEnd& frontEnd, int status, bool previousLayout = false);

// What reading a record came to: each line passed over a warning, then
// the problem of a record that cannot be used. Answers the exit status.
int TellRecordRead(CalibrationFrontEnd& frontEnd, const std::vector<RecordWarning>& passedOver,
                   bool usable, const std::string& problem);
