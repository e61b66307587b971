#pragma once

#include "calibration/calibration_record.h"
#include "core/buffer_table.h"
#include "core/settling_window.h"

#include <cstdint>
#include <string>
#include <vector>

// A standard as given: what kind it is and its value as named. A value, a
// buffer or a table's solution is named by its value; air and zero carry
// none; a grab sample's value is known once the sample was measured.
struct PlannedStandard {
    StandardKind Kind = StandardKind::Value;
    float Value = 0.0f;
};

// What a calibration or a verification is asked to do, checked before the
// first frame goes out: the standards and their conditions, how the points
// are taken, the check, and what the record is told.
struct CalibrationPlan {
    // A verification compares the transmitter's readings with the standards
    // and writes nothing.
    bool Verify = false;
    std::vector<PlannedStandard> Standards; // in the order given, one or two
    bool TemperatureGiven = false;
    double Temperature = 25.0; // °C, the standards'
    // The buffers or Redox solutions the standards name, from a table.
    bool UseBuffers = false;
    BufferTable Buffers;
    std::string BufferSource; // "nist", or the table file's name
    // Oxygen in air: the barometric pressure at the site, given or from the
    // altitude, and the water's salinity.
    bool PressureGiven = false, AltitudeGiven = false;
    double PressureHpa = 1013.25, AltitudeM = 0.0;
    double Salinity = 0.0; // g/kg
    // Chlorine: the water's pH, and a grab sample's value given beforehand.
    bool HasSamplePh = false;
    double SamplePh = 7.0;
    bool HasGrabValue = false;
    float GrabValue = 0.0f;
    bool HasCheck = false;
    float CheckStandard = 0.0f;
    // The tolerance of the check, or of each standard of a verification;
    // the probe's own when none is given.
    bool ToleranceGiven = false;
    double Tolerance = 0.05;
    bool KeepSlope = false;
    bool Settle = true;
    SettlingLimits Limits = UsualSettlingLimits;
    double SettleTimeout = 180.0; // seconds
    std::string RecordPath;       // empty: no record
    std::string Technician, Tag;
    bool HasDueDays = false;
    int32_t DueDays = 0;
    // Nobody is asked: each point begins at once, and an unusual pair is
    // written only when AcceptUnusual says so beforehand.
    bool Unattended = false;
    bool AcceptUnusual = false;

    bool Has(StandardKind kind) const;
};
