#pragma once

#include "calibration/calibration_plan.h"
#include "cli/command.h"

#include <string>
#include <vector>

// What vl4 calibrate was asked to do, checked before the first frame goes out:
// the calibration's plan, and what only the console's command does with it.
struct CalibrationOptions : CalibrationPlan {
    const std::string* CertificatePath = nullptr;
    bool Undo = false;
};

// Reads and checks the options; answers the exit status (ExitDone when they
// are sound) with the usage error or the bad buffer table already said.
int ParseCalibrationOptions(CommandContext& context, const CommandSpec& command,
                            const Arguments& arguments, CalibrationOptions& options);
