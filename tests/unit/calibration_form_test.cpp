// The window's calibration form: what a technician types becomes the plan
// vl4's calibration runs, and a value that cannot be used is told at the
// field that holds it.
#include "app/calibration_form.h"
#include "calibration/oxygen_solubility.h"
#include "devlink/probe_defaults.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

CalibrationForm FormOf(uint8_t probe, StandardChoice choice) {
    CalibrationForm form;
    form.ProbeType = probe;
    form.Choice = choice;
    return form;
}

std::vector<StandardKind> Kinds(const CalibrationPlan& plan) {
    std::vector<StandardKind> kinds;
    for (const PlannedStandard& planned : plan.Standards) kinds.push_back(planned.Kind);
    return kinds;
}

TEST(CalibrationForm, EachProbeTypesChoicesMakeThePlanVl4Runs) {
    CalibrationPlan plan;
    CalibrationForm ph = FormOf(ProbePH, StandardChoice::Nist);
    ph.Standard1 = "6,86"; // a decimal comma, as a Czech keyboard gives it
    ph.Standard2 = " 4.01 ";
    ph.Temperature = "15";
    ph.Check = "9.18";
    ph.Technician = "J. Nov\xC3\xA1k";
    ph.DueDays = "365";
    ASSERT_FALSE(PlanOfForm(ph, plan));
    EXPECT_EQ(Kinds(plan), (std::vector<StandardKind>{StandardKind::Buffer, StandardKind::Buffer}));
    EXPECT_FLOAT_EQ(plan.Standards[0].Value, 6.86f);
    EXPECT_TRUE(plan.UseBuffers);
    EXPECT_EQ(plan.BufferSource, "nist");
    EXPECT_TRUE(plan.TemperatureGiven);
    EXPECT_EQ(plan.Temperature, 15.0);
    EXPECT_TRUE(plan.HasCheck);
    EXPECT_FALSE(plan.ToleranceGiven) << "the probe's own tolerance";
    EXPECT_EQ(plan.Technician, "J. Nov\xC3\xA1k");
    EXPECT_EQ(plan.DueDays, 365);
    EXPECT_FALSE(plan.Unattended) << "a person answers in the dialog";

    CalibrationForm oxygen = FormOf(ProbeOxygen, StandardChoice::ZeroAndAir);
    oxygen.Standard1 = "ignored: zero and air need no value";
    oxygen.Temperature = "20";
    oxygen.Altitude = "500";
    oxygen.Salinity = "35";
    ASSERT_FALSE(PlanOfForm(oxygen, plan));
    EXPECT_EQ(Kinds(plan), (std::vector<StandardKind>{StandardKind::Zero, StandardKind::Air}));
    EXPECT_TRUE(plan.AltitudeGiven);
    EXPECT_EQ(plan.AltitudeM, 500.0);
    EXPECT_EQ(plan.Salinity, 35.0);

    CalibrationForm chlorine = FormOf(ProbeChlorine, StandardChoice::Grab);
    chlorine.WaterPh = "7.4";
    chlorine.Pressure = "980"; // not a chlorine probe's condition: not read
    ASSERT_FALSE(PlanOfForm(chlorine, plan));
    EXPECT_EQ(Kinds(plan), (std::vector<StandardKind>{StandardKind::Grab}));
    EXPECT_TRUE(plan.HasSamplePh);
    EXPECT_FALSE(plan.PressureGiven);
    EXPECT_FALSE(plan.HasGrabValue) << "typed once its reading is held";

    // A Redox probe is calibrated at one point, whatever is in the second
    // field; its verification may look at two.
    CalibrationForm redox = FormOf(ProbeRedox, StandardChoice::Values);
    redox.Standard1 = "-120";
    redox.Standard2 = "475";
    ASSERT_FALSE(PlanOfForm(redox, plan));
    EXPECT_EQ(plan.Standards.size(), 1u);
    redox.Verify = true;
    ASSERT_FALSE(PlanOfForm(redox, plan));
    EXPECT_EQ(plan.Standards.size(), 2u);
    EXPECT_TRUE(plan.Verify);
}

TEST(CalibrationForm, AValueThatCannotBeUsedIsToldAtItsField) {
    struct Case {
        const char* What;
        CalibrationForm Form;
        FormField Field;
    };
    auto ph = [](std::function<void(CalibrationForm&)> fill) {
        CalibrationForm form = FormOf(ProbePH, StandardChoice::Nist);
        form.Standard1 = "6.86";
        form.Standard2 = "4.01";
        fill(form);
        return form;
    };
    auto air = [](std::function<void(CalibrationForm&)> fill) {
        CalibrationForm form = FormOf(ProbeOxygen, StandardChoice::Air);
        fill(form);
        return form;
    };
    const Case cases[] = {
        {"no second standard", ph([](CalibrationForm& f) { f.Standard2 = ""; }),
         FormField::Standard2},
        {"a standard that is no number", ph([](CalibrationForm& f) { f.Standard1 = "7x"; }),
         FormField::Standard1},
        {"a buffer NIST does not have", ph([](CalibrationForm& f) { f.Standard2 = "5.5"; }),
         FormField::Standard2},
        {"a check NIST does not have", ph([](CalibrationForm& f) { f.Check = "8"; }),
         FormField::Check},
        {"a temperature the table does not reach",
         ph([](CalibrationForm& f) { f.Temperature = "70"; }), FormField::Temperature},
        {"a tolerance no check proves anything with", ph([](CalibrationForm& f) {
             f.Check = "9.18";
             f.Tolerance = "60";
         }),
         FormField::Tolerance},
        {"due in no days", ph([](CalibrationForm& f) { f.DueDays = "0"; }), FormField::DueDays},
        {"due in half a day", ph([](CalibrationForm& f) { f.DueDays = "1.5"; }),
         FormField::DueDays},
        {"a table not chosen", ph([](CalibrationForm& f) { f.Choice = StandardChoice::Table; }),
         FormField::Table},
        {"air above 40 degrees", air([](CalibrationForm& f) { f.Temperature = "45"; }),
         FormField::Temperature},
        {"pressure and altitude both", air([](CalibrationForm& f) {
             f.Pressure = "980";
             f.Altitude = "300";
         }),
         FormField::Pressure},
        {"a pressure no air has", air([](CalibrationForm& f) { f.Pressure = "1200"; }),
         FormField::Pressure},
        {"an altitude whose air is too thin", air([](CalibrationForm& f) { f.Altitude = "6000"; }),
         FormField::Altitude},
        {"salinity beyond sea water's", air([](CalibrationForm& f) { f.Salinity = "50"; }),
         FormField::Salinity},
    };
    for (const Case& c : cases) {
        CalibrationPlan plan;
        EXPECT_EQ(PlanOfForm(c.Form, plan).Field, c.Field) << c.What;
    }
}

TEST(CalibrationForm, TheFieldsAChoiceUses) {
    CalibrationForm form = FormOf(ProbePH, StandardChoice::Values);
    EXPECT_TRUE(FieldUsed(form, FormField::Standard2));
    EXPECT_FALSE(FieldUsed(form, FormField::KeepSlope)) << "two points measure the slope";
    EXPECT_FALSE(FieldUsed(form, FormField::Tolerance)) << "no check typed";
    form.OnePoint = true;
    form.Check = "4.01";
    EXPECT_FALSE(FieldUsed(form, FormField::Standard2));
    EXPECT_TRUE(FieldUsed(form, FormField::KeepSlope));
    EXPECT_TRUE(FieldUsed(form, FormField::Tolerance));
    EXPECT_FALSE(FieldUsed(form, FormField::Pressure));
    form.Verify = true;
    EXPECT_FALSE(FieldUsed(form, FormField::Check));
    EXPECT_FALSE(FieldUsed(form, FormField::KeepSlope));
    EXPECT_TRUE(FieldUsed(form, FormField::Tolerance)) << "each standard's";

    form = FormOf(ProbeOxygen, StandardChoice::ZeroAndAir);
    EXPECT_FALSE(FieldUsed(form, FormField::Standard1));
    EXPECT_TRUE(FieldUsed(form, FormField::Altitude));
    EXPECT_FALSE(FieldUsed(form, FormField::WaterPh));
    form = FormOf(ProbeRedox, StandardChoice::Values);
    EXPECT_FALSE(FieldUsed(form, FormField::OnePoint)) << "always one";

    int count = 0;
    const StandardChoice* choices = ChoicesOf(ProbeChlorine, count);
    EXPECT_EQ(std::vector<StandardChoice>(choices, choices + count),
              (std::vector<StandardChoice>{StandardChoice::ZeroAndGrab, StandardChoice::Grab,
                                           StandardChoice::Values}));
}

} // namespace
