#include "calibration/plan_check.h"

#include "calibration/oxygen_solubility.h"
#include "core/calibration_policy.h"

namespace {

bool In(double value, ValueRange range) {
    return value >= range.Low && value <= range.High;
}

PlanFault Fault(PlanProblem problem, float value = 0.0f) {
    return PlanFault{problem, value};
}

PlanFault CheckConditions(const CalibrationPlan& plan) {
    const bool air = plan.Has(StandardKind::Air);
    if ((plan.PressureGiven || plan.AltitudeGiven || plan.Salinity != 0.0) && !air)
        return Fault(PlanProblem::AirConditions);
    if (plan.PressureGiven && plan.AltitudeGiven) return Fault(PlanProblem::PressureAndAltitude);
    const ValueRange pressures = {LowestPressureHpa, HighestPressureHpa};
    if (plan.PressureGiven && !In(plan.PressureHpa, pressures)) return Fault(PlanProblem::Pressure);
    if (plan.AltitudeGiven &&
        !(In(plan.AltitudeM, AltitudeRange) && In(PressureAtAltitude(plan.AltitudeM), pressures)))
        return Fault(PlanProblem::Altitude);
    if (!In(plan.Salinity, {0.0, HighestSalinity})) return Fault(PlanProblem::Salinity);
    if (plan.HasSamplePh && !In(plan.SamplePh, SamplePhRange)) return Fault(PlanProblem::SamplePh);
    const bool grab = plan.Has(StandardKind::Grab);
    if ((plan.HasGrabValue && !grab) || (grab && plan.Unattended && !plan.HasGrabValue))
        return Fault(PlanProblem::GrabValueUnasked);
    if (plan.HasGrabValue && !In(plan.GrabValue, GrabValueRange))
        return Fault(PlanProblem::GrabValue);
    return PlanFault();
}

PlanFault CheckCheck(const CalibrationPlan& plan) {
    if (plan.ToleranceGiven && !plan.HasCheck && !plan.Verify)
        return Fault(PlanProblem::CheckToleranceAlone);
    if (plan.ToleranceGiven && !(plan.Tolerance > 0.0 && plan.Tolerance <= WidestAnyCheckTolerance))
        return Fault(PlanProblem::Tolerance);
    return PlanFault();
}

// Every standard (and the check) must name a solution of the table, and the
// table must reach the temperature.
PlanFault CheckTable(const CalibrationPlan& plan) {
    if (!plan.UseBuffers) return PlanFault();
    std::vector<float> named;
    for (const PlannedStandard& planned : plan.Standards) {
        if (planned.Kind != StandardKind::Buffer && planned.Kind != StandardKind::Table)
            return Fault(PlanProblem::TableKinds);
        named.push_back(planned.Value);
    }
    if (plan.HasCheck) named.push_back(plan.CheckStandard);
    for (float standard : named) {
        const int column = FindBuffer(plan.Buffers, standard);
        double value;
        if (column < 0) return Fault(PlanProblem::TableStandard, standard);
        if (!BufferValueAt(plan.Buffers, column, plan.Temperature, value))
            return Fault(PlanProblem::TableTemperature);
    }
    return PlanFault();
}

} // namespace

ValueRange TemperatureRange(const CalibrationPlan& plan) {
    if (plan.Has(StandardKind::Air)) return {OxygenLowestCelsius, OxygenHighestCelsius};
    return {LowestSolutionCelsius, HighestSolutionCelsius};
}

PlanFault CheckPlan(const CalibrationPlan& plan) {
    if (plan.Standards.empty() || plan.Standards.size() > 2)
        return Fault(PlanProblem::StandardCount);
    if (plan.TemperatureGiven && !In(plan.Temperature, TemperatureRange(plan)))
        return Fault(PlanProblem::Temperature);
    if (PlanFault fault = CheckConditions(plan)) return fault;
    if (PlanFault fault = CheckCheck(plan)) return fault;
    if (plan.HasDueDays && !(plan.DueDays >= 1 && plan.DueDays <= MaxDueDays))
        return Fault(PlanProblem::DueDays);
    if (plan.KeepSlope && plan.Standards.size() != 1) return Fault(PlanProblem::KeepSlopePoints);
    return CheckTable(plan);
}
