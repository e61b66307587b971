#include "core/probe_health.h"

#include "core/language.h"

#include <cmath>

namespace {

// pH: the window's limits. Redox: a reference check within 15 mV is the
// usual acceptance, beyond 50 mV the electrode is cleaned or replaced.
// Oxygen: 85-120 % of the nominal slope and 0.2 mg/L healthy (optical
// probes are rejected outside them), 60-140 % and 0.5 mg/L usual (below
// 60 % a membrane probe is regenerated). Chlorine: within 25 % of the slope
// it had and 0.05 mg/L healthy, 50 % and 0.1 mg/L usual.
const ProbeRule Rules[ProbeTypeCount] = {
    {{HealthyPhLimits.MinSlopePercent, HealthyPhLimits.MaxSlopePercent,
      HealthyPhLimits.MaxOffsetMv},
     {UsualPhLimits.MinSlopePercent, UsualPhLimits.MaxSlopePercent, UsualPhLimits.MaxOffsetMv},
     true,
     "mV",
     N_("the ideal electrode")},
    {{0, 0, 15.0}, {0, 0, 50.0}, false, "mV", ""},
    {{75.0, 125.0, 0.05}, {50.0, 150.0, 0.1}, true, "mg/L", N_("the slope it had before")},
    {{85.0, 120.0, 0.2}, {60.0, 140.0, 0.5}, true, "mg/L", N_("the nominal slope")},
};

bool Within(const ProbeJudgement& j, const ProbeLimits& limits) {
    const bool slope = !j.SlopeJudged || (j.SlopePercent >= limits.MinSlopePercent &&
                                          j.SlopePercent <= limits.MaxSlopePercent);
    return slope && (!j.ZeroJudged || std::fabs(j.Zero) <= limits.MaxZero);
}

} // namespace

const ProbeRule& RuleOf(uint8_t probeType) {
    return Rules[CalibrationLaw(probeType)];
}

double ReferenceSlope(uint8_t probeType, double celsius, float foundSensitivity) {
    switch (CalibrationLaw(probeType)) {
    case ProbePH:
        return IdealPhSlopeAt(celsius);
    case ProbeChlorine:
        return foundSensitivity;
    case ProbeOxygen:
        return ProbeDefaults[ProbeOxygen].Sensitivity;
    default:
        return 1.0;
    }
}

ProbeJudgement JudgeProbe(uint8_t probeType, const CalibrationResult& pair, SlopeSource slope,
                          bool onePoint, double referenceSlope) {
    const uint8_t law = CalibrationLaw(probeType);
    ProbeJudgement j;
    j.SlopeJudged = RuleOf(law).HasSlope && slope != SlopeSource::Assumed && referenceSlope != 0;
    if (j.SlopeJudged) j.SlopePercent = pair.Sensitivity / referenceSlope * 100.0;
    if (law == ProbePH || law == ProbeRedox) {
        j.ZeroJudged = true;
        j.Zero = pair.Offset;
    } else {
        j.ZeroJudged = !onePoint && pair.Sensitivity != 0;
        if (j.ZeroJudged) j.Zero = std::fabs(pair.Offset / pair.Sensitivity);
    }
    j.Healthy = Within(j, RuleOf(law).Healthy);
    j.Usual = Within(j, RuleOf(law).Usual);
    return j;
}

const char* ProbeHealthWords(uint8_t probeType, const ProbeJudgement& j) {
    if (RuleOf(probeType).HasSlope && !j.SlopeJudged)
        return j.Healthy ? N_("ok (offset only; slope assumed)")
                         : N_("check probe (offset only; slope assumed)");
    if (RuleOf(probeType).HasSlope && !j.ZeroJudged)
        return j.Healthy ? N_("ok (slope only)") : N_("check probe (slope only)");
    return j.Healthy ? N_("ok") : N_("check probe");
}

double DefaultTolerance(uint8_t probeType, double standard) {
    switch (CalibrationLaw(probeType)) {
    case ProbeRedox:
        return 15.0;
    case ProbeChlorine:
        return std::fmax(0.1, 0.15 * std::fabs(standard));
    case ProbeOxygen:
        return std::fmax(0.2, 0.02 * std::fabs(standard));
    default:
        return 0.05;
    }
}
