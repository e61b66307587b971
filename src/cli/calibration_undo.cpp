#include "cli/calibration_undo.h"

#include "cli/calibration_record.h"
#include "cli/record_file.h"
#include "cli/setting_writes.h"
#include "core/local_time.h"
#include "core/machine_text.h"
#include "core/number_text.h"
#include "files/text_files.h"

namespace {

bool IsWritten(const RecordRow& row) {
    return row[RecOutcome] == OutcomeWritten || row[RecOutcome] == OutcomeFailed;
}

// "offset 1.25, sensitivity -57.3, date 2026-06-01"
std::string PairText(const HeldPair& held) {
    std::string text;
    for (int i = 0; i < HeldPair::Values; ++i)
        text += (i ? ", " : "") + std::string(HeldPair::SettingKeys[i]) + " " + held.Text(i);
    return text;
}

class Undo {
public:
    Undo(CommandContext& context, const std::string& port, const CalibrationOptions& options)
        : Context(context), PortName(port), Options(options), Path(*options.RecordPath) {}

    int Run() {
        std::vector<RecordRow> rows;
        if (int status = OpenRecordFile(Context, Path, Record, &rows)) return status;
        if (int status = Session.Open(Context, PortName)) return status;
        if (int status = ReadTransmitter()) return status;
        const RecordRow* last = LastCalibration(rows);
        if (!last)
            return Refuse("no calibration of production number " +
                          IntegerText(Line.ProductionNumber) + " was written in " + Path);
        if (int status = Undone(rows, *last)) return status;
        HeldPair left;
        if (!HeldOfRecord(*last, RecLeftOffset, left) ||
            !HeldOfRecord(*last, RecFoundOffset, Found))
            return Refuse("the record of " + (*last)[RecTime] +
                          " does not say what the transmitter held before and after");
        if (int status = CompareHeld(*last, left)) return status;
        if (int status = Confirm(*last)) return status;
        return Finish(WriteBack());
    }

private:
    int Refuse(const std::string& why) {
        return Context.Fail(ExitFailed, Session.Port, why + "; nothing written");
    }

    int ReadTransmitter() {
        if (int status = ReadUnit(Context, Session, Line)) return status;
        Line.Technician = Options.Technician;
        return ExitDone;
    }

    const RecordRow* LastCalibration(const std::vector<RecordRow>& rows) const {
        const std::string unit = IntegerText(Line.ProductionNumber);
        const RecordRow* last = nullptr;
        for (const RecordRow& row : rows)
            if (row[RecProductionNumber] == unit && IsWritten(row)) last = &row;
        return last;
    }

    // An undo puts back one calibration once.
    int Undone(const std::vector<RecordRow>& rows, const RecordRow& last) {
        for (const RecordRow& row : rows)
            if (row.Line > last.Line && row[RecProductionNumber] == last[RecProductionNumber] &&
                row[RecOutcome] == OutcomeUndo)
                return Refuse("the calibration of " + last[RecTime] + " was undone on " +
                              row[RecTime]);
        return ExitDone;
    }

    // Only a transmitter that still holds what the calibration left gets the
    // old values back: anything else would overwrite a later change.
    int CompareHeld(const RecordRow& last, const HeldPair& left) {
        if (int status = ReadHeld(Context, Session, Line.Found)) return status;
        std::string changed;
        for (int i = 0; i < HeldPair::Values; ++i) {
            if (Line.Found.Raw(i) == left.Raw(i)) continue;
            changed += (changed.empty() ? "" : ", ") + std::string(HeldPair::SettingKeys[i]) + " " +
                       Line.Found.Text(i) + " (the calibration left " + left.Text(i) + ")";
        }
        if (changed.empty()) return ExitDone;
        return Refuse("the transmitter no longer holds what the calibration of " + last[RecTime] +
                      " left: " + changed);
    }

    int Confirm(const RecordRow& last) {
        Context.Say("the calibration of " + last[RecTime] + " found " + PairText(Found));
        if (Options.Unattended) return ExitDone;
        TextOutput& asking = Context.Out.IsConsole() ? Context.Out : Context.Err;
        Context.In.DiscardTypedAhead();
        asking.Write("put it back? [y/N] ");
        std::string answer;
        const InputEvent event = Context.In.WaitForLine(Context.Stop, answer);
        if (event == InputEvent::Interrupted) return ExitInterrupted;
        if (event == InputEvent::Line && (answer == "y" || answer == "yes" || answer == "Y"))
            return ExitDone;
        return Context.Fail(ExitFailed, Session.Port, "not written");
    }

    // Each value tried whatever became of the others, each checked against
    // the reply.
    int WriteBack() {
        if (Context.Stop.Requested()) return ExitInterrupted;
        int status = ExitDone;
        for (int i = 0; i < HeldPair::Values; ++i) {
            SettingWrite write = {&HeldPair::SettingOf(i), Found.Raw(i)};
            if (!WriteChecked(Context, Session, write, status)) {
                status = Session.NoAnswer(Context, std::string("writing ") + write.Target->Key);
                continue;
            }
            Line.Left.Set(i, write.Returned);
        }
        Line.HasComputed = true;
        Line.Computed = {Found.Sensitivity, Found.Offset};
        if (Line.Left.HasOffset || Line.Left.HasSensitivity || Line.Left.HasDate)
            Context.Say("put back " + PairText(Found));
        return status;
    }

    int Finish(int status) {
        if (status == ExitInterrupted)
            return Context.Fail(status, Session.Port, "interrupted; nothing written");
        Line.Time = LocalTime::Now().IsoWithMilliseconds();
        Line.Outcome = OutcomeUndo;
        std::vector<std::string> fields = RecordFields(Line);
        fields[RecHealth] = "";
        if (Record.Append(RecordLine(fields))) {
            Context.Say("recorded in " + Path + ": undo");
            return status;
        }
        Context.Fail(ExitFailed, Path,
                     "calibration put back, record not written: " + Record.Problem());
        return ExitFailed;
    }

    CommandContext& Context;
    const std::string& PortName;
    const CalibrationOptions& Options;
    const std::string& Path;
    TransmitterSession Session;
    AppendingFile Record;
    CalibrationRecord Line;
    HeldPair Found; // what the calibration found, to be put back
};

} // namespace

int UndoCalibration(CommandContext& context, const std::string& port,
                    const CalibrationOptions& options) {
    Undo undo(context, port, options);
    return undo.Run();
}
