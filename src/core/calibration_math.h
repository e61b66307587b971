#pragma once

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

// Whether a typed standard may be measured: a finite number, not below zero
// unless negative values are allowed (point 1 of a Redox probe).
bool StandardAccepted(bool parsed, float standard, bool negativeAllowed);

// Whether the points allow a calibration in their mode.
bool PointsValid(const CalibrationPoints& points);

// The sensitivity and offset of the points, computed in double precision;
// the slope is rounded to a float before the offset is computed from it.
// False, with result untouched, when the points are not valid or the pair
// would be useless to the transmitter: a sensitivity of zero, or a value
// that is not a finite float.
bool ComputeCalibration(const CalibrationPoints& points, CalibrationResult& result);
