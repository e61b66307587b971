// vl4 calibrate: the calibration of the window's dialog from the console, on
// the same arithmetic and the same policy, with points taken when the probe
// has settled, buffers at their temperature, what the transmitter held
// before and holds after, a check standard and a record.
#include "cli/calibration_certificate.h"
#include "cli/calibration_options.h"
#include "cli/calibration_record.h"
#include "cli/calibration_undo.h"
#include "cli/command_line.h"
#include "cli/point_sampling.h"
#include "cli/record_file.h"
#include "cli/setting_writes.h"
#include "core/damping.h"
#include "core/english_names.h"
#include "core/local_time.h"
#include "core/machine_text.h"
#include "core/number_text.h"
#include "core/readout.h"
#include "files/text_files.h"

#include <cmath>

namespace {

// "80 to 110 % of the ideal slope and at most 60 mV at pH 7"
std::string LimitsText(const PhLimits& limits) {
    return FixedText(limits.MinSlopePercent, 0) + " to " + FixedText(limits.MaxSlopePercent, 0) +
           " % of the ideal slope and at most " + FixedText(limits.MaxOffsetMv, 0) + " mV at pH 7";
}

bool IsYes(std::string answer) {
    for (char& c : answer) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    const size_t first = answer.find_first_not_of(" \t");
    const size_t last = answer.find_last_not_of(" \t");
    if (first == std::string::npos) return false;
    answer = answer.substr(first, last + 1 - first);
    return answer == "y" || answer == "yes";
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

class Calibration {
public:
    Calibration(CommandContext& context, const Arguments& arguments,
                const CalibrationOptions& options)
        : Context(context), Options(options), PortName(arguments.Positional[0]),
          Damping(Session.Link) {}

    int Run() {
        if (Options.RecordPath)
            if (int status = OpenRecordFile(Context, *Options.RecordPath, Record)) return status;
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
        status = Finish(status);
        status = WriteCertificate(Context, Options, Result, Written, WritesMissing, status);
        if (Context.Stop.Requested() && status == ExitDone) status = ExitInterrupted;
        if (status == ExitInterrupted)
            Context.Fail(status, Session.Port,
                         Written ? "interrupted after the calibration was written"
                                 : "interrupted; nothing written");
        return status;
    }

private:
    // --- before the probe is touched

    int ReadTransmitter() {
        if (int status = ReadUnit(Context, Session, Result)) return status;
        Result.Technician = Options.Technician;
        Result.Tag = Options.Tag;
        Result.Temperature = Options.Temperature;
        Result.Points = static_cast<int>(Options.Standards.size());
        Context.Say("probe " + std::string(ProbeTypeEnglishName(Result.ProbeType)) + " on " +
                    Session.Port + " (" + Session.Identification + " " +
                    IntegerText(Result.ProductionNumber) + ", firmware " + Result.Firmware + ")");
        if (Result.IsPh() && !Options.TemperatureGiven)
            Context.Note("the solutions are taken to be at " + CelsiusText(25) +
                         "; give --temperature C when they are not");
        return ExitDone;
    }

    int Usage(const std::string& what) { return UsageError(Context, CalibrateCommand, what); }

    // The dialog's rules for the standards, and what only a pH probe takes.
    int CheckStandards() {
        const bool redox = CalibrationLaw(Result.ProbeType) == ProbeRedox;
        if (redox && Result.Points == 2)
            return Usage("a Redox probe is calibrated at one point: give one --standard");
        if (!Result.IsPh() && Options.UseBuffers)
            return Usage("buffers apply to pH probes only; this one is " +
                         std::string(ProbeTypeEnglishName(Result.ProbeType)));
        if (!Result.IsPh() && Options.KeepSlope)
            return Usage("--keep-slope keeps a pH electrode's slope; this probe is " +
                         std::string(ProbeTypeEnglishName(Result.ProbeType)));
        for (int i = 0; i < Result.Points; ++i) {
            PointResult& point = Result.Point[i];
            point.Standard = Options.Standards[i];
            point.StandardUsed = ValueAtTemperature(point.Standard);
            if (!StandardAccepted(true, point.Standard, i == 0 && redox))
                return Usage("the standard " + ExactText(point.Standard) +
                             " is below 0, which only a Redox standard may be");
        }
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
            if (int status = TakePoint(name, Result.Point[i])) return status;
        }
        return ExitDone;
    }

    // Asks for the probe (unless unattended), says on standard output that
    // the point begins, and samples it.
    int TakePoint(const std::string& name, PointResult& point) {
        const std::string standard = StandardText(point);
        if (!Options.Unattended) {
            if (int status = Ask(name + ": put the probe in the " + standard +
                                     " and press Enter (Ctrl+C cancels)\n",
                                 nullptr))
                return status;
        }
        Context.Say(name + ": " + standard);
        if (int status = SamplePoint(Context, Session, Rule(), name, point)) return status;
        Report(name, point);
        return ExitDone;
    }

    // Where output goes to a file, the question still reaches the person.
    TextOutput& Asking() { return Context.Out.IsConsole() ? Context.Out : Context.Err; }

    // One question; a key pressed before it was asked does not answer it.
    int Ask(const std::string& question, std::string* answer) {
        Context.In.DiscardTypedAhead();
        Asking().Write(question);
        std::string line;
        switch (Context.In.WaitForLine(Context.Stop, line)) {
        case InputEvent::Line:
            if (answer) *answer = line;
            return ExitDone;
        case InputEvent::Interrupted:
            return ExitInterrupted;
        case InputEvent::End:
            break;
        }
        if (answer) return ExitDone; // no answer is no
        return Context.Fail(ExitUsage, "calibrate",
                            "the input ended before the probe was ready; --yes skips the question");
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
        if (Result.Slope != SlopeSource::Assumed)
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
        std::string answer;
        if (int status = Ask(unusual + "\nwrite anyway? [y/N] ", &answer)) return status;
        if (IsYes(answer)) return ExitDone;
        Result.Outcome = OutcomeDeclined;
        return Context.Fail(ExitFailed, Session.Port, "not written");
    }

    // --- the writes

    // Offset, sensitivity (unless kept) and today's date, each tried whatever
    // became of the others, as the dialog writes them; each checked against
    // the reply, which is what the transmitter holds now ("as left").
    int Write() {
        if (Context.Stop.Requested()) return ExitInterrupted;
        if (Context.Out.Failed())
            return Context.Fail(ExitFailed, "standard output",
                                "cannot write: " + Context.Out.Problem() + "; nothing written");
        const LocalTime now = LocalTime::Now();
        std::vector<SettingWrite> writes = {
            {FindSetting("offset"), BitsOfFloat(Result.Computed.Offset)}};
        if (Result.Slope != SlopeSource::Kept)
            writes.push_back(
                {FindSetting("sensitivity"), BitsOfFloat(Result.Computed.Sensitivity)});
        writes.push_back({FindSetting("date"), now.BcdDay()});
        int status = ExitDone;
        std::string written, missing;
        for (SettingWrite& write : writes) {
            const std::string key = write.Target->Key;
            if (!WriteChecked(Context, Session, write, status)) {
                status = Session.NoAnswer(Context, "writing " + key);
                missing += (missing.empty() ? "" : ", ") + key;
                continue;
            }
            written += (written.empty() ? "" : ", ") + key + " " +
                       SettingText(*write.Target, write.Returned);
            KeepLeft(write);
        }
        if (Result.Slope == SlopeSource::Kept) {
            Result.Left.HasSensitivity = true;
            Result.Left.Sensitivity = Result.Found.Sensitivity;
        }
        Written = !written.empty();
        if (Written) Context.Say("wrote " + written);
        Result.Outcome = status == ExitDone ? OutcomeWritten : OutcomeFailed;
        if (!missing.empty()) WritesMissing = missing;
        if (Options.HasDueDays) Result.DueDate = now.DaysLater(Options.DueDays).IsoDate();
        return status;
    }

    void KeepLeft(const SettingWrite& write) {
        for (int i = 0; i < HeldPair::Values; ++i)
            if (write.Target == &HeldPair::SettingOf(i)) Result.Left.Set(i, write.Returned);
    }

    // The new calibration proven in another standard: the transmitter's own
    // reading there, over a settled window, against the standard's value.
    int Check() {
        Result.HasCheck = true;
        PointResult& check = Result.Check;
        if (int status = TakePoint("check", check)) {
            if (status != ExitInterrupted) Result.Outcome = OutcomeFailed;
            return status;
        }
        const double error = check.FoundValue - check.StandardUsed;
        Result.CheckPassed = check.HasFoundValue && std::fabs(error) <= Options.CheckTolerance;
        const std::string verdict =
            "check: the transmitter reads " +
            (check.HasFoundValue ? FixedText(check.FoundValue, 3) : std::string("nothing")) +
            " in the " + StandardText(check) + " (error " + SignedText(error, 3) + ", tolerance " +
            ExactText(static_cast<float>(Options.CheckTolerance)) +
            "): " + (Result.CheckPassed ? "pass" : "fail");
        Context.Say(verdict);
        if (Result.CheckPassed) return ExitDone;
        Result.Outcome = OutcomeFailed;
        return Context.Fail(ExitFailed, Session.Port,
                            "the check failed; the calibration stays written (vl4 calibrate " +
                                Session.Port + " --undo --record FILE puts the old one back)");
    }

    // --- the record

    int Finish(int status) {
        if (Result.Outcome.empty()) return status; // no result was reached
        if (!WritesMissing.empty()) Result.Outcome = OutcomeFailed;
        if (!Options.RecordPath) return status;
        std::vector<std::string> fields = RecordFields(Result);
        if (!WritesMissing.empty())
            fields[RecHealth] = "not confirmed: no reply to " + WritesMissing;
        if (Record.Append(RecordLine(fields))) {
            Context.Say("recorded in " + *Options.RecordPath + ": " + Result.Outcome);
            return status;
        }
        const std::string why = "record not written: " + Record.Problem();
        Context.Fail(ExitFailed, *Options.RecordPath,
                     Written ? "calibration written, " + why : why);
        return status == ExitDone ? ExitFailed : status;
    }

    CommandContext& Context;
    const CalibrationOptions& Options;
    const std::string& PortName;
    TransmitterSession Session;
    DampingPause Damping;
    AppendingFile Record;
    CalibrationRecord Result;
    bool Written = false;
    std::string WritesMissing;
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
    "  --check-tolerance T   of its value (default 0.05); a failed check is exit 1\n"
    "                        and leaves the calibration written\n"
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
