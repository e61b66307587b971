#pragma once

#include "cli/calibration_options.h"

#include <string>

// vl4 calibrate PORT --undo --record FILE: puts back what the transmitter
// held before this unit's last calibration in the record, when it still
// holds what that calibration left, and records the undo.
int UndoCalibration(CommandContext& context, const std::string& port,
                    const CalibrationOptions& options);
