#include "calibration/calibration_run.h"

#include "calibration/free_chlorine.h"
#include "calibration/point_sampler.h"
#include "calibration/record_file.h"
#include "calibration/record_layout.h"
#include "calibration/standards.h"
#include "calibration/writes_report.h"
#include "core/calibration_writes.h"
#include "core/clock.h"
#include "core/damping.h"
#include "core/english_names.h"
#include "core/exit_status.h"
#include "core/local_time.h"
#include "core/machine_text.h"
#include "core/number_text.h"
#include "core/transmitter_settings.h"

#include <cmath>

namespace {

// A bottle table by its file's name, without its folders.
std::string BufferName(const CalibrationPlan& plan) {
    if (!plan.UseBuffers) return "";
    const std::string& source = plan.BufferSource;
    return source == "nist" ? source : source.substr(source.find_last_of("/\\") + 1);
}

class Calibration {
public:
    Calibration(CalibrationUnit& unit, const CalibrationPlan& plan, CalibrationFrontEnd& frontEnd,
                CalibrationRecord& result)
        : Unit(unit), Plan(plan), FrontEnd(frontEnd), Result(result), Damping(unit.Link) {}

    int Run() {
        Result = CalibrationRecord();
        if (int status = ReadTransmitter()) return status;
        if (int status = CheckStandards()) return status;
        if (int status = ReadFound()) return status;
        int status = PauseDamping();
        if (status == ExitDone) status = Measure();
        if (Plan.Verify) {
            if (status == ExitDone) status = Compare();
        } else {
            if (status == ExitDone) status = Decide();
            if (status == ExitDone) status = Write();
            if (status == ExitDone && Plan.HasCheck) status = Check();
        }
        status = RestoreDamping(status);
        if (!Result.Outcome.empty()) status = Record(status);
        if (FrontEnd.Stop().Requested() && status == ExitDone) status = ExitInterrupted;
        return status;
    }

private:
    int Fail(int status, const std::string& what) {
        FrontEnd.Fail(status, Unit.Port, what);
        return status;
    }

    // --- before the probe is touched

    int ReadTransmitter() {
        if (int status = ReadUnit(Unit, FrontEnd, Result)) return status;
        Result.Technician = Plan.Technician;
        Result.Tag = Plan.Tag;
        Result.Temperature = Plan.Temperature;
        Result.TemperatureGiven = Plan.TemperatureGiven;
        Result.Points = static_cast<int>(Plan.Standards.size());
        Result.Settle = Plan.Settle;
        Result.Limits = Plan.Limits;
        Result.Buffers = BufferName(Plan);
        FrontEnd.Step(CalibrationStep::Unit, Result,
                      "probe " + std::string(ProbeTypeEnglishName(Result.ProbeType)) + " on " +
                          Unit.Port + " (" + Unit.Identification + " " +
                          IntegerText(Result.ProductionNumber) + ", firmware " + Result.Firmware +
                          ")");
        return ExitDone;
    }

    int Usage(const std::string& what) { return Fail(ExitUsage, what); }

    // What the probe takes, the values of its standards at their conditions,
    // and a tolerance that proves something.
    int CheckStandards() {
        const std::string problem = ProbeTakes(Plan, Result.ProbeType);
        if (!problem.empty()) return Usage(problem);
        const double widest = WidestCheckTolerance(Result.ProbeType);
        if (Plan.ToleranceGiven && Plan.Tolerance > widest)
            return Usage(std::string(Plan.Verify ? "--tolerance" : "--check-tolerance") + " of a " +
                         ProbeTypeEnglishName(Result.ProbeType) + " probe is at most " +
                         ExactText(static_cast<float>(widest)) + ", not " +
                         ExactText(static_cast<float>(Plan.Tolerance)));
        SetConditions(Plan, Result);
        for (int i = 0; i < Result.Points; ++i)
            SetStandard(Plan, Plan.Standards[i], Result.Point[i]);
        if (Plan.HasCheck) {
            SetStandard(Plan, {CheckKind(Plan), Plan.CheckStandard}, Result.Check);
            Result.CheckTolerance = ToleranceOf(Result.Check);
        }
        // A grab sample's value is known only once its reading is held.
        if (Plan.Verify) {
            Result.CheckTolerance = Plan.ToleranceGiven ? Plan.Tolerance : std::nan("");
        } else if (!Plan.Has(StandardKind::Grab) && !PointsValid(Points())) {
            return Usage(Result.Points == 2 ? "the two standards are equal"
                                            : "a one-point calibration of this probe needs a "
                                              "standard other than 0");
        }
        SayConditions();
        return ExitDone;
    }

    double ToleranceOf(const PointResult& point) const {
        return Plan.ToleranceGiven ? Plan.Tolerance
                                   : DefaultTolerance(Result.ProbeType, point.StandardUsed);
    }

    // What was assumed of the conditions, and what the water's pH does to a
    // chlorine probe.
    void SayConditions() {
        const bool temperatureMatters =
            Result.IsPh() || Plan.UseBuffers || Plan.Has(StandardKind::Air) || Plan.HasSamplePh;
        if (temperatureMatters && !Plan.TemperatureGiven)
            FrontEnd.Note("the standards are taken to be at " + CelsiusText(25) +
                          "; give --temperature C when they are not");
        if (Plan.Has(StandardKind::Air) && !Plan.PressureGiven && !Plan.AltitudeGiven)
            FrontEnd.Note("the air is taken to be at 1013.25 hPa; give --pressure HPA or "
                          "--altitude M when it is not");
        if (!Plan.HasSamplePh) return;
        const double share = HoclShare(Plan.SamplePh, Plan.Temperature);
        const double later =
            ReadingAfterPhChange(Plan.SamplePh, Plan.SamplePh + 0.3, Plan.Temperature);
        FrontEnd.Note("water at pH " + FixedText(Plan.SamplePh, 2) + " and " +
                      CelsiusText(Plan.Temperature) + ": " + FixedText(share * 100, 1) +
                      " % of the free chlorine is HOCl, which the probe sees; at pH " +
                      FixedText(Plan.SamplePh + 0.3, 2) + " it reads " + FixedText(later * 100, 0) +
                      " % of what it reads now");
        if (share < PoorHoclShare)
            FrontEnd.Warn(Unit.Port, "little of the chlorine is HOCl at pH " +
                                         FixedText(Plan.SamplePh, 2) +
                                         ": a calibration there is poor, and the least move of "
                                         "the pH moves the reading much");
    }

    // What the transmitter holds before anything changes, for the record
    // and for an undo.
    int ReadFound() {
        HeldPair& found = Result.Found;
        if (int status = ReadHeld(Unit, FrontEnd, found)) return status;
        FrontEnd.Step(CalibrationStep::Found, Result,
                      "as found: offset " + ExactText(found.Offset) + " mV, sensitivity " +
                          ExactText(found.Sensitivity) + SlopeUnit() + ", calibrated " +
                          DateText(found.Date));
        return ExitDone;
    }

    std::string SlopeUnit() const {
        switch (CalibrationLaw(Result.ProbeType)) {
        case ProbePH:
            return " mV/pH";
        case ProbeChlorine:
        case ProbeOxygen:
            return " mV per mg/L";
        default:
            return "";
        }
    }

    // The damping would smooth the probe voltage; a damping that cannot be
    // read could not be put back, so nothing goes on without it.
    int PauseDamping() {
        switch (Damping.Begin()) {
        case DampingPause::Begun::Paused:
        case DampingPause::Begun::AlreadyOff:
            FrontEnd.DampingPaused(&Damping);
            return ExitDone;
        case DampingPause::Begun::NotRead:
            return Fail(ExitFailed, "no answer reading the damping");
        case DampingPause::Begun::NotZeroed:
            break;
        }
        return Fail(ExitFailed, "the damping could not be set to 0");
    }

    // The damping the calibration took off, put back whatever ends it; a
    // restore that fails says how to do it by hand, with a command that works.
    int RestoreDamping(int status) {
        const bool restored = Damping.End();
        FrontEnd.DampingPaused(nullptr);
        if (restored) return status;
        const std::string saved = IntegerText(Damping.Saved);
        std::string advice = "; set it with: vl4 set " + Unit.Port + " damping=" + saved;
        if (Damping.Saved > MaxDamping)
            advice = "; vl4 set takes 0 to " + IntegerText(MaxDamping) +
                     ": set the highest with vl4 set " + Unit.Port +
                     " damping=" + IntegerText(MaxDamping) + ", or " + saved +
                     " in the window tool";
        Fail(ExitFailed, "the damping was not restored to " + saved + advice);
        return status == ExitDone ? ExitFailed : status;
    }

    // --- the points

    CalibrationPoints Points() const {
        return {Result.ProbeType,
                Result.Points == 1,
                true,
                true,
                Result.Point[0].StandardUsed,
                Result.Point[1].StandardUsed,
                Result.Point[0].Voltage,
                Result.Point[1].Voltage};
    }

    std::string Standard(const PointResult& point) const {
        if (point.Kind == StandardKind::Grab && !point.Taken)
            return Plan.HasGrabValue ? "grab sample"
                                     : "grab sample (its value is asked once the reading is held)";
        const std::string text = StandardText(point, Result);
        return point.Kind == StandardKind::Value || point.Kind == StandardKind::Buffer ||
                       point.Kind == StandardKind::Table
                   ? "standard " + text
                   : text;
    }

    PointRule Rule() const { return {Plan.Settle, Plan.Limits, Plan.SettleTimeout}; }

    int Measure() {
        for (int i = 0; i < Result.Points; ++i) {
            PointEnd end;
            if (int status = TakePoint("point " + IntegerText(i + 1), Result.Point[i], end))
                return status;
        }
        return ExitDone;
    }

    // Asks for the probe (unless unattended), says that the point begins,
    // and samples it.
    int TakePoint(const std::string& name, PointResult& point, PointEnd& end) {
        end = PointEnd::Interrupted;
        if (!Plan.Unattended) {
            const std::string where =
                point.Kind == StandardKind::Grab ? std::string("sample stream") : Standard(point);
            switch (FrontEnd.ProbeReady(name, where)) {
            case Reply::Yes:
                break;
            case Reply::Interrupted:
                return ExitInterrupted;
            case Reply::No:
                return Fail(ExitFailed, "cancelled before " + name + "; nothing written");
            case Reply::Ended:
                FrontEnd.Fail(ExitUsage, "calibrate",
                              "the input ended before the probe was ready; --yes skips the "
                              "question");
                return ExitUsage;
            }
        }
        FrontEnd.Step(CalibrationStep::PointBegins, Result, name + ": " + Standard(point));
        if (int status = SamplePoint(Unit.Link, Unit.Port, Rule(), name, FrontEnd, point, end))
            return status;
        Report(name, point);
        if (point.Kind == StandardKind::Grab)
            if (int status = GrabValue(name, point)) return status;
        if (point.HasFoundValue && &point != &Result.Check && !Plan.Verify)
            FrontEnd.Step(CalibrationStep::PointFound, Result,
                          name + ": as found the transmitter read " +
                              FixedText(point.FoundValue, 3) + " (error " +
                              SignedText(point.FoundValue - point.StandardUsed, 3) + ")");
        return ExitDone;
    }

    void Report(const std::string& name, const PointResult& point) {
        FrontEnd.Step(CalibrationStep::PointTaken, Result,
                      name + ": " + (Plan.Settle ? "stable" : "taken") + " after " +
                          FixedText(point.SettleSeconds, 1) + " s, " + FixedText(point.Voltage, 3) +
                          " mV (" + IntegerText(point.Readings) + " readings; last " +
                          IntegerText(SettlingWindow::Size) + ": drift " +
                          FixedText(point.DriftMvPerMinute, 2) + " mV/min, spread " +
                          FixedText(point.SpreadMv, 3) + " mV)");
    }

    // The reading is held; the sample's value, from the test that takes
    // minutes, is its standard.
    int GrabValue(const std::string& name, PointResult& point) {
        const Clock::TimePoint held = Clock::Current().Now();
        FrontEnd.Step(CalibrationStep::GrabNow, Result, name + ": take the grab sample now");
        double value = Plan.GrabValue;
        if (!Plan.HasGrabValue) {
            const int answer = StatusOfAnswer(FrontEnd.GrabValue(name, value));
            if (answer == ExitInterrupted) return answer;
            if (answer == ExitFailed)
                return Fail(ExitFailed, "no grab sample value for " + name + "; nothing written");
        }
        point.Standard = point.StandardUsed = static_cast<float>(value);
        std::string when = "given beforehand";
        if (!Plan.HasGrabValue) {
            const double seconds =
                std::chrono::duration<double>(Clock::Current().Now() - held).count();
            Result.GrabDelaySeconds = std::round(seconds * 10) / 10;
            when = FixedText(Result.GrabDelaySeconds, 0) + " s after its reading";
        }
        FrontEnd.Step(CalibrationStep::PointBegins, Result,
                      name + ": " + StandardText(point, Result) + ", " + when);
        return ExitDone;
    }

    // --- a verification: the readings against the standards, nothing written

    int Compare() {
        bool all = true;
        for (int i = 0; i < Result.Points; ++i) {
            const PointResult& point = Result.Point[i];
            const double error = point.FoundValue - point.StandardUsed;
            const double tolerance = ToleranceOf(point);
            const bool within = point.HasFoundValue && std::fabs(error) <= tolerance;
            all &= within;
            FrontEnd.Step(CalibrationStep::CheckVerdict, Result,
                          "point " + IntegerText(i + 1) + ": the transmitter reads " +
                              (point.HasFoundValue ? FixedText(point.FoundValue, 3)
                                                   : std::string("nothing")) +
                              " in the " + Standard(point) + " (error " + SignedText(error, 3) +
                              ", tolerance " + ExactText(static_cast<float>(tolerance)) +
                              "): " + (within ? "pass" : "fail"));
        }
        Result.Time = LocalTime::Now().IsoWithMilliseconds();
        Result.Outcome = all ? OutcomeVerified : OutcomeVerifyFailed;
        if (all && Plan.HasDueDays)
            Result.DueDate = LocalTime::Now().DaysLater(Plan.DueDays).IsoDate();
        if (all) return ExitDone;
        return Fail(ExitFailed,
                    "the verification failed; nothing was written: calibrate the probe");
    }

    // --- the result

    // Computes the pair, shows it and judges it: refused as the window's
    // dialog refuses it, unusual beyond the probe type's usual limits.
    // Answers ExitDone when it is to be written.
    int Decide() {
        CalibrationJudgement judgement;
        if (Plan.KeepSlope) {
            Result.Slope = SlopeSource::Kept;
            Result.Computed = PairWithSlope(Result.Point[0].StandardUsed, Result.Point[0].Voltage,
                                            Result.Found.Sensitivity);
            judgement = JudgeCalibration(Result.ProbeType, Result.Computed, Result.Slope,
                                         Result.IdealSlope());
        } else {
            Result.Slope = SlopeOf(Points());
            judgement = JudgeCalibration(Points(), Result.Computed, Result.IdealSlope());
        }
        Result.HasComputed = judgement.Fault == CalibrationFault::None;
        Result.Time = LocalTime::Now().IsoWithMilliseconds();
        if (judgement.Verdict == CalibrationVerdict::Refused) return Refuse(judgement.Fault);
        ShowResult();
        if (!Result.Judgement().Usual)
            if (int status = ConfirmUnusual()) return status;
        return ConfirmWrite();
    }

    // A front-end that shows the result first writes only when told to.
    int ConfirmWrite() {
        if (Plan.Unattended) return ExitDone;
        const int answer = StatusOfAnswer(FrontEnd.Ask(Question::Write, ""));
        if (answer != ExitFailed) return answer;
        Result.Outcome = OutcomeDeclined;
        return Fail(ExitFailed, "not written");
    }

    int Refuse(CalibrationFault fault) {
        Result.Outcome = OutcomeRefused;
        const char* why = fault == CalibrationFault::WrongSlopeSign
                              ? "the points give a slope no working probe of this kind has"
                              : "the points give no usable slope";
        return Fail(ExitFailed, std::string(why) + "; nothing written");
    }

    void ShowResult() {
        const CalibrationResult& pair = Result.Computed;
        std::string slope = ExactText(pair.Sensitivity) + SlopeUnit();
        if (Result.IsPh() && Result.Slope == SlopeSource::Assumed)
            slope += " (assumed: one point measures no slope)";
        if (Result.Slope == SlopeSource::Kept) slope += " (kept: the transmitter's)";
        FrontEnd.Step(CalibrationStep::Pair, Result,
                      "sensitivity " + slope + ", offset " + ExactText(pair.Offset) + " mV");
        FrontEnd.Step(CalibrationStep::Judgement, Result,
                      JudgementText(Result) + ": " + Result.Health());
        if (!Result.Judgement().Healthy)
            FrontEnd.Warn(Unit.Port,
                          "check probe: a healthy probe has " +
                              LimitsText(Result.ProbeType, RuleOf(Result.ProbeType).Healthy));
    }

    // A pair beyond what a probe usually gives is written only when someone
    // says so: an old electrode may need it, a buffer mixed up or a probe
    // never moved does not.
    int ConfirmUnusual() {
        const std::string unusual = "unusual calibration: the usual is " +
                                    LimitsText(Result.ProbeType, RuleOf(Result.ProbeType).Usual);
        if (Plan.Unattended && !Plan.AcceptUnusual) {
            Result.Outcome = OutcomeDeclined;
            return Fail(ExitFailed, unusual + "; nothing written (--accept-unusual writes it)");
        }
        if (Plan.Unattended) return ExitDone;
        const int answer = StatusOfAnswer(FrontEnd.Ask(Question::WriteUnusual, unusual));
        if (answer != ExitFailed) return answer;
        Result.Outcome = OutcomeDeclined;
        return Fail(ExitFailed, "not written");
    }

    // --- the writes

    // Offset, sensitivity (unless kept) and today's date, as the dialog
    // writes them; each reply is what the transmitter holds now ("as left").
    // A calibration whose writes were not all confirmed has failed: what the
    // unit holds is not known until it is read.
    int Write() {
        if (FrontEnd.Stop().Requested()) return ExitInterrupted;
        std::string lost;
        if (FrontEnd.OutputLost(lost)) {
            FrontEnd.Fail(ExitFailed, "standard output",
                          "cannot write: " + lost + "; nothing written");
            return ExitFailed;
        }
        const bool kept = Result.Slope == SlopeSource::Kept;
        CalibrationWrites writes = PlanCalibrationWrites(Result.Computed, kept, TodayBcd());
        WriteCalibration(Unit.Link, writes);
        const std::string written = WrittenText(writes);
        Written = !written.empty();
        if (Written) FrontEnd.Step(CalibrationStep::Written, Result, "wrote " + written);
        const int status = ReportWrites(Unit.Port, writes, FrontEnd, Result.Left);
        if (kept) Result.Left.Set(1, BitsOfFloat(Result.Found.Sensitivity));
        Result.Outcome = status == ExitDone ? OutcomeWritten : OutcomeFailed;
        if (status == ExitDone && Plan.HasDueDays)
            Result.DueDate = LocalTime::Now().DaysLater(Plan.DueDays).IsoDate();
        return status;
    }

    // The new calibration proven in another standard: the transmitter's own
    // reading there, over a settled window, against the standard's value.
    int Check() {
        Result.HasCheck = true;
        PointResult& check = Result.Check;
        PointEnd end;
        if (int status = TakePoint("check", check, end)) {
            // A check that could not settle failed; one cut short proved nothing.
            Result.CheckOutcome =
                end == PointEnd::NotSettled ? CheckResult::Fail : CheckResult::Interrupted;
            if (end == PointEnd::NotSettled) Result.Outcome = OutcomeFailed;
            return status;
        }
        const double error = check.FoundValue - check.StandardUsed;
        const bool passed = check.HasFoundValue && std::fabs(error) <= Result.CheckTolerance;
        Result.CheckOutcome = passed ? CheckResult::Pass : CheckResult::Fail;
        FrontEnd.Step(
            CalibrationStep::CheckVerdict, Result,
            "check: the transmitter reads " +
                (check.HasFoundValue ? FixedText(check.FoundValue, 3) : std::string("nothing")) +
                " in the " + Standard(check) + " (error " + SignedText(error, 3) + ", tolerance " +
                ExactText(static_cast<float>(Result.CheckTolerance)) +
                "): " + (passed ? "pass" : "fail"));
        if (passed) return ExitDone;
        Result.Outcome = OutcomeFailed;
        return Fail(ExitFailed, "the check failed; the calibration stays written (vl4 calibrate " +
                                    Unit.Port + " --undo --record FILE puts the old one back)");
    }

    int Record(int status) {
        if (Plan.RecordPath.empty()) return status;
        return AppendToRecord(Plan.RecordPath, Result, Written ? "calibration written" : "",
                              FrontEnd, status);
    }

    CalibrationUnit& Unit;
    const CalibrationPlan& Plan;
    CalibrationFrontEnd& FrontEnd;
    CalibrationRecord& Result;
    DampingPause Damping;
    bool Written = false;
};

} // namespace

int PrepareCalibrationRecord(const CalibrationPlan& plan, CalibrationFrontEnd& frontEnd) {
    if (plan.RecordPath.empty()) return ExitDone;
    RecordBook book;
    std::string problem;
    const bool prepared = PrepareRecordFile(plan.RecordPath, book.Warnings, problem);
    return TellRecordRead(frontEnd, book.Warnings, prepared, problem);
}

int RunCalibration(CalibrationUnit& unit, const CalibrationPlan& plan,
                   CalibrationFrontEnd& frontEnd, CalibrationRecord& result) {
    Calibration calibration(unit, plan, frontEnd, result);
    return calibration.Run();
}

int ReadUnit(CalibrationUnit& unit, CalibrationFrontEnd& frontEnd, CalibrationRecord& record) {
    LONG production;
    WORD firmware;
    const char* what = nullptr;
    if (!unit.Link.GetProductionNumber(production))
        what = "no answer reading the production number";
    else if (!unit.Link.GetFirmwareVersion(firmware))
        what = "no answer reading the firmware version";
    else if (!unit.Link.GetProbeType(record.ProbeType))
        what = "no answer reading the probe type";
    if (what) {
        frontEnd.Fail(ExitFailed, unit.Port, what);
        return ExitFailed;
    }
    record.ProductionNumber = production;
    record.Firmware = VersionText(firmware);
    record.Port = unit.Port;
    record.Identification = unit.Identification;
    return ExitDone;
}

int ReadHeld(CalibrationUnit& unit, CalibrationFrontEnd& frontEnd, HeldPair& held) {
    for (int i = 0; i < HeldPair::Values; ++i) {
        uint32_t raw;
        if (ReadSetting(unit.Link, HeldPair::SettingOf(i), raw)) {
            held.Set(i, raw);
            continue;
        }
        frontEnd.Fail(ExitFailed, unit.Port,
                      "no answer reading the calibration it holds; nothing written");
        return ExitFailed;
    }
    return ExitDone;
}
