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
    CalibrationResult r;
    if (p.ProbeType == ProbeRedox) {
        r.Sensitivity = 1.0f;
        r.Offset = static_cast<float>(u1 - n1);
    } else if (p.ProbeType == ProbePH) {
        r.Sensitivity = p.SinglePoint ? SinglePointPhSlope : TwoPointSlope(p);
        r.Offset = static_cast<float>(u1 - (n1 - PhNeutralPoint) * r.Sensitivity);
    } else if (p.SinglePoint) {
        r.Sensitivity = static_cast<float>(u1 / n1);
        r.Offset = 0.0f;
    } else {
        r.Sensitivity = TwoPointSlope(p);
        r.Offset = static_cast<float>(u1 - r.Sensitivity * n1);
    }
    return r;
}

} // namespace

bool StandardAccepted(bool parsed, float standard, bool negativeAllowed) {
    return parsed && IsFinite(standard) && (standard >= 0.0f || negativeAllowed);
}

bool PointsValid(const CalibrationPoints& p) {
    if (!p.SinglePoint) return p.Point1Valid && p.Point2Valid && p.Standard1 != p.Standard2;
    return p.Point1Valid &&
           (p.Standard1 != 0.0f || p.ProbeType == ProbePH || p.ProbeType == ProbeRedox);
}

bool ComputeCalibration(const CalibrationPoints& points, CalibrationResult& result) {
    if (!PointsValid(points)) return false;
    const CalibrationResult r = Compute(points);
    if (r.Sensitivity == 0.0f || !IsFinite(r.Sensitivity) || !IsFinite(r.Offset)) return false;
    result = r;
    return true;
}
