#include "app/calibration_form.h"

#include "core/calibration_policy.h"
#include "core/number_text.h"

namespace {

const StandardChoice PhChoices[] = {StandardChoice::Values, StandardChoice::Nist,
                                    StandardChoice::Table};
const StandardChoice RedoxChoices[] = {StandardChoice::Values, StandardChoice::Table};
const StandardChoice ChlorineChoices[] = {StandardChoice::ZeroAndGrab, StandardChoice::Grab,
                                          StandardChoice::Values};
const StandardChoice OxygenChoices[] = {StandardChoice::ZeroAndAir, StandardChoice::Air,
                                        StandardChoice::Values};

bool Typed(const std::string& text) {
    return text.find_first_not_of(' ') != std::string::npos;
}

} // namespace

bool ReadFormNumber(const std::string& text, double& value) {
    std::string number = text;
    for (char& c : number)
        if (c == ',') c = '.';
    const size_t first = number.find_first_not_of(' ');
    const size_t last = number.find_last_not_of(' ');
    if (first == std::string::npos) return false;
    float parsed;
    if (!ParseNumber(number.substr(first, last - first + 1).c_str(), parsed) ||
        !IsFiniteNumber(parsed))
        return false;
    value = parsed;
    return true;
}

namespace {

bool ReadNumber(const std::string& text, double& value) {
    return ReadFormNumber(text, value);
}

bool PointsAreValues(StandardChoice choice) {
    return choice == StandardChoice::Values || choice == StandardChoice::Nist ||
           choice == StandardChoice::Table;
}

bool HasAir(StandardChoice choice) {
    return choice == StandardChoice::ZeroAndAir || choice == StandardChoice::Air;
}

// A Redox probe is calibrated at one point; a verification may look at two.
bool OnePointOnly(const CalibrationForm& form) {
    return CalibrationLaw(form.ProbeType) == ProbeRedox && !form.Verify;
}

bool OnePoint(const CalibrationForm& form) {
    return form.OnePoint || OnePointOnly(form);
}

class FormReader {
public:
    FormReader(const CalibrationForm& form, CalibrationPlan& plan) : Form(form), Plan(plan) {}

    FormFault Read() {
        Plan = CalibrationPlan();
        Plan.Verify = Form.Verify;
        if (FormFault fault = ReadStandards()) return fault;
        if (FormFault fault = ReadConditions()) return fault;
        if (FormFault fault = ReadCheck()) return fault;
        Plan.Technician = Form.Technician;
        Plan.Tag = Form.Tag;
        if (Typed(Form.DueDays)) {
            double days;
            if (!ReadNumber(Form.DueDays, days) || days != static_cast<int32_t>(days))
                return Wrong(FormField::DueDays);
            Plan.HasDueDays = true;
            Plan.DueDays = static_cast<int32_t>(days);
        }
        return FaultOf(CheckPlan(Plan));
    }

private:
    FormFault Wrong(FormField field, PlanProblem problem = PlanProblem::None) {
        return FormFault{field, problem};
    }

    bool Number(FormField field, const std::string& text, double& value) {
        return FieldUsed(Form, field) && Typed(text) && ReadNumber(text, value);
    }

    FormFault ReadStandards() {
        switch (Form.Choice) {
        case StandardChoice::ZeroAndAir:
            Plan.Standards.push_back({StandardKind::Zero, 0.0f});
            // fall through
        case StandardChoice::Air:
            Plan.Standards.push_back({StandardKind::Air, 0.0f});
            return FormFault();
        case StandardChoice::ZeroAndGrab:
            Plan.Standards.push_back({StandardKind::Zero, 0.0f});
            // fall through
        case StandardChoice::Grab:
            Plan.Standards.push_back({StandardKind::Grab, 0.0f});
            return FormFault();
        default:
            break;
        }
        const StandardKind kind = Form.Choice == StandardChoice::Nist    ? StandardKind::Buffer
                                  : Form.Choice == StandardChoice::Table ? StandardKind::Table
                                                                         : StandardKind::Value;
        const FormField fields[] = {FormField::Standard1, FormField::Standard2};
        const std::string* texts[] = {&Form.Standard1, &Form.Standard2};
        for (int i = 0; i < 2; ++i) {
            if (!FieldUsed(Form, fields[i])) continue;
            double value;
            if (!Number(fields[i], *texts[i], value)) return Wrong(fields[i]);
            Plan.Standards.push_back({kind, static_cast<float>(value)});
        }
        Plan.KeepSlope = FieldUsed(Form, FormField::KeepSlope) && Form.KeepSlope;
        if (Form.Choice == StandardChoice::Values) return FormFault();
        if (Form.Choice == StandardChoice::Table && !Form.HasTable) return Wrong(FormField::Table);
        Plan.UseBuffers = true;
        Plan.Buffers = Form.Choice == StandardChoice::Nist ? NistBuffers : Form.Table;
        Plan.BufferSource = Form.Choice == StandardChoice::Nist ? "nist" : Form.TableName;
        return FormFault();
    }

    FormFault ReadConditions() {
        if (Typed(Form.Temperature)) {
            if (!Number(FormField::Temperature, Form.Temperature, Plan.Temperature))
                return Wrong(FormField::Temperature);
            Plan.TemperatureGiven = true;
        }
        const struct {
            FormField Field;
            const std::string& Text;
            double& Value;
            bool* Given;
        } conditions[] = {
            {FormField::Pressure, Form.Pressure, Plan.PressureHpa, &Plan.PressureGiven},
            {FormField::Altitude, Form.Altitude, Plan.AltitudeM, &Plan.AltitudeGiven},
            {FormField::Salinity, Form.Salinity, Plan.Salinity, nullptr},
            {FormField::WaterPh, Form.WaterPh, Plan.SamplePh, &Plan.HasSamplePh},
        };
        for (const auto& condition : conditions) {
            if (!FieldUsed(Form, condition.Field) || !Typed(condition.Text)) continue;
            if (!ReadNumber(condition.Text, condition.Value)) return Wrong(condition.Field);
            if (condition.Given) *condition.Given = true;
        }
        return FormFault();
    }

    FormFault ReadCheck() {
        double value;
        if (FieldUsed(Form, FormField::Check) && Typed(Form.Check)) {
            if (!ReadNumber(Form.Check, value)) return Wrong(FormField::Check);
            Plan.HasCheck = true;
            Plan.CheckStandard = static_cast<float>(value);
        }
        if (FieldUsed(Form, FormField::Tolerance) && Typed(Form.Tolerance)) {
            if (!ReadNumber(Form.Tolerance, Plan.Tolerance)) return Wrong(FormField::Tolerance);
            Plan.ToleranceGiven = true;
        }
        return FormFault();
    }

    // The plan check's problem, told at the field that holds the value.
    FormFault FaultOf(PlanFault fault) {
        switch (fault.Problem) {
        case PlanProblem::None:
            return FormFault();
        case PlanProblem::Temperature:
        case PlanProblem::TableTemperature:
            return Wrong(FormField::Temperature, fault.Problem);
        case PlanProblem::Pressure:
        case PlanProblem::PressureAndAltitude:
            return Wrong(FormField::Pressure, fault.Problem);
        case PlanProblem::Altitude:
            return Wrong(FormField::Altitude, fault.Problem);
        case PlanProblem::Salinity:
            return Wrong(FormField::Salinity, fault.Problem);
        case PlanProblem::SamplePh:
            return Wrong(FormField::WaterPh, fault.Problem);
        case PlanProblem::Tolerance:
        case PlanProblem::CheckToleranceAlone:
            return Wrong(FormField::Tolerance, fault.Problem);
        case PlanProblem::DueDays:
            return Wrong(FormField::DueDays, fault.Problem);
        case PlanProblem::TableStandard:
            return Wrong(StandardFieldOf(fault.Value), fault.Problem);
        default:
            return Wrong(FormField::Standard1, fault.Problem);
        }
    }

    // The standard that names no solution: either point's, or the check's.
    FormField StandardFieldOf(float value) {
        for (size_t i = 0; i < Plan.Standards.size(); ++i)
            if (Plan.Standards[i].Value == value)
                return i == 0 ? FormField::Standard1 : FormField::Standard2;
        return FormField::Check;
    }

    const CalibrationForm& Form;
    CalibrationPlan& Plan;
};

} // namespace

const StandardChoice* ChoicesOf(uint8_t probeType, int& count) {
    switch (CalibrationLaw(probeType)) {
    case ProbeRedox:
        count = 2;
        return RedoxChoices;
    case ProbeChlorine:
        count = 3;
        return ChlorineChoices;
    case ProbeOxygen:
        count = 3;
        return OxygenChoices;
    default:
        count = 3;
        return PhChoices;
    }
}

bool FieldUsed(const CalibrationForm& form, FormField field) {
    const uint8_t law = CalibrationLaw(form.ProbeType);
    const bool values = PointsAreValues(form.Choice);
    switch (field) {
    case FormField::Standard1:
        return values;
    case FormField::Standard2:
        return values && !OnePoint(form);
    case FormField::OnePoint:
        return values && !OnePointOnly(form);
    case FormField::KeepSlope:
        return law == ProbePH && !form.Verify && OnePoint(form);
    case FormField::Table:
        return form.Choice == StandardChoice::Table;
    case FormField::Pressure:
    case FormField::Altitude:
    case FormField::Salinity:
        return HasAir(form.Choice);
    case FormField::WaterPh:
        return law == ProbeChlorine;
    case FormField::Check:
        return !form.Verify;
    case FormField::Tolerance:
        return form.Verify || Typed(form.Check);
    case FormField::Grab:
        return false; // only while a grab sample's value is asked
    default:
        return true;
    }
}

FormFault PlanOfForm(const CalibrationForm& form, CalibrationPlan& plan) {
    FormReader reader(form, plan);
    return reader.Read();
}
