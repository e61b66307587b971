// vl4 calibrate: the calibration of the window's dialog from the console, with
// the same arithmetic, and a record of it.
#include "cli/calibration_record.h"
#include "cli/command_line.h"
#include "cli/local_time.h"
#include "cli/machine_text.h"
#include "cli/pacer.h"
#include "cli/setting_writes.h"
#include "cli/text_files.h"
#include "core/english_names.h"
#include "core/number_text.h"
#include "devlink/probe_defaults.h"

namespace {

constexpr int SampleIntervalMs = 300;
constexpr int ProgressWidth = 33;
// Readings in a row without an answer before the sampling gives up.
constexpr int DeadReadings = 10;

// The damping set to 0 while the probe is sampled, so that the readings are
// the probe's own, and put back afterwards, whatever ended the calibration.
class DampingBracket {
public:
    DampingBracket(CommandContext& context, TransmitterSession& session)
        : Context(context), Session(session) {}

    int Zero() {
        if (!Session.Link.GetDamping(Saved))
            return Session.NoAnswer(Context, "reading the damping");
        if (Saved == 0) return ExitDone;
        BYTE zero = 0;
        Zeroed = true; // whatever the reply says, it may have taken effect
        if (!Session.Link.SetByte(CmdDamping, zero))
            return Session.NoAnswer(Context, "setting the damping to 0");
        if (zero != 0)
            return Context.Fail(ExitFailed, Session.Port,
                                "the damping stays " + IntegerText(zero) + " instead of 0");
        return ExitDone;
    }

    // Answers the status to exit with: a failed restore turns success into failure.
    int Restore(int status) {
        if (!Zeroed) return status;
        BYTE value = Saved;
        if (Session.Link.SetByte(CmdDamping, value) && value == Saved) return status;
        Context.Fail(ExitFailed, Session.Port,
                     "the damping was not restored to " + IntegerText(Saved) +
                         "; set it with: vl4 set " + Session.Port +
                         " damping=" + IntegerText(Saved));
        return status == ExitDone ? ExitFailed : status;
    }

private:
    CommandContext& Context;
    TransmitterSession& Session;
    BYTE Saved = 0;
    bool Zeroed = false;
};

class Calibration {
public:
    Calibration(CommandContext& context, const Arguments& arguments)
        : Context(context), Arguments_(arguments), Damping(context, Session) {}

    int Run() {
        if (int status = ParseStandards()) return status;
        if (int status = Session.Open(Context, Arguments_.Positional[0])) return status;
        if (int status = ReadTransmitter()) return status;
        if (int status = CheckStandards()) return status;
        int status = Damping.Zero();
        if (status == ExitDone) status = Measure();
        if (status == ExitDone) status = Write();
        status = Damping.Restore(status);
        if (Written && Arguments_.Has("--record")) status = AppendRecord(status);
        if (Context.Stop.Requested() && status == ExitDone) status = ExitInterrupted;
        if (status == ExitInterrupted)
            Context.Fail(status, Session.Port,
                         Written ? "interrupted after the calibration was written"
                                 : "interrupted; nothing written");
        return status;
    }

private:
    int ParseStandards() {
        const std::vector<std::string> standards = Arguments_.Values("--standard");
        if (standards.empty() || standards.size() > 2)
            return UsageError(Context, CalibrateCommand, "give one or two --standard values");
        Record.Points = static_cast<int>(standards.size());
        for (int i = 0; i < Record.Points; ++i) {
            if (!ParseNumber(standards[i].c_str(), Record.Standards[i]) ||
                !IsFiniteNumber(Record.Standards[i]))
                return UsageError(Context, CalibrateCommand,
                                  "--standard takes a number, not " + standards[i]);
        }
        return ExitDone;
    }

    int ReadTransmitter() {
        LONG production;
        if (!Session.Link.GetProductionNumber(production))
            return Session.NoAnswer(Context, "reading the production number");
        if (!Session.Link.GetProbeType(Record.ProbeType))
            return Session.NoAnswer(Context, "reading the probe type");
        Record.ProductionNumber = production;
        Record.Port = Session.Port;
        Record.Identification = Session.Identification;
        Context.Say("probe " + std::string(ProbeTypeEnglishName(Record.ProbeType)) + " on " +
                    Session.Port);
        return ExitDone;
    }

    CalibrationPoints Points() const {
        return {Record.ProbeType,
                Record.Points == 1,
                true,
                true,
                Record.Standards[0],
                Record.Standards[1],
                Record.Samples[0].Mean(),
                Record.Samples[1].Mean()};
    }

    // The dialog's rules for the standards, before the probe is touched.
    int CheckStandards() {
        const bool redox = CalibrationLaw(Record.ProbeType) == ProbeRedox;
        if (redox && Record.Points == 2)
            return UsageError(Context, CalibrateCommand,
                              "a Redox probe is calibrated at one point: give one --standard");
        for (int i = 0; i < Record.Points; ++i)
            if (!StandardAccepted(true, Record.Standards[i], i == 0 && redox))
                return UsageError(Context, CalibrateCommand,
                                  "the standard " + ExactText(Record.Standards[i]) +
                                      " is below 0, which only a Redox standard may be");
        if (PointsValid(Points())) return ExitDone;
        return UsageError(Context, CalibrateCommand,
                          Record.Points == 2 ? "the two standards are equal"
                                             : "a one-point calibration of this probe needs a "
                                               "standard other than 0");
    }

    int Measure() {
        for (int point = 0; point < Record.Points; ++point) {
            if (int status = WaitForProbe(point)) return status;
            if (int status = Sample(point)) return status;
            Report(point);
        }
        return ExitDone;
    }

    int WaitForProbe(int point) {
        const std::string standard = ExactText(Record.Standards[point]);
        if (Arguments_.Has("--yes")) {
            Context.Say("point " + IntegerText(point + 1) + ": standard " + standard);
            return ExitDone;
        }
        // Where output goes to a file, the question still reaches the person.
        TextOutput& asking = Context.Out.IsConsole() ? Context.Out : Context.Err;
        asking.Write("point " + IntegerText(point + 1) + ": put the probe in the standard " +
                     standard + " and press Enter (Ctrl+C cancels)\n");
        switch (Context.In.WaitForLine(Context.Stop)) {
        case InputEvent::Line:
            return ExitDone;
        case InputEvent::Interrupted:
            return ExitInterrupted;
        case InputEvent::End:
            break;
        }
        return Context.Fail(ExitUsage, "calibrate",
                            "the input ended before the probe was ready; --yes skips the question");
    }

    // 66 readings, one every 300 ms, as the dialog's timer takes them; a
    // failed reading is not counted.
    int Sample(int point) {
        VoltageSamples& samples = Record.Samples[point];
        StatusLine progress(Context.Out);
        Pacer pacer{std::chrono::milliseconds(SampleIntervalMs)};
        for (int dead = 0;;) {
            float voltage = 0.0f;
            const bool read = Session.Link.GetProbeVoltage(voltage);
            if (read) samples.Add(voltage);
            dead = read ? 0 : dead + 1;
            progress.Show(Progress(point, samples.Count(), read, voltage));
            if (samples.Count() >= SamplesPerPoint) return ExitDone;
            if (dead >= DeadReadings) {
                progress.Finish();
                return Context.Fail(ExitFailed, Session.Port,
                                    "the transmitter stopped answering while point " +
                                        IntegerText(point + 1) + " was sampled");
            }
            if (!pacer.WaitForNext(Context.Stop)) return ExitInterrupted;
        }
    }

    static std::string Progress(int point, int count, bool read, float voltage) {
        const int filled = count * ProgressWidth / SamplesPerPoint;
        return "point " + IntegerText(point + 1) + " [" + std::string(filled, '#') +
               std::string(ProgressWidth - filled, '.') + "] " + IntegerText(count) + "/" +
               IntegerText(SamplesPerPoint) + "  " +
               (read ? FixedText(voltage, 3) + " mV" : "no answer");
    }

    void Report(int point) {
        const VoltageSamples& samples = Record.Samples[point];
        Context.Say("point " + IntegerText(point + 1) + ": standard " +
                    ExactText(Record.Standards[point]) + ", " + IntegerText(samples.Count()) +
                    " readings, mean " + FixedText(samples.Mean(), 3) + " mV, spread " +
                    FixedText(samples.StandardDeviation(), 3) + " mV");
        if (Record.Unstable(point))
            Context.Say("warning: point " + IntegerText(point + 1) +
                        " unstable: the readings spread more than 1 mV");
    }

    int Compute() {
        CalibrationFault fault;
        if (ComputeCalibration(Points(), Record.Computed, &fault)) return ExitDone;
        const char* why = fault == CalibrationFault::WrongSlopeSign
                              ? "the points give a slope no working probe of this kind has"
                              : "the points give no usable slope";
        return Context.Fail(ExitFailed, Session.Port, std::string(why) + "; nothing written");
    }

    void ShowResult() {
        const bool ph = Record.IsPh();
        Context.Say("sensitivity " + ExactText(Record.Computed.Sensitivity) + (ph ? " mV/pH" : "") +
                    ", offset " + ExactText(Record.Computed.Offset) + " mV");
        if (!ph) return;
        Context.Say("slope " + FixedText(PhSlopePercent(Record.Computed.Sensitivity), 1) +
                    " % of an ideal electrode (-59.16 mV/pH at 25 \xC2\xB0"
                    "C), offset at pH 7 " +
                    FixedText(Record.Computed.Offset, 1) + " mV");
        if (Record.CheckProbe())
            Context.Say("warning: check probe: a healthy electrode has 90 to 105 % and at most "
                        "30 mV");
    }

    // Offset, sensitivity and today's date, each tried whatever became of the
    // others, as the dialog writes them; each checked against the reply.
    int Write() {
        if (int status = Compute()) return status;
        ShowResult();
        const LocalTime now = LocalTime::Now();
        Record.Time = now.IsoWithMilliseconds();
        SettingWrite writes[] = {
            {FindSetting("offset"), BitsOfFloat(Record.Computed.Offset)},
            {FindSetting("sensitivity"), BitsOfFloat(Record.Computed.Sensitivity)},
            {FindSetting("date"), now.BcdDay()},
        };
        int status = ExitDone;
        std::string written;
        for (SettingWrite& write : writes) {
            if (!WriteChecked(Context, Session, write, status)) {
                status = Session.NoAnswer(Context, std::string("writing ") + write.Target->Key);
                continue;
            }
            written += (written.empty() ? "" : ", ") + std::string(write.Target->Key) + " " +
                       SettingText(*write.Target, write.Returned);
        }
        Record.OffsetReturned = writes[0].Done;
        Record.Returned.Offset = FloatWithBits(writes[0].Returned);
        Record.SensitivityReturned = writes[1].Done;
        Record.Returned.Sensitivity = FloatWithBits(writes[1].Returned);
        Written = !written.empty();
        if (Written) Context.Say("wrote " + written);
        return status;
    }

    int AppendRecord(int status) {
        const std::string& path = *Arguments_.Value("--record");
        AppendingFile file;
        std::string problem;
        const bool appended = file.Open(path, problem) &&
                              (!file.IsEmpty() || file.Append(CalibrationRecordHeader())) &&
                              file.Append(CalibrationRecordLine(Record));
        if (appended) {
            Context.Say("recorded in " + path + ": " + Record.Health());
            return status;
        }
        Context.Fail(ExitUsage, path,
                     "cannot write the record: " + (problem.empty() ? "write failed" : problem));
        return status == ExitDone ? ExitUsage : status;
    }

    CommandContext& Context;
    const Arguments& Arguments_;
    TransmitterSession Session;
    DampingBracket Damping;
    CalibrationRecord Record;
    bool Written = false;
};

int Calibrate(CommandContext& context, const Arguments& arguments) {
    Calibration calibration(context, arguments);
    return calibration.Run();
}

} // namespace

const CommandSpec CalibrateCommand = {
    "calibrate",
    "PORT --standard N1 [--standard N2] [--record FILE] [--yes]",
    "a one- or two-point calibration as the dialog makes it, with a record",
    "Calibrates the probe as the window's calibration dialog does, with the same\n"
    "arithmetic: reads the probe type, sets the damping to 0 for the sampling (and\n"
    "restores it afterwards, also after an error or Ctrl+C), and for each standard\n"
    "asks to put the probe in it and press Enter, then averages 66 voltage readings\n"
    "taken every 300 ms (about 20 s). One standard makes a one-point calibration,\n"
    "two a two-point one; a Redox probe takes one. Then it writes offset,\n"
    "sensitivity and today's date, each checked against the transmitter's reply.\n"
    "Points that give no usable slope, or one no working probe of the kind has,\n"
    "write nothing.\n"
    "\n"
    "  --standard N   the value of a standard solution (pH 7, 4.01; a Redox\n"
    "                 potential in mV may be negative)\n"
    "  --record FILE  append one line to the CSV file FILE (a header when it is new):\n"
    "                 time, port, identification, production number, probe,\n"
    "                 standards, mean voltages, the standard deviation and count of\n"
    "                 each point's readings, computed and returned offset and\n"
    "                 sensitivity, and the slope's health\n"
    "  --yes          do not ask before each standard (a prepared bench)\n"
    "\n"
    "Health: for pH the slope as a percentage of an ideal electrode's -59.16 mV/pH at\n"
    "25 \xC2\xB0"
    "C and the offset at pH 7; outside 90 to 105 % or beyond 30 mV the record\n"
    "and the console say 'check probe'. A point whose readings spread (standard\n"
    "deviation) more than 1 mV is reported as unstable. These are warnings and\n"
    "change nothing that is written.\n",
    1,
    1,
    {{"--standard", "N", true}, {"--record", "FILE", false}, {"--yes", nullptr, false}},
    Calibrate,
};
