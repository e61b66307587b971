#pragma once

#include "calibration/calibration_plan.h"

// What is wrong with a plan's values before the first frame goes out, the
// same for every front-end: vl4 names the option, the window the field.
enum class PlanProblem {
    None,
    StandardCount,       // one or two standards
    Temperature,         // outside TemperatureRange
    Pressure,            // outside the pressures oxygen's solubility is known at
    Altitude,            // an altitude whose pressure is outside them
    PressureAndAltitude, // both given
    AirConditions,       // pressure, altitude or salinity without an air point
    Salinity,
    SamplePh,
    GrabValue,
    GrabValueUnasked, // a grab value without a grab point, or none when nobody is asked
    Tolerance,        // not above 0, or beyond any probe's widest
    CheckToleranceAlone,
    DueDays,
    KeepSlopePoints, // a kept slope needs one point
    TableKinds,      // a table's standards are values, not air, zero or grab
    TableStandard,   // Value names no solution of the table
    TableTemperature // the table does not reach the temperature
};

struct PlanFault {
    PlanProblem Problem = PlanProblem::None;
    float Value = 0.0f; // the standard that names no solution of the table
    explicit operator bool() const { return Problem != PlanProblem::None; }
};

struct ValueRange {
    double Low, High;
};
// Where the standards' temperature may lie: oxygen's solubility is known
// from 0 to 40 °C, a solution's table from -5 to 100 °C.
ValueRange TemperatureRange(const CalibrationPlan& plan);
constexpr ValueRange AltitudeRange = {-1000.0, 9000.0};
constexpr ValueRange SamplePhRange = {0.0, 14.0};
constexpr ValueRange GrabValueRange = {0.0, 1000.0};
constexpr int MaxDueDays = 3660;

// The first problem of the plan's values, in the order a person fills them:
// the standards, the temperature, the conditions, the check, the record's
// fields, the table. A probe's own bounds wait for the probe (ProbeTakes).
PlanFault CheckPlan(const CalibrationPlan& plan);
