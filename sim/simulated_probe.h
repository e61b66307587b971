#pragma once

#include <cstdint>
#include <functional>

// The probe on the transmitter's input and the solution it stands in. The
// electrode has its own offset and slope, which a calibration finds out; by
// default its slope is the nominal one of the probe type configured. The law
// by which it turns the solution into a voltage is that of the probe type the
// transmitter is set up for, so each voltage is asked for with that type.
//
// An oxygen probe's voltage is proportional to the oxygen the water holds,
// over its zero current (the offset); in air it holds what air-saturated
// water holds at its temperature, pressure and salinity. A chlorine probe is
// amperometric and sees the HOCl part of the free chlorine only: its slope is
// the nominal one at the reference pH, and it reads less in water of a
// higher pH.
//
// A move into another solution does not show at once: the voltage approaches
// the new equilibrium exponentially, from the voltage before the move or from
// a fixed excess, and may drift steadily on top of that.
struct SimulatedProbe {
    // Seconds from any origin; the steady clock unless a test sets another.
    using Clock = std::function<double()>;
    static double SteadySeconds();
    static constexpr double PhNeutral = 7.0;
    // The pH at which a chlorine probe has its slope, whatever the
    // temperature: the transmitter compensates the membrane's temperature,
    // but not the water's pH.
    static constexpr float ChlorineReferencePh = 7.2f;

    float Solution = 7.0f; // N, in the probe type's unit
    bool InAir = false;    // N is the oxygen of air-saturated water, mg/L
    bool Pinned = false;   // the voltage is set directly, not from the solution
    float PinnedVoltage = 0.0f;
    float NoiseMv = 0.0f; // amplitude of uniform noise on each voltage reading
    float Offset = 0.0f;  // mV
    bool OwnSensitivity = false;
    float Sensitivity = 0.0f;            // at 25 °C
    float TemperatureC = 25.0f;          // the solution's; a pH slope grows with it
    float PressureHpa = 1013.25f;        // the air's, for an oxygen probe in air
    float SalinityGPerKg = 0.0f;         // the water's, for an oxygen probe in air
    float WaterPh = ChlorineReferencePh; // what a chlorine probe stands in
    float SettleTauS = 0.0f;             // time constant of the moves that follow; 0: at once
    bool FixedExcess = false;            // false: settle from the voltage before the move
    float SettleMv = 0.0f;               // the excess at a move when FixedExcess
    Clock Now = SteadySeconds;

    // N: as set, or the oxygen the water holds in air under the conditions now.
    double SolutionValue() const;
    // The electrode's slope at 25 °C and at the solution's temperature.
    float Sensitivity25(uint8_t probeType) const;
    double Slope(uint8_t probeType) const;
    // The voltage the probe settles at, and the one it gives now (no noise).
    double Equilibrium(uint8_t probeType) const;
    double Voltage(uint8_t probeType) const;

    // Moves: into another solution, into air-saturated water, onto a pinned
    // voltage, or into a fresh bottle of the same one. Each restarts the
    // settle and the drift.
    void MoveTo(uint8_t probeType, float solution);
    void MoveToAir(uint8_t probeType);
    void PinAt(uint8_t probeType, float voltage);
    void Move(uint8_t probeType);

    // mV a minute, from now on; what has drifted so far stays.
    float Drift() const { return DriftMvPerMin; }
    void SetDrift(float mvPerMin);

private:
    void Restart(uint8_t probeType, double before);

    double MovedAt = 0;
    double MoveTauS = 0;
    double MoveExcessMv = 0; // 0 when the move showed at once
    float DriftMvPerMin = 0.0f;
    double DriftFrom = 0;
    double DriftedMv = 0; // before DriftFrom
};
