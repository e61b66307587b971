#include "core/calibration_math.h"

#include "devlink/probe_defaults.h"

#include <cmath>

namespace {

bool IsFinite(double value) {
    return std::isfinite(value);
}

// The slope between the two points, mV per unit of the standard.
float TwoPointSlope(const CalibrationPoints& p) {
    return static_cast<float>((static_cast<double>(p.Voltage2) - p.Voltage1) /
                              (static_cast<double>(p.Standard2) - p.Standard1));
}

CalibrationResult Compute(const CalibrationPoints& p) {
    const double u1 = p.Voltage1, n1 = p.Standard1;
    const uint8_t law = CalibrationLaw(p.ProbeType);
    CalibrationResult r;
    if (law == ProbeRedox) {
        r.Sensitivity = 1.0f;
        r.Offset = static_cast<float>(u1 - n1);
    } else if (law == ProbePH) {
        r = PairWithSlope(p.Standard1, p.Voltage1,
                          p.SinglePoint ? SinglePointPhSlope : TwoPointSlope(p));
    } else if (p.SinglePoint) {
        r.Sensitivity = static_cast<float>(u1 / n1);
        r.Offset = 0.0f;
    } else {
        r.Sensitivity = TwoPointSlope(p);
        r.Offset = static_cast<float>(u1 - r.Sensitivity * n1);
    }
    return r;
}

bool SlopeSignPossible(uint8_t law, float sensitivity) {
    if (law == ProbePH) return sensitivity < 0.0f;
    if (law == ProbeRedox) return true;
    return sensitivity > 0.0f;
}

} // namespace

CalibrationFault PairFault(uint8_t probeType, const CalibrationResult& r) {
    if (r.Sensitivity == 0.0f || !IsFinite(r.Sensitivity) || !IsFinite(r.Offset))
        return CalibrationFault::NoUsableSlope;
    if (!SlopeSignPossible(CalibrationLaw(probeType), r.Sensitivity))
        return CalibrationFault::WrongSlopeSign;
    return CalibrationFault::None;
}

CalibrationResult PairWithSlope(float standard, float voltage, float sensitivity) {
    return {sensitivity, static_cast<float>(static_cast<double>(voltage) -
                                            (standard - PhNeutralPoint) * sensitivity)};
}

uint8_t CalibrationLaw(uint8_t probeType) {
    return probeType & 3;
}

bool StandardAccepted(bool parsed, float standard, bool negativeAllowed) {
    return parsed && IsFinite(standard) && (standard >= 0.0f || negativeAllowed);
}

bool PointsValid(const CalibrationPoints& p) {
    if (!p.SinglePoint) return p.Point1Valid && p.Point2Valid && p.Standard1 != p.Standard2;
    const uint8_t law = CalibrationLaw(p.ProbeType);
    return p.Point1Valid && (p.Standard1 != 0.0f || law == ProbePH || law == ProbeRedox);
}

bool ComputeCalibration(const CalibrationPoints& points, CalibrationResult& result,
                        CalibrationFault* fault) {
    const bool valid = PointsValid(points);
    const CalibrationResult r = valid ? Compute(points) : CalibrationResult{};
    const CalibrationFault found =
        valid ? PairFault(points.ProbeType, r) : CalibrationFault::InvalidPoints;
    if (fault) *fault = found;
    if (found != CalibrationFault::None) return false;
    result = r;
    return true;
}

double IdealPhSlopeAt(double celsius) {
    return -0.198416 * (273.15 + celsius);
}

double PhSlopePercent(float sensitivity, double idealSlope) {
    return sensitivity / idealSlope * 100.0;
}

bool PhWithin(const CalibrationResult& result, const PhLimits& limits, double idealSlope,
              bool slopeMeasured) {
    const double percent = PhSlopePercent(result.Sensitivity, idealSlope);
    const bool slopeWithin = percent >= limits.MinSlopePercent && percent <= limits.MaxSlopePercent;
    return (slopeWithin || !slopeMeasured) && std::fabs(result.Offset) <= limits.MaxOffsetMv;
}
