#pragma once

#include "core/calibration_policy.h"

#include <cstdint>

// What a calibration's pair says of its probe, by each probe type's own
// limits, for vl4 and its records (the window's dialog keeps its own rule,
// JudgeCalibration): a pH electrode's slope against the ideal one at the
// temperature and its offset at pH 7; a Redox electrode's offset against
// its solution; an oxygen probe's slope against its type's nominal
// sensitivity and its zero; a chlorine probe's slope against the one it had
// before and its zero. The zero of an oxygen or chlorine probe is the
// concentration it reads at no current, |offset / sensitivity|.

struct ProbeLimits {
    double MinSlopePercent, MaxSlopePercent;
    double MaxZero; // pH: mV at pH 7; Redox: mV; oxygen and chlorine: mg/L
};

struct ProbeRule {
    ProbeLimits Healthy, Usual;
    bool HasSlope;              // Redox has none of its own
    const char* ZeroUnit;       // "mV", "mg/L"
    const char* SlopeReference; // what the slope is a percentage of
};
const ProbeRule& RuleOf(uint8_t probeType);

struct ProbeJudgement {
    bool SlopeJudged = false;
    double SlopePercent = 0; // of the reference
    bool ZeroJudged = false;
    double Zero = 0; // in the rule's unit, signed for pH and Redox
    bool Healthy = false, Usual = false;
};

// The slope a probe's is judged against: the ideal pH electrode's at the
// solutions' temperature, the nominal sensitivity of an oxygen probe, the
// sensitivity a chlorine probe had before (a chlorine sensor's own slope
// varies from one to the next).
double ReferenceSlope(uint8_t probeType, double celsius, float foundSensitivity);

// A slope that was assumed (one pH point) is not judged; neither is the zero
// of a one-point oxygen or chlorine calibration, which the transmitter's law
// puts at 0.
ProbeJudgement JudgeProbe(uint8_t probeType, const CalibrationResult& pair, SlopeSource slope,
                          bool onePoint, double referenceSlope);

// "ok", "check probe", qualified where only part was judged:
// "ok (offset only; slope assumed)", "check probe (slope only)".
const char* ProbeHealthWords(uint8_t probeType, const ProbeJudgement& judgement);

// The tolerance of a check or a verification in a standard of the value,
// unless one is given: pH 0.05; Redox 15 mV (the usual reference check);
// chlorine the larger of 0.1 mg/L and 15 % (US EPA method 334.0); oxygen
// the larger of 0.2 mg/L and 2 %.
double DefaultTolerance(uint8_t probeType, double standard);
