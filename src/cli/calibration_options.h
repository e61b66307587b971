#pragma once

#include "cli/command.h"
#include "core/buffer_table.h"
#include "core/settling_window.h"

#include <string>
#include <vector>

// What vl4 calibrate was asked to do, checked before the first frame goes out.
struct CalibrationOptions {
    std::vector<float> Standards; // as given, one or two
    bool TemperatureGiven = false;
    double Temperature = 25.0; // °C, the solutions'
    // The buffers the standards name, when they are buffers (pH only).
    bool UseBuffers = false;
    BufferTable Buffers;
    std::string BufferSource; // "nist", or the table file's name
    bool HasCheck = false;
    float CheckStandard = 0.0f;
    double CheckTolerance = 0.05;
    bool KeepSlope = false;
    bool Settle = true;
    SettlingLimits Limits = UsualSettlingLimits;
    double SettleTimeout = 180.0; // seconds
    const std::string* RecordPath = nullptr;
    const std::string* CertificatePath = nullptr;
    std::string Technician, Tag;
    bool HasDueDays = false;
    int32_t DueDays = 0;
    bool Unattended = false; // --yes
    bool AcceptUnusual = false;
    bool Undo = false;
};

// Reads and checks the options; answers the exit status (ExitDone when they
// are sound) with the usage error or the bad buffer table already said.
int ParseCalibrationOptions(CommandContext& context, const CommandSpec& command,
                            const Arguments& arguments, CalibrationOptions& options);
