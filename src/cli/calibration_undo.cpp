#include "cli/calibration_undo.h"

#include "calibration/record_layout.h"
#include "calibration/undo_target.h"
#include "cli/calibration_steps.h"
#include "cli/questions.h"
#include "core/local_time.h"
#include "core/machine_text.h"

namespace {

class Undo {
public:
    Undo(CommandContext& context, const std::string& port, const CalibrationOptions& options)
        : Context(context), PortName(port), Options(options), Path(*options.RecordPath) {}

    int Run() {
        if (int status = ReadRecord()) return status;
        if (int status = Session.Open(Context, PortName)) return status;
        if (int status = ReadUnit(Context, Session, Line)) return status;
        if (int status = ReadHeld(Context, Session, Line.Found)) return status;
        const UndoTarget target =
            FindUndoTarget(Book, Line.ProductionNumber, Line.ProbeType, Line.Found);
        if (!target.Calibration) return Refuse(target.Refusal);
        const CalibrationRecord& last = target.Calibration->Record;
        if (int status = Confirm(last)) return status;
        return WriteBack(last);
    }

private:
    // The record is read before the first frame; the undo's line goes into
    // it in its own layout.
    int ReadRecord() {
        std::string problem;
        if (!ReadRecordFile(Path, Book, Shape, problem) || !MayAddTo(Path, Shape, problem)) {
            Context.Err.Write("vl4: " + problem + "\n");
            return ExitUsage;
        }
        WarnSkipped(Context, Book);
        return ExitDone;
    }

    int Refuse(const std::string& why) {
        return Context.Fail(ExitFailed, Session.Port, why + "; nothing written");
    }

    int Confirm(const CalibrationRecord& last) {
        Context.Say("the calibration of " + last.Time + " found " + PairText(last.Found));
        if (Options.Unattended) return ExitDone;
        bool yes;
        if (int status = AskYesNo(Context, "put it back? [y/N] ", yes)) return status;
        if (yes) return ExitDone;
        return Context.Fail(ExitFailed, Session.Port, "not written");
    }

    // Each value tried whatever became of the others, each checked against
    // the reply. Only an undo the transmitter confirmed is recorded as one;
    // otherwise the line says which writes were not confirmed, and the undo
    // may be tried again.
    int WriteBack(const CalibrationRecord& last) {
        if (Context.Stop.Requested())
            return Context.Fail(ExitInterrupted, Session.Port, "interrupted; nothing written");
        const HeldPair& found = last.Found;
        CalibrationWrites writes = PlanRestoreWrites(found.Offset, found.Sensitivity, found.Date);
        WriteCalibration(Session.Link, writes);
        const std::string written = WrittenText(writes);
        if (!written.empty()) Context.Say("put back " + written);
        int status = ReportWrites(Context, Session, writes, Line.Left);
        Line.Time = LocalTime::Now().IsoWithMilliseconds();
        Line.Technician = Options.Technician;
        Line.Tag = Options.Tag.empty() ? last.Tag : Options.Tag;
        Line.HasComputed = true;
        Line.Computed = {found.Sensitivity, found.Offset};
        Line.Outcome = status == ExitDone ? OutcomeUndo : OutcomeUndoFailed;
        if (status != ExitDone)
            Context.Fail(status, Session.Port,
                         "the undo was not confirmed: " + Line.Unconfirmed() +
                             "; read the unit, and undo again to try once more");
        const RecordKind layout =
            Shape.Kind == RecordKind::Previous ? RecordKind::Previous : RecordKind::Current;
        const std::string done = written.empty()      ? ""
                                 : status == ExitDone ? "calibration put back"
                                                      : "undo written in part";
        return RecordLine(Context, &Path, Line, done, status, layout);
    }

    CommandContext& Context;
    const std::string& PortName;
    const CalibrationOptions& Options;
    const std::string& Path;
    TransmitterSession Session;
    RecordBook Book;
    RecordShape Shape;
    CalibrationRecord Line; // the undo's own: Found is what the transmitter held before it
};

} // namespace

int UndoCalibration(CommandContext& context, const std::string& port,
                    const CalibrationOptions& options) {
    Undo undo(context, port, options);
    return undo.Run();
}
