#pragma once

#include "core/calibration_math.h"
#include "core/voltage_samples.h"

#include <cstdint>
#include <string>

// What the calibration dialog cannot keep: a record of each calibration, one
// CSV line, and the health of the probe it shows.

// A point whose readings spread more than this (standard deviation, mV) was
// taken while the probe had not settled.
constexpr double UnstableSpreadMv = 1.0;

struct CalibrationRecord {
    std::string Time;
    std::string Port;
    std::string Identification;
    int32_t ProductionNumber = 0;
    uint8_t ProbeType = 0;
    int Points = 1;
    float Standards[2] = {};
    VoltageSamples Samples[2];
    CalibrationResult Computed = {};
    bool OffsetReturned = false, SensitivityReturned = false;
    CalibrationResult Returned = {};

    bool IsPh() const;
    bool CheckProbe() const; // a pH electrode outside the healthy limits
    bool Unstable(int point) const;
    // "ok", or what is wrong: "check probe; point 2 unstable".
    std::string Health() const;
};

std::string CalibrationRecordHeader();
std::string CalibrationRecordLine(const CalibrationRecord& record);
