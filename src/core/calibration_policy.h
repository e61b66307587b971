#pragma once

#include "core/calibration_math.h"

// What may become of a computed calibration, judged alike by the window's
// dialog and by vl4, and what the pair says of the probe's health.

enum class CalibrationVerdict {
    Refused,   // no working probe gives it: nothing is written
    Unusual,   // a pH pair beyond the usual limits: written only when someone says so
    Plausible, // written without a question
};

// Where the pair's slope came from. A one-point pH calibration assumes the
// rule's slope, so only its offset says anything of the electrode; a kept
// slope was measured by an earlier calibration.
enum class SlopeSource { Measured, Assumed, Kept };

struct CalibrationJudgement {
    CalibrationVerdict Verdict = CalibrationVerdict::Refused;
    CalibrationFault Fault = CalibrationFault::None; // why it was refused
};

// The pair of a probe type, its slope judged against idealSlope (the ideal pH
// electrode's at the solutions' temperature; the window's is IdealPhSlope).
// Refused for a pair PairFault names; for pH, Unusual beyond UsualPhLimits
// (the offset alone when the slope was assumed); Plausible otherwise.
CalibrationJudgement JudgeCalibration(uint8_t probeType, const CalibrationResult& pair,
                                      SlopeSource slope, double idealSlope = IdealPhSlope);

// The points computed and judged at once, as the dialog's OK does: Refused
// with InvalidPoints when they allow no calibration.
CalibrationJudgement JudgeCalibration(const CalibrationPoints& points, CalibrationResult& pair,
                                      double idealSlope = IdealPhSlope);

// The slope a set of points gives its pair.
SlopeSource SlopeOf(const CalibrationPoints& points);

// The record's words for the probe: "ok", or "check probe" for a pH pair
// outside HealthyPhLimits. When the slope was assumed, only the offset is
// judged and the words say so: "ok (offset only; slope assumed)". Other
// probes are always "ok": there are no limits to judge them by.
const char* HealthWords(uint8_t probeType, const CalibrationResult& pair, SlopeSource slope,
                        double idealSlope = IdealPhSlope);
bool Healthy(uint8_t probeType, const CalibrationResult& pair, SlopeSource slope,
             double idealSlope = IdealPhSlope);

// The widest tolerance a check may have for the probe type: beyond it a
// check proves nothing. pH 1, Redox 50 mV, chlorine and oxygen 1 mg/L.
double WidestCheckTolerance(uint8_t probeType);
// The widest of any probe type, which can be refused before the probe is known.
constexpr double WidestAnyCheckTolerance = 50.0;
