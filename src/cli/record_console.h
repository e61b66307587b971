#pragma once

#include "calibration/record_file.h"
#include "cli/command.h"

#include <string>

// What vl4's commands that read or add to a calibration record say alike.

// The lines a record's readers passed over, each a warning with its place.
void WarnSkipped(CommandContext& context, const RecordBook& book);

// The certificate of the line, made from the line as the record reads it
// back, into the --certificate FILE when one was asked for. One that cannot
// be written leaves the outcome as it is but never a status of success;
// `done` names what stands nonetheless ("calibration written").
int WriteCertificate(CommandContext& context, const std::string* path,
                     const CalibrationRecord& line, const std::string& done, int status);
