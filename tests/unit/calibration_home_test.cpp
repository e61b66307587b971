// The calibration in its windowless home, run by a front-end of the test's
// own against the simulated transmitter in the test's process: no cable, no
// console, and time that passes only when the calibration waits. Each probe
// type is calibrated as a technician does it, and verified without a write.
#include "calibration/calibration_history.h"
#include "calibration/calibration_run.h"
#include "calibration/oxygen_solubility.h"
#include "calibration/record_file.h"
#include "calibration/record_layout.h"
#include "core/calendar_time.h"
#include "core/exit_status.h"
#include "core/machine_text.h"
#include "core/number_text.h"
#include "record_rows.h"
#include "unit/fake_files.h"
#include "unit/sim_line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>

namespace {

const std::string Record = "home.csv";

struct NoStop : StopSignal {
    bool Requested() const override { return false; }
    bool Wait(DWORD ms) const override { return Clock::Current().Wait(Never, ms); }
    HANDLE Never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
};

// A front-end that keeps what it is told and answers as the test says: it
// puts the probe into each standard when asked, and types a grab sample's
// value two minutes after its reading was held.
class BenchFrontEnd : public CalibrationFrontEnd {
public:
    void Step(CalibrationStep step, const CalibrationRecord&, const std::string& line) override {
        Steps.push_back(step);
        Lines += line + "\n";
    }
    void Note(const std::string& what) override { Lines += "note: " + what + "\n"; }
    void Warn(const std::string&, const std::string& what) override {
        Lines += "warning: " + what + "\n";
    }
    void Fail(int, const std::string&, const std::string& what) override {
        Lines += "failed: " + what + "\n";
    }
    void LineForTheRecord(const std::string&) override {}
    Reply ProbeReady(const std::string& point, const std::string&) override {
        const auto move = Moves.find(point);
        if (move != Moves.end()) move->second();
        return Reply::Yes;
    }
    void Reading(const PointProgress& progress) override { Readings += progress.Read; }
    Reply GrabValue(const std::string&, double& value) override {
        static_cast<FakeClock&>(Clock::Current()).Seconds += 120;
        value = Grab;
        return Reply::Yes;
    }
    // Writes a pair it was shown; asks the test about anything unusual.
    Reply Ask(Question question, const std::string&) override {
        return question == Question::Write ? WriteAnswer : Answer;
    }
    bool OutputLost(std::string&) override { return false; }
    const StopSignal& Stop() override { return Never; }

    std::map<std::string, std::function<void()>> Moves; // by point: "point 1", "check"
    double Grab = 0;
    Reply Answer = Reply::No;
    Reply WriteAnswer = Reply::Yes; // the window's "Zapsat", or closing instead
    std::vector<CalibrationStep> Steps;
    std::string Lines;
    int Readings = 0;
    NoStop Never;
};

class CalibrationHome : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Link.Open("COM5"));
        ASSERT_NE(Link.Identify(), nullptr);
        Plan.RecordPath = Record;
    }

    int Run() {
        Line.Frames.clear();
        Bench.Lines.clear();
        return RunCalibration(Unit, Plan, Bench, Result);
    }
    void Move(const std::string& point, const std::string& simCommand) {
        Bench.Moves[point] = [this, simCommand] { Line.Steer(simCommand); };
    }
    float Held(float TransmitterValues::*value) const { return Line.Model.Values.*value; }
    std::vector<RecordRowText> Rows() { return RecordRowsOf(Files.Content[Record]); }

    FakeClock Time;
    SimulatedLine Line{Time};
    FakeFiles Files;
    TransmitterLink Link;
    CalibrationUnit Unit{Link, "COM5", "VL4"};
    CalibrationPlan Plan;
    BenchFrontEnd Bench;
    CalibrationRecord Result;
};

PlannedStandard Point(StandardKind kind, float value = 0) {
    return {kind, value};
}

// Each probe type the way its technician calibrates it, each finding the
// electrode the simulator has: what is written is what the probe is.
TEST_F(CalibrationHome, EveryProbeTypeIsCalibratedToItsElectrode) {
    // pH: two buffers.
    Line.Steer("set probe-offset 6");
    Line.Steer("set probe-sensitivity -57");
    Move("point 1", "set solution 7");
    Move("point 2", "set solution 4.01");
    Plan.Standards = {Point(StandardKind::Value, 7), Point(StandardKind::Value, 4.01f)};
    ASSERT_EQ(Run(), ExitDone) << Bench.Lines;
    EXPECT_NEAR(Held(&TransmitterValues::Sensitivity), -57.0, 0.01);
    EXPECT_NEAR(Held(&TransmitterValues::Offset), 6.0, 0.01);

    // Oxygen: in sulfite, then in air at 15 °C 500 m up, with sea salt.
    Line.Steer("set probe 3");
    Line.Steer("set offset 0");
    Line.Steer("set sensitivity 9");
    Line.Steer("set probe-offset 0.4");
    Line.Steer("set probe-sensitivity 7.5");
    Line.Steer("set temperature 15");
    Line.Steer("set pressure 954.61");
    Line.Steer("set salinity 10");
    Move("point 1", "set solution 0");
    Move("point 2", "set solution air");
    Plan = CalibrationPlan();
    Plan.RecordPath = Record;
    Plan.Standards = {Point(StandardKind::Zero), Point(StandardKind::Air)};
    Plan.TemperatureGiven = true;
    Plan.Temperature = 15;
    Plan.AltitudeGiven = true;
    Plan.AltitudeM = 500;
    Plan.Salinity = 10;
    ASSERT_EQ(Run(), ExitDone) << Bench.Lines;
    EXPECT_NEAR(Held(&TransmitterValues::Sensitivity), 7.5, 0.01);
    EXPECT_NEAR(Held(&TransmitterValues::Offset), 0.4, 0.01);
    EXPECT_NE(Bench.Lines.find("point 2: air at 15.0 \xC2\xB0"
                               "C, 954.6 hPa, salinity 10: " +
                               FixedText(OxygenSolubility(15, 954.6083, 10), 3) + " mg/L"),
              std::string::npos)
        << Bench.Lines;
    EXPECT_NE(
        Bench.Lines.find("slope 83.3 % of the nominal slope (9 mV per mg/L), zero 0.053 mg/L: "
                         "check probe"),
        std::string::npos)
        << Bench.Lines;

    // Chlorine: out of its water, then a grab sample whose value comes
    // minutes after its reading was held.
    Line.Steer("set probe 2");
    Line.Steer("set offset 0");
    Line.Steer("set sensitivity 200");
    Line.Steer("set probe-offset 1");
    Line.Steer("set probe-sensitivity 180");
    Line.Steer("set ph 7.2");
    Move("point 1", "set solution 0");
    Move("point 2", "set solution 0.8");
    Plan = CalibrationPlan();
    Plan.RecordPath = Record;
    Plan.Standards = {Point(StandardKind::Zero), Point(StandardKind::Grab)};
    Plan.HasSamplePh = true;
    Plan.SamplePh = 7.2;
    Bench.Grab = 0.8;
    ASSERT_EQ(Run(), ExitDone) << Bench.Lines;
    EXPECT_NEAR(Held(&TransmitterValues::Sensitivity), 180.0, 0.5);
    EXPECT_NE(Bench.Lines.find("point 2: take the grab sample now\npoint 2: grab sample 0.8 mg/L, "
                               "120 s after its reading"),
              std::string::npos)
        << Bench.Lines;
    EXPECT_NE(Bench.Lines.find("68.5 % of the free chlorine is HOCl"), std::string::npos);

    // Redox: one solution from its bottle's table at 15 °C.
    Line.Steer("set probe 1");
    Line.Steer("set offset 0");
    Line.Steer("set probe-offset 12");
    Move("point 1", "set solution 250");
    Plan = CalibrationPlan();
    Plan.RecordPath = Record;
    int line;
    std::string problem;
    ASSERT_TRUE(ParseBufferTable("temperature,228\n15,250\n25,228\n", Plan.Buffers, line, problem,
                                 TableUnits::Redox));
    Plan.UseBuffers = true;
    Plan.BufferSource = "zobell.csv";
    Plan.Standards = {Point(StandardKind::Table, 228)};
    Plan.TemperatureGiven = true;
    Plan.Temperature = 15;
    ASSERT_EQ(Run(), ExitDone) << Bench.Lines;
    EXPECT_NEAR(Held(&TransmitterValues::Offset), 12.0, 0.01);

    // The record tells each apart, with the conditions of its standards.
    const std::vector<RecordRowText> rows = Rows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1][RecStandardKind1] + " " + rows[1][RecStandardKind2], "zero air");
    EXPECT_EQ(rows[1][RecPressure], "954.60834");
    EXPECT_EQ(rows[1][RecSalinity], "10");
    EXPECT_EQ(rows[1][RecSlopePercent],
              ExactText(static_cast<float>(std::stof(rows[1][RecComputedSensitivity]) / 9 * 100)));
    EXPECT_EQ(rows[2][RecStandardKind2], "grab");
    EXPECT_EQ(rows[2][RecGrabDelay], "120");
    EXPECT_EQ(rows[2][RecSamplePh], "7.2");
    EXPECT_EQ(rows[2][RecHealth], "ok");
    EXPECT_EQ(rows[3][RecStandardKind1], "table");
    EXPECT_EQ(rows[3][RecStandardUsed1], "250");
    EXPECT_EQ(rows[3][RecBuffers], "zobell.csv");
    EXPECT_EQ(Bench.Readings, 7 * 66) << "a stable probe takes a window of readings a point";
}

// A one-point oxygen calibration in air that finds a probe at half its
// slope is unusual: nobody said write, nothing is written.
TEST_F(CalibrationHome, AnOxygenProbeAtHalfItsSlopeIsNotWrittenUnasked) {
    Line.Steer("set probe 3");
    Line.Steer("set sensitivity 9");
    Line.Steer("set probe-sensitivity 4.5");
    Line.Steer("set solution air");
    Plan.Standards = {Point(StandardKind::Air)};
    EXPECT_EQ(Run(), ExitFailed);
    EXPECT_NE(Bench.Lines.find("slope 50.0 % of the nominal slope (9 mV per mg/L), zero 0 by the "
                               "one-point law: check probe (slope only)"),
              std::string::npos)
        << Bench.Lines;
    EXPECT_NE(Bench.Lines.find("note: the air is taken to be at 1013.25 hPa"), std::string::npos);
    EXPECT_EQ(Result.Outcome, OutcomeDeclined);
    EXPECT_EQ(Line.Model.Values.Sensitivity, 9.0f);
}

// A usual pair that the technician, shown it, does not write (the window's
// dialog closed at its result) is declined: the damping back, nothing else.
TEST_F(CalibrationHome, APairShownAndNotWrittenIsDeclined) {
    Move("point 1", "set solution 7");
    Move("point 2", "set solution 4.01");
    Plan.Standards = {Point(StandardKind::Value, 7), Point(StandardKind::Value, 4.01f)};
    Bench.WriteAnswer = Reply::No;
    EXPECT_EQ(Run(), ExitFailed);
    EXPECT_EQ(Result.Outcome, OutcomeDeclined);
    for (const std::string& frame : Line.Frames) {
        if (frame.compare(6, 2, "00") != 0) {
            EXPECT_EQ(frame.substr(0, 5), "01 2C") << frame;
        }
    }
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Rows()[0][RecOutcome], OutcomeDeclined);
}

// A verification writes nothing but the damping it puts back; its record
// makes the unit due again, or says to calibrate it.
TEST_F(CalibrationHome, AVerificationWritesNothingAndIsWhatTheDueDateGoesBy) {
    Move("point 1", "set solution 7");
    Move("point 2", "set solution 4.01");
    Plan.Verify = true;
    Plan.Standards = {Point(StandardKind::Value, 7), Point(StandardKind::Value, 4.01f)};
    Plan.HasDueDays = true;
    Plan.DueDays = 30;
    ASSERT_EQ(Run(), ExitDone) << Bench.Lines;
    EXPECT_EQ(Result.Outcome, OutcomeVerified);
    for (const std::string& frame : Line.Frames) {
        if (frame.compare(6, 2, "00") != 0) {
            EXPECT_EQ(frame.substr(0, 5), "01 2C") << frame;
        }
    }
    EXPECT_NE(Bench.Lines.find("point 2: the transmitter reads 4.010 in the standard 4.01 (error "
                               "+0.000, tolerance 0.05): pass"),
              std::string::npos)
        << Bench.Lines;

    Line.Steer("set probe-offset 5"); // the electrode aged since
    Time.Seconds += 86400;
    EXPECT_EQ(Run(), ExitFailed);
    EXPECT_EQ(Result.Outcome, OutcomeVerifyFailed);
    EXPECT_NE(Bench.Lines.find("(error -0.085, tolerance 0.05): fail"), std::string::npos)
        << Bench.Lines;

    RecordBook book;
    RecordShape shape;
    std::string problem;
    ASSERT_TRUE(ReadRecordFile(Record, book, shape, problem)) << problem;
    std::vector<UnitHistory> units = ReadHistory(book, {DayOfDate(2026, 12, 8), 0});
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(DueDistance(units[0], DayOfDate(2026, 12, 8)), "verification failed: calibrate");
    book.Entries.pop_back();
    units = ReadHistory(book, {DayOfDate(2026, 12, 8), 0});
    EXPECT_EQ(DueDistance(units[0], DayOfDate(2026, 12, 8)), "in 30 days");
}

} // namespace

// What the window's dialog shows in Czech: a chlorine calibration with a
// grab sample told in Czech, with decimal commas; its record line is the one
// the same calibration records in English.
TEST_F(CalibrationHome, InCzechAGrabSampleIsToldInCzechAndRecordedAsInEnglish) {
    for (const char* setting : {"set probe 2", "set offset 0", "set sensitivity 200",
                                "set probe-offset 1", "set probe-sensitivity 180", "set ph 7.2"})
        Line.Steer(setting);
    for (const char* point : {"point 1", "bod 1"}) Move(point, "set solution 0");
    for (const char* point : {"point 2", "bod 2"}) Move(point, "set solution 0.8");
    Plan.Standards = {Point(StandardKind::Zero), Point(StandardKind::Grab)};
    Plan.HasSamplePh = true;
    Plan.SamplePh = 7.2;
    Bench.Grab = 0.8;
    const TransmitterValues before = Line.Model.Values;
    ASSERT_EQ(Run(), ExitDone) << Bench.Lines;
    Line.Model.Values = before;
    Time.Seconds = 0;
    SetLanguage(Language::Czech);
    const int status = Run();
    SetLanguage(Language::English);
    ASSERT_EQ(status, ExitDone) << Bench.Lines;

    for (const char* line :
         {"bod 1: nulov\xC3\xBD roztok\n", // nulový
          "68,5 % voln\xC3\xA9ho chloru je HOCl", "bod 2: nyn\xC3\xAD odeberte vzorek\n",
          "bod 2: odebran\xC3\xBD vzorek 0,8 mg/l, zm\xC4\x9B\xC5\x99" // změřen
          "en 120 s po zadr\xC5\xBE"
          "en\xC3\xAD \xC3\xBA"
          "daje\n", // zadržení údaje
          " % d\xC5\x99\xC3\xADv\xC4\x9Bj\xC5\xA1\xC3\xAD strmosti (200 mV na mg/l)"}) // dřívější
        EXPECT_NE(Bench.Lines.find(line), std::string::npos) << line << " in\n" << Bench.Lines;
    const std::string& record = Files.Content[Record];
    const size_t second = record.find("\r\n") + 2, third = record.find("\r\n", second) + 2;
    ASSERT_EQ(record.size() - third, third - second) << record;
    EXPECT_EQ(record.substr(third), record.substr(second, third - second));
}
