#pragma once

#include "devlink/probe_defaults.h"

#include <cstdint>

// The arithmetic of a probe calibration, without windows or a link, so that
// every formula can be checked on its own.

constexpr int SamplesPerPoint = 66;
// The slope a one-point pH calibration assumes, in mV per pH, and the pH at
// which an ideal electrode gives 0 mV.
constexpr float SinglePointPhSlope = -58.0f;
constexpr double PhNeutralPoint = 7.0;

// What the calibration dialog has measured: the nominal values N of the
// standards and the mean probe voltages U at them, in mV.
struct CalibrationPoints {
    uint8_t ProbeType;
    bool SinglePoint;
    bool Point1Valid;
    bool Point2Valid;
    float Standard1;
    float Standard2;
    float Voltage1;
    float Voltage2;
};

// The pair the transmitter converts with: U = Offset + Sensitivity x (N - 7)
// for pH, U = Offset + N for Redox, U = Offset + Sensitivity x N otherwise.
struct CalibrationResult {
    float Sensitivity;
    float Offset;
};

// The probe type whose law a type byte calibrates by. A byte beyond the four
// types is reduced as its displayed name is (AND 3), so that the probe the
// user sees is the probe that is calibrated.
uint8_t CalibrationLaw(uint8_t probeType);

// Why a point set gives no pair to write.
enum class CalibrationFault {
    None,
    InvalidPoints,  // a point missing, equal standards, a one-point standard of 0
    NoUsableSlope,  // a slope of zero, or a value that is not a finite float
    WrongSlopeSign, // a slope no working probe of the kind can have
};

// Whether a typed standard may be measured: a finite number, not below zero
// unless negative values are allowed (point 1 of a Redox probe).
bool StandardAccepted(bool parsed, float standard, bool negativeAllowed);

// Whether the points allow a calibration in their mode.
bool PointsValid(const CalibrationPoints& points);

// The sensitivity and offset of the points, computed in double precision;
// the slope is rounded to a float before the offset is computed from it.
// False, with result untouched and the reason in fault when asked, when the
// points are not valid or the pair would make the transmitter measure
// nonsense: a sensitivity of zero, a value that is not a finite float, or a
// slope of the opposite sign of the probe's (a pH electrode falls, chlorine
// and oxygen probes rise; Redox has no slope of its own).
bool ComputeCalibration(const CalibrationPoints& points, CalibrationResult& result,
                        CalibrationFault* fault = nullptr);

// What keeps a pair from being written into a transmitter of the probe type,
// however it was found: a sensitivity of zero, a value that is not a finite
// float, or a slope of the wrong sign for the probe's law.
CalibrationFault PairFault(uint8_t probeType, const CalibrationResult& pair);

// A one-point pH standardisation that keeps a sensitivity found before: the
// offset that puts the point's voltage at its standard with that slope.
CalibrationResult PairWithSlope(float standard, float voltage, float sensitivity);

// A pH pair against a healthy electrode: the slope as a percentage of the
// ideal one, and the offset, which is the voltage at pH 7.
struct PhLimits {
    double MinSlopePercent;
    double MaxSlopePercent;
    double MaxOffsetMv; // either side of 0
};
// Beyond these a calibration is written only when someone says so.
constexpr PhLimits UsualPhLimits = {80.0, 110.0, 60.0};
// Within these the electrode is healthy.
constexpr PhLimits HealthyPhLimits = {90.0, 105.0, 30.0};

// The slope of an ideal pH electrode at a temperature, mV per pH (negative):
// 0.198416 mV/pH per kelvin, the Nernst slope.
double IdealPhSlopeAt(double celsius);

// The sensitivity as a percentage of the ideal slope (IdealPhSlope, or the
// one at the solutions' temperature).
double PhSlopePercent(float sensitivity, double idealSlope = IdealPhSlope);
// Whether the offset lies within the limits and, when the slope was measured,
// the slope too.
bool PhWithin(const CalibrationResult& result, const PhLimits& limits,
              double idealSlope = IdealPhSlope, bool slopeMeasured = true);
