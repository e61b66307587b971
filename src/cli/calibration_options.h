#pragma once

#include "calibration/calibration_plan.h"
#include "cli/command.h"

#include <string>
#include <vector>

// What vl4 calibrate or vl4 verify was asked to do, checked before the first frame goes out:
// the calibration's plan, and what only the console's command does with it.
struct CalibrationOptions : CalibrationPlan {
    const std::string* CertificatePath = nullptr;
    bool Undo = false;
};

// Reads and checks the options; answers the exit status (ExitDone when they
// are sound) with the usage error or the bad buffer table already said.
// `verify`: the options of vl4 verify, which writes nothing.
int ParseCalibrationOptions(CommandContext& context, const CommandSpec& command,
                            const Arguments& arguments, bool verify, CalibrationOptions& options);

// vl4 calibrate or vl4 verify with its arguments: the options read, the
// record prepared, the port opened, the calibration run with the console as
// its front-end, its certificate written. Answers the exit status.
int RunCalibrationCommand(CommandContext& context, const Arguments& arguments,
                          const CommandSpec& command, bool verify);

// The options of the standards, their conditions, the settling and the
// record that vl4 calibrate and vl4 verify share, after a command's own.
std::vector<OptionSpec> CalibrationOptionSpecs(std::vector<OptionSpec> own);
