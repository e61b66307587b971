#pragma once

#include "cli/calibration_options.h"
#include "cli/calibration_record.h"

#include <string>

// The calibration certificate the technician hands the plant: one page for
// people (html_document) that says which unit at which measuring point was
// calibrated by whom, with which buffers at which temperature, how stable
// each point was, what the transmitter held before and holds now, what the
// electrode's slope and offset say of it, the check and the due date.

// The page of a calibration that reached a result: written (its check
// passed or failed), or refused or declined, which it marks NOT CALIBRATED.
// `writesMissing` names the writes that got no reply ("sensitivity, date").
std::string CalibrationCertificate(const CalibrationRecord& record,
                                   const CalibrationOptions& options,
                                   const std::string& writesMissing);

// Writes the certificate of --certificate, when asked for and when the
// calibration reached a result. A certificate that cannot be written leaves
// the calibration's outcome as it is but never a status of success: answers
// `status`, or ExitFailed in place of ExitDone, with the error line said.
int WriteCertificate(CommandContext& context, const CalibrationOptions& options,
                     const CalibrationRecord& record, bool written,
                     const std::string& writesMissing, int status);
