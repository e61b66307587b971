#pragma once

#include "calibration/record_file.h"
#include "cli/command.h"
#include "cli/transmitter_session.h"
#include "core/calibration_writes.h"

#include <string>

// What vl4 calibrate and its undo do alike on the console.

// What a record line says of the unit: production number, firmware, probe
// type, port and identification. Answers the exit status, the error line said.
int ReadUnit(CommandContext& context, TransmitterSession& session, CalibrationRecord& record);
// The calibration the transmitter holds; nothing has been written when it
// does not come. Answers the exit status.
int ReadHeld(CommandContext& context, TransmitterSession& session, HeldPair& held);

// The lines a record's readers passed over, each a warning with its place.
void WarnSkipped(CommandContext& context, const RecordBook& book);

// The writes' replies as the transmitter holds them now ("as left"), with
// an error line for each write without a reply or with another value than
// sent. Answers ExitDone when every write was confirmed.
int ReportWrites(CommandContext& context, TransmitterSession& session,
                 const CalibrationWrites& writes, HeldPair& left);
// "offset -1.5, sensitivity -57.3, date 2026-12-08": the values written.
std::string WrittenText(const CalibrationWrites& writes);

// Appends the line to the record, when there is one: "recorded in FILE:
// OUTCOME". A line that cannot be written is said with the line itself, for
// the record by hand, and makes the status ExitFailed; `done` names what
// stands nonetheless ("calibration written").
int RecordLine(CommandContext& context, const std::string* path, const CalibrationRecord& line,
               const std::string& done, int status, RecordKind layout = RecordKind::Current);

// The certificate of the line, made from the line as the record reads it
// back, into the --certificate FILE. One that cannot be written leaves the
// outcome as it is but never a status of success.
int WriteCertificate(CommandContext& context, const std::string* path,
                     const CalibrationRecord& line, const std::string& done, int status);
