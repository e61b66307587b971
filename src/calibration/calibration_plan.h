#pragma once

#include "core/buffer_table.h"
#include "core/settling_window.h"

#include <cstdint>
#include <string>
#include <vector>

// What a calibration is asked to do, checked before the first frame goes
// out: the standards and their conditions, how the points are taken, the
// check, and what the record is told.
struct CalibrationPlan {
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
    std::string RecordPath;       // empty: no record
    std::string Technician, Tag;
    bool HasDueDays = false;
    int32_t DueDays = 0;
    // Nobody is asked: each point begins at once, and an unusual pair is
    // written only when AcceptUnusual says so beforehand.
    bool Unattended = false;
    bool AcceptUnusual = false;
};
