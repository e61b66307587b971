#include "sim/simulated_probe.h"

#include "calibration/free_chlorine.h"
#include "calibration/oxygen_solubility.h"
#include "devlink/probe_defaults.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

constexpr double ZeroCelsiusK = 273.15;
constexpr double SlopeReferenceC = 25.0;
constexpr double SecondsPerMinute = 60.0;

// A pH electrode's slope is proportional to the absolute temperature. At the
// reference the factor is exactly 1, so the slope keeps its bits.
double TemperatureFactor(float celsius) {
    return (ZeroCelsiusK + celsius) / (ZeroCelsiusK + SlopeReferenceC);
}

} // namespace

double SimulatedProbe::SteadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

float SimulatedProbe::Sensitivity25(uint8_t probeType) const {
    return OwnSensitivity ? Sensitivity : ProbeDefaults[probeType & 3].Sensitivity;
}

double SimulatedProbe::Slope(uint8_t probeType) const {
    double s = Sensitivity25(probeType);
    return (probeType & 3) == ProbePH ? s * TemperatureFactor(TemperatureC) : s;
}

double SimulatedProbe::SolutionValue() const {
    return InAir ? OxygenSolubility(TemperatureC, PressureHpa, SalinityGPerKg) : Solution;
}

double SimulatedProbe::Equilibrium(uint8_t probeType) const {
    if (Pinned) return PinnedVoltage;
    double n = SolutionValue(), s = Slope(probeType);
    switch (probeType & 3) {
    case ProbePH:
        return Offset + s * (n - PhNeutral);
    case ProbeRedox:
        return Offset + n;
    case ProbeChlorine:
        // At the reference pH the factor is exactly 1: the slope keeps its bits.
        return Offset + s * n * ReadingAfterPhChange(ChlorineReferencePh, WaterPh, TemperatureC);
    default:
        return Offset + s * n;
    }
}

double SimulatedProbe::Voltage(uint8_t probeType) const {
    double u = Equilibrium(probeType);
    // A settled electrode without drift needs no clock and keeps its bits.
    if (MoveExcessMv == 0 && DriftMvPerMin == 0 && DriftedMv == 0) return u;
    const double now = Now();
    if (MoveExcessMv != 0) {
        u += MoveExcessMv * std::exp(-std::max(0.0, now - MovedAt) / MoveTauS);
    }
    return u + DriftedMv + DriftMvPerMin * (now - DriftFrom) / SecondsPerMinute;
}

void SimulatedProbe::MoveTo(uint8_t probeType, float solution) {
    const double before = Voltage(probeType);
    Solution = solution;
    Pinned = InAir = false;
    Restart(probeType, before);
}

void SimulatedProbe::MoveToAir(uint8_t probeType) {
    const double before = Voltage(probeType);
    InAir = true;
    Pinned = false;
    Restart(probeType, before);
}

void SimulatedProbe::PinAt(uint8_t probeType, float voltage) {
    const double before = Voltage(probeType);
    PinnedVoltage = voltage;
    Pinned = true;
    Restart(probeType, before);
}

void SimulatedProbe::Move(uint8_t probeType) {
    Restart(probeType, Voltage(probeType));
}

// The excess over the new equilibrium decays from here; the voltage before
// the move already holds what had drifted, so the drift starts again from 0.
void SimulatedProbe::Restart(uint8_t probeType, double before) {
    MovedAt = DriftFrom = Now();
    DriftedMv = 0;
    MoveTauS = SettleTauS;
    const double excess = FixedExcess ? SettleMv : before - Equilibrium(probeType);
    MoveExcessMv = MoveTauS > 0 ? excess : 0.0;
}

void SimulatedProbe::SetDrift(float mvPerMin) {
    const double now = Now();
    DriftedMv += DriftMvPerMin * (now - DriftFrom) / SecondsPerMinute;
    DriftFrom = now;
    DriftMvPerMin = mvPerMin;
}
