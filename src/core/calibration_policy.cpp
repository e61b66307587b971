#include "core/calibration_policy.h"

#include "core/language.h"

namespace {

bool IsPh(uint8_t probeType) {
    return CalibrationLaw(probeType) == ProbePH;
}

} // namespace

CalibrationJudgement JudgeCalibration(uint8_t probeType, const CalibrationResult& pair,
                                      SlopeSource slope, double idealSlope) {
    CalibrationJudgement judgement;
    judgement.Fault = PairFault(probeType, pair);
    if (judgement.Fault != CalibrationFault::None) return judgement;
    const bool usual = !IsPh(probeType) ||
                       PhWithin(pair, UsualPhLimits, idealSlope, slope != SlopeSource::Assumed);
    judgement.Verdict = usual ? CalibrationVerdict::Plausible : CalibrationVerdict::Unusual;
    return judgement;
}

CalibrationJudgement JudgeCalibration(const CalibrationPoints& points, CalibrationResult& pair,
                                      double idealSlope) {
    CalibrationJudgement judgement;
    if (!ComputeCalibration(points, pair, &judgement.Fault)) return judgement;
    return JudgeCalibration(points.ProbeType, pair, SlopeOf(points), idealSlope);
}

SlopeSource SlopeOf(const CalibrationPoints& points) {
    return points.SinglePoint && IsPh(points.ProbeType) ? SlopeSource::Assumed
                                                        : SlopeSource::Measured;
}

bool Healthy(uint8_t probeType, const CalibrationResult& pair, SlopeSource slope,
             double idealSlope) {
    return !IsPh(probeType) ||
           PhWithin(pair, HealthyPhLimits, idealSlope, slope != SlopeSource::Assumed);
}

const char* HealthWords(uint8_t probeType, const CalibrationResult& pair, SlopeSource slope,
                        double idealSlope) {
    const bool healthy = Healthy(probeType, pair, slope, idealSlope);
    if (slope == SlopeSource::Assumed && IsPh(probeType))
        return healthy ? N_("ok (offset only; slope assumed)")
                       : N_("check probe (offset only; slope assumed)");
    return healthy ? N_("ok") : N_("check probe");
}

double WidestCheckTolerance(uint8_t probeType) {
    return CalibrationLaw(probeType) == ProbeRedox ? WidestAnyCheckTolerance : 1.0;
}
