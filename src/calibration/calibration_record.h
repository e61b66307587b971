#pragma once

#include "core/calibration_policy.h"
#include "core/probe_health.h"
#include "core/settling_window.h"

#include <cstdint>
#include <string>
#include <vector>

struct Setting;

// Everything a calibration found out and did: what its record line holds,
// and what the certificate is made from.

// A point's readings come every 300 ms: the k-th at k x 0.3 s.
constexpr double ReadingIntervalSeconds = 0.3;

// Where a standard's value came from.
enum class StandardKind { Value, Buffer, Table, Air, Zero, Grab };
const char* StandardKindWord(StandardKind kind); // "value", "buffer", ...

// One point (or the check): the standard, its readings and what was taken.
struct PointResult {
    bool Taken = false;
    StandardKind Kind = StandardKind::Value;
    float Standard = 0.0f;     // as given
    float StandardUsed = 0.0f; // its value at the temperature
    float Voltage = 0.0f;      // the mean of the accepted window
    double SpreadMv = 0.0;
    double DriftMvPerMinute = 0.0;
    int Readings = 0;         // good readings since the point began
    double SettleSeconds = 0; // from the point's start to its acceptance
    bool HasFoundValue = false;
    double FoundValue = 0.0; // the transmitter's measured value over the window
    // Every reading since the point began, one every ReadingIntervalSeconds,
    // a missing one not a number. Empty where a record does not give them.
    std::vector<float> Trace;

    // The first reading of the window the point was taken from, in Trace.
    int WindowStart() const;
    // Mean, spread, drift, readings and settling time from Trace, as the
    // sampling found them.
    void SummariseTrace();
};

// What became of a check.
enum class CheckResult { None, Pass, Fail, Interrupted };
const char* CheckResultWord(CheckResult result); // "pass", ...; "" for none

// The calibration a transmitter holds, each value with whether it is known.
struct HeldPair {
    bool HasOffset = false, HasSensitivity = false, HasDate = false;
    float Offset = 0.0f;
    float Sensitivity = 0.0f;
    uint32_t Date = 0; // BCD; 0: none

    // The values as the transmitter carries them: 0 offset, 1 sensitivity,
    // 2 date (the order of SettingKeys).
    static constexpr int Values = 3;
    static const char* const SettingKeys[Values];
    // The transmitter's setting of the value.
    static const Setting& SettingOf(int value);
    bool Has(int value) const;
    uint32_t Raw(int value) const;
    // As a settings file writes it: "-57.3", "2026-06-01".
    std::string Text(int value) const;
    // As a person reads a raw value of it: "-57,3", "1. 6. 2026" in Czech.
    static std::string Shown(int value, uint32_t raw);
    // "offset -57.3": its name and value, for a person.
    std::string Named(int value) const;
    void Set(int value, uint32_t raw); // known from now on
};

struct CalibrationRecord {
    std::string Time; // of the result, with its UTC offset
    std::string Port, Identification, Firmware, Technician, Tag;
    std::string Version; // of the vl4 that wrote it
    int32_t ProductionNumber = 0;
    uint8_t ProbeType = 0;
    double Temperature = 25.0;
    bool TemperatureGiven = false;
    int Points = 0; // 0 for an undo
    PointResult Point[2];
    HeldPair Found;
    bool HasComputed = false;
    CalibrationResult Computed = {}; // an undo's: what it puts back
    SlopeSource Slope = SlopeSource::Measured;
    HeldPair Left;
    bool HasCheck = false;
    PointResult Check;
    CheckResult CheckOutcome = CheckResult::None;
    double CheckTolerance = 0.05;
    bool Settle = true; // points taken when settled, or the first readings
    SettlingLimits Limits = UsualSettlingLimits;
    std::string Buffers; // "nist", a bottle table file's name, or empty
    // The conditions of oxygen and chlorine standards, not numbers where
    // none were named: the pressure and salinity of air-saturated water, the
    // water's pH and the share of its free chlorine that is HOCl, and the
    // seconds from a grab sample's held reading to its value.
    double PressureHpa, SalinityGPerKg, SamplePh, HoclPercent, GrabDelaySeconds;
    std::string Outcome; // OutcomeWritten, ...
    std::string DueDate; // ISO, empty for none
    // The line's judgement as recorded (an older vl4 may have judged
    // otherwise): its health words, the slope as a percentage of the ideal
    // electrode and the offset at pH 7, not numbers where it gives none.
    std::string RecordedHealth;
    float RecordedSlopePercent = 0.0f, RecordedOffsetPh7 = 0.0f;
    // Read from a record of the previous layout, which does not say how the
    // points were taken, whether the temperature was given or the buffers.
    bool PreviousLayout = false;

    CalibrationRecord();
    bool IsPh() const;
    bool IsUndo() const;
    bool IsVerification() const;
    double IdealSlope() const; // of a pH electrode at the temperature
    // What the computed pair says of the probe, by its type's limits.
    ProbeJudgement Judgement() const;
    // "ok", "check probe", ... for the computed pair; empty without one.
    std::string Health() const;
    // The values written whose reply did not confirm them: "sensitivity,
    // date"; empty when every write was confirmed or none was made.
    std::string Unconfirmed() const;
};

// A standard as a person reads it: "6.86", with buffers "6.86 at 15.0 °C:
// 6.900", "air at 15.0 °C, 954.6 hPa, salinity 0: 9.491 mg/L", "zero solution",
// "grab sample 0.84 mg/L".
std::string StandardText(const PointResult& point, const CalibrationRecord& record);
// The values whose writes were not confirmed ("sensitivity, date", as
// Unconfirmed() gives them) in the language a person reads.
std::string ValueNames(const std::string& keys);
// A value the record keeps exactly (a standard, a sensitivity) as a person
// reads it: the language's decimal symbol.
std::string ExactDecimal(float value);
// "2026-12-07", "0000-00-00" for no date.
std::string DateText(uint32_t bcd);

// The fields of the record line, in the record's column order.
std::vector<std::string> RecordFields(const CalibrationRecord& record);
// The record of a line's fields (RecordColumnCount of them; those beyond
// RecPreviousLayoutColumns are empty in a line of the previous layout).
// False, with what is wrong, for a field that cannot be read.
bool RecordOfFields(const std::vector<std::string>& fields, bool previousLayout,
                    CalibrationRecord& record, std::string& problem);
