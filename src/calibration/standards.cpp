#include "calibration/standards.h"

#include "calibration/free_chlorine.h"
#include "calibration/oxygen_solubility.h"
#include "core/english_names.h"
#include "core/language.h"
#include "core/machine_text.h"

#include <cmath>

namespace {

std::string Whole(double value) {
    return Decimal(value, 0);
}

} // namespace

bool CalibrationPlan::Has(StandardKind kind) const {
    for (const PlannedStandard& planned : Standards)
        if (planned.Kind == kind) return true;
    return false;
}

std::string ProbeTakes(const CalibrationPlan& plan, uint8_t probeType) {
    const uint8_t law = CalibrationLaw(probeType);
    const std::string probe = _(ProbeTypeEnglishName(probeType));
    if (law == ProbeRedox && plan.Standards.size() == 2 && !plan.Verify)
        return _("a Redox probe is calibrated at one point: give one --standard");
    if (law != ProbePH && plan.KeepSlope)
        return Format(_("--keep-slope keeps a pH electrode's slope; this probe is {0}"), {probe});
    if (plan.UseBuffers && plan.BufferSource == "nist" && law != ProbePH)
        return Format(_("buffers apply to pH probes only; this probe is {0}"), {probe});
    if (plan.UseBuffers && plan.BufferSource != "nist" &&
        (law == ProbeRedox) != (plan.Buffers.Units == TableUnits::Redox))
        return Format(plan.Buffers.Units == TableUnits::Redox
                          ? _("{0} is a table of Redox solutions; this probe is {1}")
                          : _("{0} is a table of pH buffers; this probe is {1}"),
                      {plan.BufferSource, probe});
    if (law != ProbeOxygen &&
        (plan.Has(StandardKind::Air) || plan.PressureGiven || plan.AltitudeGiven))
        return Format(
            _("--air, --pressure and --altitude belong to an oxygen probe; this probe is {0}"),
            {probe});
    if (law != ProbeChlorine && (plan.Has(StandardKind::Grab) || plan.HasSamplePh))
        return Format(_("--grab and --ph belong to a chlorine probe; this probe is {0}"), {probe});
    if (law != ProbeOxygen && law != ProbeChlorine && plan.Has(StandardKind::Zero))
        return Format(_("--zero is a point of an oxygen or chlorine probe; this probe is {0}"),
                      {probe});
    for (size_t i = 0; i < plan.Standards.size(); ++i) {
        const PlannedStandard& planned = plan.Standards[i];
        const bool negativeAllowed = law == ProbeRedox;
        if (planned.Kind == StandardKind::Value &&
            !StandardAccepted(true, planned.Value, negativeAllowed))
            return Format(_("the standard {0} is below 0, which only a Redox standard may be"),
                          {ExactDecimal(planned.Value)});
    }
    return "";
}

StandardKind CheckKind(const CalibrationPlan& plan) {
    if (!plan.UseBuffers) return StandardKind::Value;
    return plan.BufferSource == "nist" ? StandardKind::Buffer : StandardKind::Table;
}

double PressureOf(const CalibrationPlan& plan) {
    if (plan.AltitudeGiven) return PressureAtAltitude(plan.AltitudeM);
    return plan.PressureGiven ? plan.PressureHpa : StandardPressureHpa;
}

void SetConditions(const CalibrationPlan& plan, CalibrationRecord& record) {
    if (plan.Has(StandardKind::Air)) {
        record.PressureHpa = PressureOf(plan);
        record.SalinityGPerKg = plan.Salinity;
    }
    if (plan.HasSamplePh) {
        record.SamplePh = plan.SamplePh;
        record.HoclPercent = HoclShare(plan.SamplePh, plan.Temperature) * 100.0;
    }
}

void SetStandard(const CalibrationPlan& plan, const PlannedStandard& planned, PointResult& point) {
    point.Kind = planned.Kind;
    point.Standard = planned.Value;
    double value = planned.Value;
    switch (planned.Kind) {
    case StandardKind::Buffer:
    case StandardKind::Table:
        BufferValueAt(plan.Buffers, FindBuffer(plan.Buffers, planned.Value), plan.Temperature,
                      value);
        break;
    case StandardKind::Air:
        value = OxygenSolubility(plan.Temperature, PressureOf(plan), plan.Salinity);
        point.Standard = static_cast<float>(value);
        break;
    case StandardKind::Zero:
        value = 0.0;
        break;
    case StandardKind::Grab:
    case StandardKind::Value:
        break;
    }
    point.StandardUsed = static_cast<float>(value);
}

std::string JudgementText(const CalibrationRecord& r) {
    const ProbeJudgement j = r.Judgement();
    const CalibrationResult& pair = r.Computed;
    switch (CalibrationLaw(r.ProbeType)) {
    case ProbePH: {
        const std::string offset = Decimal(pair.Offset, 1);
        if (r.Slope == SlopeSource::Assumed) return Format(_("offset at pH 7 {0} mV"), {offset});
        return Format(_("slope {0} % of an ideal electrode ({1} mV/pH at {2}), offset at pH 7 "
                        "{3} mV"),
                      {Decimal(j.SlopePercent, 1), Decimal(r.IdealSlope(), 2),
                       Celsius(r.Temperature), offset});
    }
    case ProbeRedox:
        return Format(_("offset {0} mV"), {Decimal(pair.Offset, 1)});
    default:
        break;
    }
    const bool oxygen = CalibrationLaw(r.ProbeType) == ProbeOxygen;
    const std::string percent = Decimal(j.SlopePercent, 1);
    const std::string reference = _(RuleOf(r.ProbeType).SlopeReference);
    const std::string slope =
        ExactDecimal(oxygen ? ProbeDefaults[ProbeOxygen].Sensitivity : r.Found.Sensitivity);
    if (!j.ZeroJudged)
        return Format(_("slope {0} % of {1} ({2} mV per mg/L), zero 0 by the one-point law"),
                      {percent, reference, slope});
    return Format(_("slope {0} % of {1} ({2} mV per mg/L), zero {3} mg/L"),
                  {percent, reference, slope, Decimal(j.Zero, 3)});
}

std::string LimitsText(uint8_t probeType, const ProbeLimits& limits) {
    switch (CalibrationLaw(probeType)) {
    case ProbePH:
        return Format(
            _("{0} to {1} % of the ideal slope and at most {2} mV at pH 7"),
            {Whole(limits.MinSlopePercent), Whole(limits.MaxSlopePercent), Whole(limits.MaxZero)});
    case ProbeRedox:
        return Format(_("at most {0} mV of offset"), {Whole(limits.MaxZero)});
    default:
        break;
    }
    return Format(_("{0} to {1} % of {2} and a zero of at most {3} mg/L"),
                  {Whole(limits.MinSlopePercent), Whole(limits.MaxSlopePercent),
                   _(RuleOf(probeType).SlopeReference),
                   ExactDecimal(static_cast<float>(limits.MaxZero))});
}
