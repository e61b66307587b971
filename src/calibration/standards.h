#pragma once

#include "calibration/calibration_plan.h"

#include <cstdint>
#include <string>

// What each probe type takes as its standards, their values at their
// conditions, and the words a person reads of a calibration's judgement.

// Empty when the probe type takes the plan's standards and conditions; the
// usage problem otherwise: a pH probe takes values and buffers, a Redox
// probe one value or a solution of its table, an oxygen probe values, air
// and zero, a chlorine probe values, a grab sample and zero.
std::string ProbeTakes(const CalibrationPlan& plan, uint8_t probeType);

// The kind of a check standard: of the table the standards name, or a value.
StandardKind CheckKind(const CalibrationPlan& plan);

// The conditions the record keeps: the pressure and salinity of air, the
// water's pH and its HOCl share.
void SetConditions(const CalibrationPlan& plan, CalibrationRecord& record);
// The standard and its value at the conditions: a buffer's or a solution's
// at the temperature, the oxygen that air-saturated water holds, 0 for
// zero, the value given otherwise (a grab sample's, once it is measured).
void SetStandard(const CalibrationPlan& plan, const PlannedStandard& planned, PointResult& point);

// The pressure of the air: given, from the altitude, or the standard.
double PressureOf(const CalibrationPlan& plan);

// "slope 98.2 % of an ideal electrode (-57.17 mV/pH at 15.0 °C), offset at pH
// 7 4.0 mV", "offset 3.2 mV", "slope 96.1 % of the nominal (9 mV per mg/L),
// zero 0.03 mg/L".
std::string JudgementText(const CalibrationRecord& record);
// "80 to 110 % of the ideal slope and at most 60 mV at pH 7", the limits of
// the probe type as a person reads them.
std::string LimitsText(uint8_t probeType, const ProbeLimits& limits);
