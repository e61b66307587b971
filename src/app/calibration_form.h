#pragma once

#include "calibration/calibration_plan.h"
#include "calibration/plan_check.h"

#include <cstdint>
#include <string>

// The standards and conditions of the dialog's calibration as typed, and the
// plan they make. Which fields a probe type's choice of standards needs is
// decided here, so that the dialog only shows and reads them.

// What the standards are, as the dialog's list offers them.
enum class StandardChoice { Values, Nist, Table, ZeroAndAir, Air, ZeroAndGrab, Grab };

// The choices a probe type offers, in the list's order, and their number.
const StandardChoice* ChoicesOf(uint8_t probeType, int& count);

// The dialog's fields: what each is called in a fault, and which ones a
// choice uses.
enum class FormField {
    None,
    Standard1,
    Standard2,
    OnePoint,
    KeepSlope,
    Table,
    Temperature,
    Pressure,
    Altitude,
    Salinity,
    WaterPh,
    Check,
    Tolerance,
    DueDays,
    Grab,
};

struct CalibrationForm {
    uint8_t ProbeType = 0;
    bool Verify = false;
    StandardChoice Choice = StandardChoice::Values;
    bool OnePoint = false, KeepSlope = false;
    // The texts as typed; empty is not given.
    std::string Standard1, Standard2, Temperature, Pressure, Altitude, Salinity, WaterPh, Check,
        Tolerance, DueDays, Technician, Tag;
    // A bottle's table, read when it was chosen.
    bool HasTable = false;
    BufferTable Table;
    std::string TableName;
};

// Whether the form's choice uses the field now.
bool FieldUsed(const CalibrationForm& form, FormField field);

// The plan the form makes, or the field that is wrong (with what the plan
// check found, for the words).
struct FormFault {
    FormField Field = FormField::None;
    PlanProblem Problem = PlanProblem::None;
    explicit operator bool() const { return Field != FormField::None; }
};
FormFault PlanOfForm(const CalibrationForm& form, CalibrationPlan& plan);

// A number as the dialog's fields take it: a decimal point or comma, spaces
// around it; false for anything else, an infinity too.
bool ReadFormNumber(const std::string& text, double& value);
