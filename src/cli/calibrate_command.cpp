// vl4 calibrate: the calibration of the window's dialog from the console, on
// the same arithmetic and the same policy, with points taken when the probe
// has settled, buffers at their temperature, what the transmitter held
// before and holds after, a check standard and a record.
#include "calibration/record_file.h"
#include "calibration/record_layout.h"
#include "cli/calibration_options.h"
#include "cli/calibration_steps.h"
#include "cli/calibration_undo.h"
#include "cli/command_line.h"
#include "cli/point_sampling.h"
#include "cli/questions.h"
#include "core/calibration_writes.h"
#include "core/damping.h"
#include "core/english_names.h"
#include "core/local_time.h"
#include "core/machine_text.h"
#include "core/number_text.h"
#include "vl4_version.h"

#include <cmath>

namespace {

// "80 to 110 % of the ideal slope and at most 60 mV at pH 7"
std::string LimitsText(const PhLimits& limits) {
    return FixedText(limits.MinSlopePercent, 0) + " to " + FixedText(limits.MaxSlopePercent, 0) +
           " % of the ideal slope and at most " + FixedText(limits.MaxOffsetMv, 0) + " mV at pH 7";
}

// The damping the calibration took off, put back whatever ends it; a restore
// that fails says how to do it by hand, with a command that works.
int RestoreDamping(CommandContext& context, TransmitterSession& session, DampingPause& damping,
                   int status) {
    if (damping.End()) return status;
    const std::string saved = IntegerText(damping.Saved);
    std::string advice = "; set it with: vl4 set " + session.Port + " damping=" + saved;
    if (damping.Saved > MaxDamping)
        advice = "; vl4 set takes 0 to " + IntegerText(MaxDamping) +
                 ": set the highest with vl4 set " + session.Port +
                 " damping=" + IntegerText(MaxDamping) + ", or " + saved + " in the window tool";
    context.Fail(ExitFailed, session.Port, "the damping was not restored to " + saved + advice);
    return status == ExitDone ? ExitFailed : status;
}

// A bottle table by its file's name, without its folders.
std::string BufferName(const CalibrationOptions& options) {
    if (!options.UseBuffers) return "";
    const std::string& source = options.BufferSource;
    return source == "nist" ? source : source.substr(source.find_last_of("/\\") + 1);
}

class Calibration {
public:
    Calibration(CommandContext& context, const Arguments& arguments,
                const CalibrationOptions& options)
        : Context(context), Options(options), PortName(arguments.Positional[0]),
          Damping(Session.Link) {}

    int Run() {
        if (Options.RecordPath)
            if (int status = PrepareRecord()) return status;
        if (int status = Session.Open(Context, PortName)) return status;
        if (int status = ReadTransmitter()) return status;
        if (int status = CheckStandards()) return status;
        if (int status = ReadFound()) return status;
        int status = PauseDamping();
        if (status == ExitDone) status = Measure();
        if (status == ExitDone) status = Decide();
        if (status == ExitDone) status = Write();
        if (status == ExitDone && Options.HasCheck) status = Check();
        status = RestoreDamping(Context, Session, Damping, status);
        if (!Result.Outcome.empty()) {
            const std::string done = Written ? "calibration written" : "";
            status = RecordLine(Context, Options.RecordPath, Result, done, status);
            status = WriteCertificate(Context, Options.CertificatePath, Result, done, status);
        }
        if (Context.Stop.Requested() && status == ExitDone) status = ExitInterrupted;
        if (status == ExitInterrupted)
            Context.Fail(status, Session.Port,
                         Written ? "interrupted after the calibration was written"
                                 : "interrupted; nothing written");
        return status;
    }

private:
    // --- before the probe is touched

    // A record that cannot take the line is found before the first frame.
    int PrepareRecord() {
        RecordBook book;
        std::string problem;
        const bool prepared = PrepareRecordFile(*Options.RecordPath, book.Warnings, problem);
        WarnSkipped(Context, book);
        if (prepared) return ExitDone;
        Context.Err.Write("vl4: " + problem + "\n");
        return ExitUsage;
    }

    int ReadTransmitter() {
        if (int status = ReadUnit(Context, Session, Result)) return status;
        Result.Technician = Options.Technician;
        Result.Tag = Options.Tag;
        Result.Temperature = Options.Temperature;
        Result.TemperatureGiven = Options.TemperatureGiven;
        Result.Points = static_cast<int>(Options.Standards.size());
        Result.Settle = Options.Settle;
        Result.Limits = Options.Limits;
        Result.Buffers = BufferName(Options);
        Result.CheckTolerance = Options.CheckTolerance;
        Context.Say("probe " + std::string(ProbeTypeEnglishName(Result.ProbeType)) + " on " +
                    Session.Port + " (" + Session.Identification + " " +
                    IntegerText(Result.ProductionNumber) + ", firmware " + Result.Firmware + ")");
        if (Result.IsPh() && !Options.TemperatureGiven)
            Context.Note("the solutions are taken to be at " + CelsiusText(25) +
                         "; give --temperature C when they are not");
        return ExitDone;
    }

    int Usage(const std::string& what) { return UsageError(Context, CalibrateCommand, what); }

    StandardKind Kind() const {
        if (!Options.UseBuffers) return StandardKind::Value;
        return Options.BufferSource == "nist" ? StandardKind::Buffer : StandardKind::Table;
    }

    // The dialog's rules for the standards, what only a pH probe takes, and
    // a check tolerance the probe can be proven with.
    int CheckStandards() {
        const bool redox = CalibrationLaw(Result.ProbeType) == ProbeRedox;
        const std::string probe = ProbeTypeEnglishName(Result.ProbeType);
        if (redox && Result.Points == 2)
            return Usage("a Redox probe is calibrated at one point: give one --standard");
        if (!Result.IsPh() && Options.UseBuffers)
            return Usage("buffers apply to pH probes only; this one is " + probe);
        if (!Result.IsPh() && Options.KeepSlope)
            return Usage("--keep-slope keeps a pH electrode's slope; this probe is " + probe);
        const double widest = WidestCheckTolerance(Result.ProbeType);
        if (Options.HasCheck && Options.CheckTolerance > widest)
            return Usage("--check-tolerance of a " + probe + " probe is at most " +
                         ExactText(static_cast<float>(widest)) + ", not " +
                         ExactText(static_cast<float>(Options.CheckTolerance)));
        for (int i = 0; i < Result.Points; ++i) {
            PointResult& point = Result.Point[i];
            point.Kind = Kind();
            point.Standard = Options.Standards[i];
            point.StandardUsed = ValueAtTemperature(point.Standard);
            if (!StandardAccepted(true, point.Standard, i == 0 && redox))
                return Usage("the standard " + ExactText(point.Standard) +
                             " is below 0, which only a Redox standard may be");
        }
        Result.Check.Kind = Kind();
        Result.Check.Standard = Options.CheckStandard;
        Result.Check.StandardUsed = ValueAtTemperature(Options.CheckStandard);
        if (PointsValid(Points())) return ExitDone;
        return Usage(Result.Points == 2 ? "the two standards are equal"
                                        : "a one-point calibration of this probe needs a "
                                          "standard other than 0");
    }

    float ValueAtTemperature(float standard) const {
        if (!Options.UseBuffers) return standard;
        double value = standard;
        BufferValueAt(Options.Buffers, FindBuffer(Options.Buffers, standard), Options.Temperature,
                      value);
        return static_cast<float>(value);
    }

    // What the transmitter holds before anything changes, for the record
    // and for an undo.
    int ReadFound() {
        HeldPair& found = Result.Found;
        if (int status = ReadHeld(Context, Session, found)) return status;
        Context.Say("as found: offset " + ExactText(found.Offset) + " mV, sensitivity " +
                    ExactText(found.Sensitivity) + Unit() + ", calibrated " + DateText(found.Date));
        return ExitDone;
    }

    std::string Unit() const { return Result.IsPh() ? " mV/pH" : ""; }

    // The damping would smooth the probe voltage; a damping that cannot be
    // read could not be put back, so nothing goes on without it.
    int PauseDamping() {
        switch (Damping.Begin()) {
        case DampingPause::Begun::Paused:
        case DampingPause::Begun::AlreadyOff:
            return ExitDone;
        case DampingPause::Begun::NotRead:
            return Session.NoAnswer(Context, "reading the damping");
        case DampingPause::Begun::NotZeroed:
            break;
        }
        return Context.Fail(ExitFailed, Session.Port, "the damping could not be set to 0");
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

    std::string StandardText(const PointResult& point) const {
        return "standard " + ::StandardText(point, Options.UseBuffers, Options.Temperature);
    }

    PointRule Rule() const { return {Options.Settle, Options.Limits, Options.SettleTimeout}; }

    int Measure() {
        for (int i = 0; i < Result.Points; ++i) {
            const std::string name = "point " + IntegerText(i + 1);
            PointEnd end;
            if (int status = TakePoint(name, Result.Point[i], end)) return status;
        }
        return ExitDone;
    }

    // Asks for the probe (unless unattended), says on standard output that
    // the point begins, and samples it.
    int TakePoint(const std::string& name, PointResult& point, PointEnd& end) {
        end = PointEnd::Interrupted;
        const std::string standard = StandardText(point);
        if (!Options.Unattended) {
            std::string line;
            bool ended;
            const int status = AskLine(Context,
                                       name + ": put the probe in the " + standard +
                                           " and press Enter (Ctrl+C cancels)\n",
                                       line, ended);
            if (status) return status;
            if (ended)
                return Context.Fail(
                    ExitUsage, "calibrate",
                    "the input ended before the probe was ready; --yes skips the question");
        }
        Context.Say(name + ": " + standard);
        if (int status = SamplePoint(Context, Session, Rule(), name, point, end)) return status;
        Report(name, point);
        return ExitDone;
    }

    void Report(const std::string& name, const PointResult& point) {
        std::string line = name + ": " + (Options.Settle ? "stable" : "taken") + " after " +
                           FixedText(point.SettleSeconds, 1) + " s, " +
                           FixedText(point.Voltage, 3) + " mV (" + IntegerText(point.Readings) +
                           " readings; last " + IntegerText(SettlingWindow::Size) + ": drift " +
                           FixedText(point.DriftMvPerMinute, 2) + " mV/min, spread " +
                           FixedText(point.SpreadMv, 3) + " mV)";
        Context.Say(line);
        // In the check the transmitter reads with the new calibration: the
        // verdict says what it reads.
        if (point.HasFoundValue && &point != &Result.Check)
            Context.Say(name + ": as found the transmitter read " + FixedText(point.FoundValue, 3) +
                        " (error " + SignedText(point.FoundValue - point.StandardUsed, 3) + ")");
    }

    // --- the result

    // Computes the pair, shows it and judges it by the policy the window's
    // dialog applies. Answers ExitDone when it is to be written.
    int Decide() {
        CalibrationJudgement judgement;
        if (Options.KeepSlope) {
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
        if (judgement.Verdict == CalibrationVerdict::Plausible) return ExitDone;
        return ConfirmUnusual();
    }

    int Refuse(CalibrationFault fault) {
        Result.Outcome = OutcomeRefused;
        const char* why = fault == CalibrationFault::WrongSlopeSign
                              ? "the points give a slope no working probe of this kind has"
                              : "the points give no usable slope";
        return Context.Fail(ExitFailed, Session.Port, std::string(why) + "; nothing written");
    }

    void ShowResult() {
        const CalibrationResult& pair = Result.Computed;
        std::string slope = ExactText(pair.Sensitivity) + Unit();
        if (Result.IsPh() && Result.Slope == SlopeSource::Assumed)
            slope += " (assumed: one point measures no slope)";
        if (Result.Slope == SlopeSource::Kept) slope += " (kept: the transmitter's)";
        Context.Say("sensitivity " + slope + ", offset " + ExactText(pair.Offset) + " mV");
        if (!Result.IsPh()) return;
        std::string line;
        if (Result.Slope == SlopeSource::Measured)
            line = "slope " + FixedText(PhSlopePercent(pair.Sensitivity, Result.IdealSlope()), 1) +
                   " % of an ideal electrode (" + FixedText(Result.IdealSlope(), 2) + " mV/pH at " +
                   CelsiusText(Result.Temperature) + "), ";
        Context.Say(line + "offset at pH 7 " + FixedText(pair.Offset, 1) +
                    " mV: " + Result.Health());
        if (!Healthy(Result.ProbeType, pair, Result.Slope, Result.IdealSlope()))
            Context.Warn(Session.Port,
                         "check probe: a healthy electrode has " + LimitsText(HealthyPhLimits));
    }

    // A pH pair beyond what an electrode usually gives is written only when
    // someone says so: an old electrode may need it, a buffer mixed up or a
    // probe never moved does not.
    int ConfirmUnusual() {
        const std::string unusual =
            "unusual calibration: the usual is " + LimitsText(UsualPhLimits);
        if (Options.Unattended && !Options.AcceptUnusual) {
            Result.Outcome = OutcomeDeclined;
            return Context.Fail(ExitFailed, Session.Port,
                                unusual + "; nothing written (--accept-unusual writes it)");
        }
        if (Options.Unattended) return ExitDone;
        bool yes;
        if (int status = AskYesNo(Context, unusual + "\nwrite anyway? [y/N] ", yes)) return status;
        if (yes) return ExitDone;
        Result.Outcome = OutcomeDeclined;
        return Context.Fail(ExitFailed, Session.Port, "not written");
    }

    // --- the writes

    // Offset, sensitivity (unless kept) and today's date, as the dialog
    // writes them; each reply is what the transmitter holds now ("as left").
    // A calibration whose writes were not all confirmed has failed: what the
    // unit holds is not known until it is read.
    int Write() {
        if (Context.Stop.Requested()) return ExitInterrupted;
        if (Context.Out.Failed())
            return Context.Fail(ExitFailed, "standard output",
                                "cannot write: " + Context.Out.Problem() + "; nothing written");
        const bool kept = Result.Slope == SlopeSource::Kept;
        const uint32_t today = TodayBcd();
        CalibrationWrites writes = PlanCalibrationWrites(Result.Computed, kept, today);
        WriteCalibration(Session.Link, writes);
        const std::string written = WrittenText(writes);
        Written = !written.empty();
        if (Written) Context.Say("wrote " + written);
        const int status = ReportWrites(Context, Session, writes, Result.Left);
        if (kept) Result.Left.Set(1, BitsOfFloat(Result.Found.Sensitivity));
        Result.Outcome = status == ExitDone ? OutcomeWritten : OutcomeFailed;
        if (status == ExitDone && Options.HasDueDays)
            Result.DueDate = LocalTime::Now().DaysLater(Options.DueDays).IsoDate();
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
        const bool passed = check.HasFoundValue && std::fabs(error) <= Options.CheckTolerance;
        Result.CheckOutcome = passed ? CheckResult::Pass : CheckResult::Fail;
        const std::string verdict =
            "check: the transmitter reads " +
            (check.HasFoundValue ? FixedText(check.FoundValue, 3) : std::string("nothing")) +
            " in the " + StandardText(check) + " (error " + SignedText(error, 3) + ", tolerance " +
            ExactText(static_cast<float>(Options.CheckTolerance)) +
            "): " + (passed ? "pass" : "fail");
        Context.Say(verdict);
        if (passed) return ExitDone;
        Result.Outcome = OutcomeFailed;
        return Context.Fail(ExitFailed, Session.Port,
                            "the check failed; the calibration stays written (vl4 calibrate " +
                                Session.Port + " --undo --record FILE puts the old one back)");
    }

    CommandContext& Context;
    const CalibrationOptions& Options;
    const std::string& PortName;
    TransmitterSession Session;
    DampingPause Damping;
    CalibrationRecord Result;
    bool Written = false;
};

int Calibrate(CommandContext& context, const Arguments& arguments) {
    CalibrationOptions options;
    if (int status = ParseCalibrationOptions(context, CalibrateCommand, arguments, options))
        return status;
    if (options.Undo) return UndoCalibration(context, arguments.Positional[0], options);
    Calibration calibration(context, arguments, options);
    return calibration.Run();
}

} // namespace

const CommandSpec CalibrateCommand = {
    "calibrate",
    "PORT --standard N1 [--standard N2] [OPTIONS] | PORT --undo --record FILE",
    "a one- or two-point calibration with settled points, a check and a record",
    "Calibrates the probe as the window's calibration dialog does, with the same\n"
    "arithmetic and the same rules, and proves it. It reads what the transmitter\n"
    "holds (as found), sets the damping to 0 for the sampling (and restores it\n"
    "afterwards, also after an error, Ctrl+C or a closing console), and for each\n"
    "standard asks to put the probe in it and press Enter. A line 'point K: ...' on\n"
    "standard output says when each point begins. It then reads the probe voltage\n"
    "every 300 ms, with the transmitter's measured value beside it, until the last\n"
    "66 readings (19.8 s) are stable: their least-squares drift and their standard\n"
    "deviation within the limits. The point's voltage is the mean of those 66; the\n"
    "mean of the measured values is the as-found reading in that standard. One\n"
    "standard makes a one-point calibration (pH: the slope is assumed, -58 mV/pH,\n"
    "and not judged), two a two-point one; a Redox probe takes one. Then it writes\n"
    "offset, sensitivity and today's date, each checked against the transmitter's\n"
    "reply (as left).\n"
    "\n"
    "Points that give no usable slope, or one no working probe of the kind has,\n"
    "write nothing. A pH pair outside 80 to 110 % of the ideal slope or beyond 60 mV\n"
    "at pH 7 is written only when the question 'write anyway? [y/N]' is answered y\n"
    "(with --yes: only with --accept-unusual). Health: 90 to 105 % and 30 mV.\n"
    "\n"
    "  --standard N          a standard's value (pH 7, 4.01; a Redox potential in\n"
    "                        mV may be negative); with --buffers, the buffer's\n"
    "                        nominal (25 \xC2\xB0"
    "C) value\n"
    "  --temperature C       the solutions' temperature (default: 25 \xC2\xB0"
    "C assumed); the\n"
    "                        ideal pH slope is 0.198416 mV/pH per kelvin\n"
    "  --buffers nist        standards are buffers of the usual table (1.679, 4.005,\n"
    "                        6.865, 7.413, 9.180, 10.012), used at their value at\n"
    "                        the temperature (0 to 50 \xC2\xB0"
    "C); pH only\n"
    "  --buffer-table FILE   the same from the table on your bottles: CSV with a\n"
    "                        header 'temperature,NOMINAL,...' and a row per\n"
    "                        temperature\n"
    "  --check N             after the writes, the probe goes into a check standard;\n"
    "                        the transmitter's reading there must be within\n"
    "  --check-tolerance T   of its value (default 0.05; at most 1 for pH, 50 mV for\n"
    "                        Redox, 1 mg/L for chlorine and oxygen); a failed check\n"
    "                        is exit 1 and leaves the calibration written\n"
    "  --keep-slope          pH, one standard: keep the sensitivity the transmitter\n"
    "                        holds, write only the offset and the date\n"
    "  --max-drift MV        stable: drift at most MV mV a minute (default 0.6)\n"
    "  --max-spread MV       stable: standard deviation at most MV mV (default 0.5)\n"
    "  --settle-timeout S    a point not stable within S seconds ends the\n"
    "                        calibration, nothing written (default 180)\n"
    "  --no-settle           take the first 66 readings, stable or not\n"
    "  --record FILE         append a line to the record FILE (CSV; a header when\n"
    "                        new), also for a refused, declined or failed one\n"
    "  --technician NAME     who calibrates, for the record and the certificate\n"
    "  --tag TAG             the measuring point, for the record and the certificate\n"
    "  --due-days N          the next calibration is due N days from today\n"
    "  --certificate FILE    write the calibration's certificate for the plant: one\n"
    "                        HTML page (A4) with the unit, the points and their\n"
    "                        stability, as found and as left, the electrode, the\n"
    "                        check and the due date; NOT CALIBRATED when refused or\n"
    "                        declined\n"
    "  --yes                 do not ask before each standard (a prepared bench:\n"
    "                        the settling waits for the probe)\n"
    "  --accept-unusual      with --yes, write an unusual pH pair as well\n"
    "  --undo                put back what the transmitter held before this unit's\n"
    "                        last calibration in the --record FILE, if it still\n"
    "                        holds what that calibration left; asks first unless\n"
    "                        --yes\n",
    1,
    1,
    {{"--standard", "N", true},
     {"--temperature", "C", false},
     {"--buffers", "NAME", false},
     {"--buffer-table", "FILE", false},
     {"--check", "N", false},
     {"--check-tolerance", "T", false},
     {"--keep-slope", nullptr, false},
     {"--max-drift", "MV", false},
     {"--max-spread", "MV", false},
     {"--settle-timeout", "SECONDS", false},
     {"--no-settle", nullptr, false},
     {"--record", "FILE", false},
     {"--technician", "NAME", false},
     {"--tag", "TAG", false},
     {"--due-days", "N", false},
     {"--certificate", "FILE", false},
     {"--yes", nullptr, false},
     {"--accept-unusual", nullptr, false},
     {"--undo", nullptr, false}},
    Calibrate,
};
