#include "calibration/standards.h"

#include "calibration/free_chlorine.h"
#include "calibration/oxygen_solubility.h"
#include "core/english_names.h"
#include "core/machine_text.h"

#include <cmath>

namespace {

std::string Whole(double value) {
    return FixedText(value, 0);
}

} // namespace

bool CalibrationPlan::Has(StandardKind kind) const {
    for (const StandardSpec& spec : Standards)
        if (spec.Kind == kind) return true;
    return false;
}

std::string ProbeTakes(const CalibrationPlan& plan, uint8_t probeType) {
    const uint8_t law = CalibrationLaw(probeType);
    const std::string probe = std::string("this probe is ") + ProbeTypeEnglishName(probeType);
    if (law == ProbeRedox && plan.Standards.size() == 2 && !plan.Verify)
        return "a Redox probe is calibrated at one point: give one --standard";
    if (law != ProbePH && plan.KeepSlope)
        return "--keep-slope keeps a pH electrode's slope; " + probe;
    if (plan.UseBuffers && plan.BufferSource == "nist" && law != ProbePH)
        return "buffers apply to pH probes only; " + probe;
    if (plan.UseBuffers && plan.BufferSource != "nist" &&
        (law == ProbeRedox) != (plan.Buffers.Units == TableUnits::Redox))
        return plan.BufferSource + " is a table of " +
               (plan.Buffers.Units == TableUnits::Redox ? "Redox solutions" : "pH buffers") + "; " +
               probe;
    if (law != ProbeOxygen &&
        (plan.Has(StandardKind::Air) || plan.PressureGiven || plan.AltitudeGiven))
        return "--air, --pressure and --altitude belong to an oxygen probe; " + probe;
    if (law != ProbeChlorine && (plan.Has(StandardKind::Grab) || plan.HasSamplePh))
        return "--grab and --ph belong to a chlorine probe; " + probe;
    if (law != ProbeOxygen && law != ProbeChlorine && plan.Has(StandardKind::Zero))
        return "--zero is a point of an oxygen or chlorine probe; " + probe;
    for (size_t i = 0; i < plan.Standards.size(); ++i) {
        const StandardSpec& spec = plan.Standards[i];
        const bool negativeAllowed = law == ProbeRedox;
        if (spec.Kind == StandardKind::Value &&
            !StandardAccepted(true, spec.Value, negativeAllowed))
            return "the standard " + ExactText(spec.Value) +
                   " is below 0, which only a Redox standard may be";
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

void SetStandard(const CalibrationPlan& plan, const StandardSpec& spec, PointResult& point) {
    point.Kind = spec.Kind;
    point.Standard = spec.Value;
    double value = spec.Value;
    switch (spec.Kind) {
    case StandardKind::Buffer:
    case StandardKind::Table:
        BufferValueAt(plan.Buffers, FindBuffer(plan.Buffers, spec.Value), plan.Temperature, value);
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
        std::string line;
        if (r.Slope != SlopeSource::Assumed)
            line = "slope " + FixedText(j.SlopePercent, 1) + " % of an ideal electrode (" +
                   FixedText(r.IdealSlope(), 2) + " mV/pH at " + CelsiusText(r.Temperature) + "), ";
        return line + "offset at pH 7 " + FixedText(pair.Offset, 1) + " mV";
    }
    case ProbeRedox:
        return "offset " + FixedText(pair.Offset, 1) + " mV";
    default:
        break;
    }
    const bool oxygen = CalibrationLaw(r.ProbeType) == ProbeOxygen;
    const std::string reference =
        oxygen
            ? "the nominal (" + ExactText(ProbeDefaults[ProbeOxygen].Sensitivity) + " mV per mg/L)"
            : "the slope it had (" + ExactText(r.Found.Sensitivity) + " mV per mg/L)";
    std::string line = "slope " + FixedText(j.SlopePercent, 1) + " % of " + reference;
    line +=
        j.ZeroJudged ? ", zero " + FixedText(j.Zero, 3) + " mg/L" : ", zero 0 by the one-point law";
    return line;
}

std::string LimitsText(uint8_t probeType, const ProbeLimits& limits) {
    switch (CalibrationLaw(probeType)) {
    case ProbePH:
        return Whole(limits.MinSlopePercent) + " to " + Whole(limits.MaxSlopePercent) +
               " % of the ideal slope and at most " + Whole(limits.MaxZero) + " mV at pH 7";
    case ProbeRedox:
        return "at most " + Whole(limits.MaxZero) + " mV of offset";
    default:
        break;
    }
    return Whole(limits.MinSlopePercent) + " to " + Whole(limits.MaxSlopePercent) + " % of " +
           RuleOf(probeType).SlopeReference + " and a zero of at most " +
           ExactText(static_cast<float>(limits.MaxZero)) + " mg/L";
}
