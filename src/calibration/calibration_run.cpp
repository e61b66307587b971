#include "calibration/calibration_run.h"

#include "calibration/free_chlorine.h"
#include "calibration/oxygen_solubility.h"
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
#include "core/language.h"
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
        FrontEnd.Step(
            CalibrationStep::Unit, Result,
            Format(_("probe {0} on {1} ({2} {3}, firmware {4})"),
                   {_(ProbeTypeEnglishName(Result.ProbeType)), Unit.Port, Unit.Identification,
                    IntegerText(Result.ProductionNumber), Result.Firmware}));
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
            return Usage(Format(_("{0} of a {1} probe is at most {2}, not {3}"),
                                {Plan.Verify ? "--tolerance" : "--check-tolerance",
                                 _(ProbeTypeEnglishName(Result.ProbeType)),
                                 ExactDecimal(static_cast<float>(widest)),
                                 ExactDecimal(static_cast<float>(Plan.Tolerance))}));
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
            return Usage(Result.Points == 2 ? _("the two standards are equal")
                                            : _("a one-point calibration of this probe needs a "
                                                "standard other than 0"));
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
            FrontEnd.Note(Format(
                _("the standards are taken to be at {0}; give --temperature C when they are not"),
                {Celsius(25)}));
        if (Plan.Has(StandardKind::Air) && !Plan.PressureGiven && !Plan.AltitudeGiven)
            FrontEnd.Note(Format(_("the air is taken to be at {0} hPa; give --pressure HPA or "
                                   "--altitude M when it is not"),
                                 {Decimal(StandardPressureHpa, 2)}));
        if (!Plan.HasSamplePh) return;
        const double share = HoclShare(Plan.SamplePh, Plan.Temperature);
        const double later =
            ReadingAfterPhChange(Plan.SamplePh, Plan.SamplePh + 0.3, Plan.Temperature);
        FrontEnd.Note(
            Format(_("water at pH {0} and {1}: {2} % of the free chlorine is HOCl, which "
                     "the probe sees; at pH {3} it reads {4} % of what it reads now"),
                   {Decimal(Plan.SamplePh, 2), Celsius(Plan.Temperature), Decimal(share * 100, 1),
                    Decimal(Plan.SamplePh + 0.3, 2), Decimal(later * 100, 0)}));
        if (share < PoorHoclShare)
            FrontEnd.Warn(Unit.Port, Format(_("little of the chlorine is HOCl at pH {0}: a "
                                              "calibration there is poor, and the least move of "
                                              "the pH moves the reading much"),
                                            {Decimal(Plan.SamplePh, 2)}));
    }

    // What the transmitter holds before anything changes, for the record
    // and for an undo.
    int ReadFound() {
        HeldPair& found = Result.Found;
        if (int status = ReadHeld(Unit, FrontEnd, found)) return status;
        FrontEnd.Step(CalibrationStep::Found, Result,
                      Format(_("as found: offset {0} mV, sensitivity {1}, calibrated {2}"),
                             {ExactDecimal(found.Offset), Sensitivity(found.Sensitivity),
                              PersonDate(DateText(found.Date))}));
        return ExitDone;
    }

    // "-58.1 mV/pH", "9 mV per mg/L"
    std::string Sensitivity(float sensitivity) const {
        const std::string value = ExactDecimal(sensitivity);
        switch (CalibrationLaw(Result.ProbeType)) {
        case ProbePH:
            return value + " mV/pH";
        case ProbeChlorine:
        case ProbeOxygen:
            return Format(_("{0} mV per mg/L"), {value});
        default:
            return value;
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
            return Fail(ExitFailed, _("no answer reading the damping"));
        case DampingPause::Begun::NotZeroed:
            break;
        }
        return Fail(ExitFailed, _("the damping could not be set to 0"));
    }

    // The damping the calibration took off, put back whatever ends it; a
    // restore that fails says how to do it by hand, with a command that works.
    int RestoreDamping(int status) {
        const bool restored = Damping.End();
        FrontEnd.DampingPaused(nullptr);
        if (restored) return status;
        const std::string saved = IntegerText(Damping.Saved);
        const std::string highest = IntegerText(MaxDamping);
        Fail(ExitFailed,
             Damping.Saved > MaxDamping
                 ? Format(_("the damping was not restored to {0}; vl4 set takes 0 to {2}: set the "
                            "highest with vl4 set {1} damping={2}, or {0} in the window tool"),
                          {saved, Unit.Port, highest})
                 : Format(_("the damping was not restored to {0}; set it with: vl4 set {1} "
                            "damping={0}"),
                          {saved, Unit.Port}));
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
            return Plan.HasGrabValue ? _("grab sample")
                                     : _("grab sample (its value is asked once the reading is "
                                         "held)");
        const std::string text = StandardText(point, Result);
        return point.Kind == StandardKind::Value || point.Kind == StandardKind::Buffer ||
                       point.Kind == StandardKind::Table
                   ? Format(_("standard {0}"), {text})
                   : text;
    }

    static std::string PointName(int i) { return Format(_("point {0}"), {IntegerText(i + 1)}); }

    PointRule Rule() const { return {Plan.Settle, Plan.Limits, Plan.SettleTimeout}; }

    int Measure() {
        for (int i = 0; i < Result.Points; ++i) {
            PointEnd end;
            if (int status = TakePoint(PointName(i), Result.Point[i], end)) return status;
        }
        return ExitDone;
    }

    // Asks for the probe (unless unattended), says that the point begins,
    // and samples it.
    int TakePoint(const std::string& name, PointResult& point, PointEnd& end) {
        end = PointEnd::Interrupted;
        if (!Plan.Unattended) {
            const std::string where = point.Kind == StandardKind::Grab
                                          ? std::string(_("sample stream"))
                                          : Standard(point);
            switch (FrontEnd.ProbeReady(name, where)) {
            case Reply::Yes:
                break;
            case Reply::Interrupted:
                return ExitInterrupted;
            case Reply::No:
                return Fail(ExitFailed, Format(_("cancelled before {0}; nothing written"), {name}));
            case Reply::Ended:
                FrontEnd.Fail(ExitUsage, "calibrate",
                              _("the input ended before the probe was ready; --yes skips the "
                                "question"));
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
                          Format(_("{0}: as found the transmitter read {1} (error {2})"),
                                 {name, Decimal(point.FoundValue, 3),
                                  SignedDecimal(point.FoundValue - point.StandardUsed, 3)}));
        return ExitDone;
    }

    void Report(const std::string& name, const PointResult& point) {
        const int readings = point.Readings;
        const char* pattern =
            Plan.Settle ? Q_("{0}: stable after {1} s, {2} mV ({3} reading; last {4}: drift {5} "
                             "mV/min, spread {6} mV)",
                             "{0}: stable after {1} s, {2} mV ({3} readings; last {4}: drift {5} "
                             "mV/min, spread {6} mV)",
                             readings)
                        : Q_("{0}: taken after {1} s, {2} mV ({3} reading; last {4}: drift {5} "
                             "mV/min, spread {6} mV)",
                             "{0}: taken after {1} s, {2} mV ({3} readings; last {4}: drift {5} "
                             "mV/min, spread {6} mV)",
                             readings);
        FrontEnd.Step(
            CalibrationStep::PointTaken, Result,
            Format(pattern, {name, Decimal(point.SettleSeconds, 1), Decimal(point.Voltage, 3),
                             IntegerText(readings), IntegerText(SettlingWindow::Size),
                             Decimal(point.DriftMvPerMinute, 2), Decimal(point.SpreadMv, 3)}));
    }

    // The reading is held; the sample's value, from the test that takes
    // minutes, is its standard.
    int GrabValue(const std::string& name, PointResult& point) {
        const Clock::TimePoint held = Clock::Current().Now();
        FrontEnd.Step(CalibrationStep::GrabNow, Result,
                      Format(_("{0}: take the grab sample now"), {name}));
        double value = Plan.GrabValue;
        if (!Plan.HasGrabValue) {
            const int answer = StatusOfAnswer(FrontEnd.GrabValue(name, value));
            if (answer == ExitInterrupted) return answer;
            if (answer == ExitFailed)
                return Fail(ExitFailed,
                            Format(_("no grab sample value for {0}; nothing written"), {name}));
        }
        point.Standard = point.StandardUsed = static_cast<float>(value);
        std::string when = _("given beforehand");
        if (!Plan.HasGrabValue) {
            const double seconds =
                std::chrono::duration<double>(Clock::Current().Now() - held).count();
            Result.GrabDelaySeconds = std::round(seconds * 10) / 10;
            when = Format(_("{0} s after its reading"), {Decimal(Result.GrabDelaySeconds, 0)});
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
                          Verdict(PointName(i), point, error, tolerance, within));
        }
        Result.Time = LocalTime::Now().IsoWithMilliseconds();
        Result.Outcome = all ? OutcomeVerified : OutcomeVerifyFailed;
        if (all && Plan.HasDueDays)
            Result.DueDate = LocalTime::Now().DaysLater(Plan.DueDays).IsoDate();
        if (all) return ExitDone;
        return Fail(ExitFailed,
                    _("the verification failed; nothing was written: calibrate the probe"));
    }

    // A standard's reading against its value, in a verification or a check.
    std::string Verdict(const std::string& name, const PointResult& point, double error,
                        double tolerance, bool within) const {
        const std::string word = _(CheckResultWord(within ? CheckResult::Pass : CheckResult::Fail));
        const std::string limit = ExactDecimal(static_cast<float>(tolerance));
        if (!point.HasFoundValue)
            return Format(_("{0}: the transmitter reads nothing in the {1} (error {2}, tolerance "
                            "{3}): {4}"),
                          {name, Standard(point), SignedDecimal(error, 3), limit, word});
        return Format(_("{0}: the transmitter reads {1} in the {2} (error {3}, tolerance {4}): "
                        "{5}"),
                      {name, Decimal(point.FoundValue, 3), Standard(point), SignedDecimal(error, 3),
                       limit, word});
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
        return Fail(ExitFailed, _("not written"));
    }

    int Refuse(CalibrationFault fault) {
        Result.Outcome = OutcomeRefused;
        return Fail(ExitFailed, fault == CalibrationFault::WrongSlopeSign
                                    ? _("the points give a slope no working probe of this kind "
                                        "has; nothing written")
                                    : _("the points give no usable slope; nothing written"));
    }

    void ShowResult() {
        const CalibrationResult& pair = Result.Computed;
        std::string slope = Sensitivity(pair.Sensitivity);
        if (Result.IsPh() && Result.Slope == SlopeSource::Assumed)
            slope = Format(_("{0} (assumed: one point measures no slope)"), {slope});
        if (Result.Slope == SlopeSource::Kept)
            slope = Format(_("{0} (kept: the transmitter's)"), {slope});
        FrontEnd.Step(
            CalibrationStep::Pair, Result,
            Format(_("sensitivity {0}, offset {1} mV"), {slope, ExactDecimal(pair.Offset)}));
        FrontEnd.Step(CalibrationStep::Judgement, Result,
                      JudgementText(Result) + ": " + _(Result.Health().c_str()));
        if (!Result.Judgement().Healthy)
            FrontEnd.Warn(Unit.Port,
                          Format(_("check probe: a healthy probe has {0}"),
                                 {LimitsText(Result.ProbeType, RuleOf(Result.ProbeType).Healthy)}));
    }

    // A pair beyond what a probe usually gives is written only when someone
    // says so: an old electrode may need it, a buffer mixed up or a probe
    // never moved does not.
    int ConfirmUnusual() {
        const std::string unusual =
            Format(_("unusual calibration: the usual is {0}"),
                   {LimitsText(Result.ProbeType, RuleOf(Result.ProbeType).Usual)});
        if (Plan.Unattended && !Plan.AcceptUnusual) {
            Result.Outcome = OutcomeDeclined;
            return Fail(ExitFailed,
                        Format(_("{0}; nothing written (--accept-unusual writes it)"), {unusual}));
        }
        if (Plan.Unattended) return ExitDone;
        const int answer = StatusOfAnswer(FrontEnd.Ask(Question::WriteUnusual, unusual));
        if (answer != ExitFailed) return answer;
        Result.Outcome = OutcomeDeclined;
        return Fail(ExitFailed, _("not written"));
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
            FrontEnd.Fail(ExitFailed, _("standard output"),
                          Format(_("cannot write: {0}; nothing written"), {lost}));
            return ExitFailed;
        }
        const bool kept = Result.Slope == SlopeSource::Kept;
        CalibrationWrites writes = PlanCalibrationWrites(Result.Computed, kept, TodayBcd());
        WriteCalibration(Unit.Link, writes);
        const std::string written = WrittenText(writes);
        Written = !written.empty();
        if (Written)
            FrontEnd.Step(CalibrationStep::Written, Result, Format(_("wrote {0}"), {written}));
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
        if (int status = TakePoint(_("check"), check, end)) {
            // A check that could not settle failed; one cut short proved nothing.
            Result.CheckOutcome =
                end == PointEnd::NotSettled ? CheckResult::Fail : CheckResult::Interrupted;
            if (end == PointEnd::NotSettled) Result.Outcome = OutcomeFailed;
            return status;
        }
        const double error = check.FoundValue - check.StandardUsed;
        const bool passed = check.HasFoundValue && std::fabs(error) <= Result.CheckTolerance;
        Result.CheckOutcome = passed ? CheckResult::Pass : CheckResult::Fail;
        FrontEnd.Step(CalibrationStep::CheckVerdict, Result,
                      Verdict(_("check"), check, error, Result.CheckTolerance, passed));
        if (passed) return ExitDone;
        Result.Outcome = OutcomeFailed;
        return Fail(ExitFailed, Format(_("the check failed; the calibration stays written (vl4 "
                                         "calibrate {0} --undo --record FILE puts the old one "
                                         "back)"),
                                       {Unit.Port}));
    }

    int Record(int status) {
        if (Plan.RecordPath.empty()) return status;
        return AppendToRecord(Plan.RecordPath, Result, Written ? _("calibration written") : "",
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
        what = _("no answer reading the production number");
    else if (!unit.Link.GetFirmwareVersion(firmware))
        what = _("no answer reading the firmware version");
    else if (!unit.Link.GetProbeType(record.ProbeType))
        what = _("no answer reading the probe type");
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
                      _("no answer reading the calibration it holds; nothing written"));
        return ExitFailed;
    }
    return ExitDone;
}
