#include "calibration/undo_run.h"

#include "calibration/record_layout.h"
#include "calibration/undo_target.h"
#include "calibration/writes_report.h"
#include "core/exit_status.h"
#include "core/language.h"
#include "core/local_time.h"

namespace {

class Undo {
public:
    Undo(CalibrationUnit& unit, const UndoPlan& plan, const RecordBook& book,
         const RecordShape& shape, CalibrationFrontEnd& frontEnd)
        : Unit(unit), Plan(plan), Book(book), Shape(shape), FrontEnd(frontEnd) {}

    int Run() {
        if (int status = ReadUnit(Unit, FrontEnd, Line)) return status;
        if (int status = ReadHeld(Unit, FrontEnd, Line.Found)) return status;
        const UndoTarget target =
            FindUndoTarget(Book, Line.ProductionNumber, Line.ProbeType, Line.Found);
        if (!target.Calibration) return Refuse(target.Refusal);
        const CalibrationRecord& last = target.Calibration->Record;
        if (int status = Confirm(last)) return status;
        return WriteBack(last);
    }

private:
    int Refuse(const std::string& why) {
        FrontEnd.Fail(ExitFailed, Unit.Port, Format(_("{0}; nothing written"), {why}));
        return ExitFailed;
    }

    int Confirm(const CalibrationRecord& last) {
        FrontEnd.Step(
            CalibrationStep::UndoFound, last,
            Format(_("the calibration of {0} found {1}"), {last.Time, PairText(last.Found)}));
        if (Plan.Unattended) return ExitDone;
        const int answer = StatusOfAnswer(FrontEnd.Ask(Question::PutBack, last.Time));
        if (answer != ExitFailed) return answer;
        FrontEnd.Fail(ExitFailed, Unit.Port, _("not written"));
        return ExitFailed;
    }

    // Each value tried whatever became of the others, each checked against
    // the reply. Only an undo the transmitter confirmed is recorded as one;
    // otherwise the line says which writes were not confirmed, and the undo
    // may be tried again.
    int WriteBack(const CalibrationRecord& last) {
        if (FrontEnd.Stop().Requested()) {
            FrontEnd.Fail(ExitInterrupted, Unit.Port, _("interrupted; nothing written"));
            return ExitInterrupted;
        }
        const HeldPair& found = last.Found;
        CalibrationWrites writes = PlanRestoreWrites(found.Offset, found.Sensitivity, found.Date);
        WriteCalibration(Unit.Link, writes);
        const std::string written = WrittenText(writes);
        if (!written.empty())
            FrontEnd.Step(CalibrationStep::Written, Line, Format(_("put back {0}"), {written}));
        const int status = ReportWrites(Unit.Port, writes, FrontEnd, Line.Left);
        Line.Time = LocalTime::Now().IsoWithMilliseconds();
        Line.Technician = Plan.Technician;
        Line.Tag = Plan.Tag.empty() ? last.Tag : Plan.Tag;
        Line.HasComputed = true;
        Line.Computed = {found.Sensitivity, found.Offset};
        Line.Outcome = status == ExitDone ? OutcomeUndo : OutcomeUndoFailed;
        if (status != ExitDone)
            FrontEnd.Fail(status, Unit.Port,
                          Format(_("the undo was not confirmed: {0}; read the unit, and undo again "
                                   "to try once more"),
                                 {ValueNames(Line.Unconfirmed())}));
        const std::string done = written.empty()      ? ""
                                 : status == ExitDone ? _("calibration put back")
                                                      : _("undo written in part");
        return AppendToRecord(Plan.RecordPath, Line, done, FrontEnd, status,
                              Shape.Kind == RecordKind::Previous);
    }

    CalibrationUnit& Unit;
    const UndoPlan& Plan;
    const RecordBook& Book;
    const RecordShape& Shape;
    CalibrationFrontEnd& FrontEnd;
    CalibrationRecord Line; // the undo's own: Found is what the transmitter held before it
};

} // namespace

int ReadUndoRecord(const std::string& path, CalibrationFrontEnd& frontEnd, RecordBook& book,
                   RecordShape& shape) {
    std::string problem;
    const bool read = ReadRecordFile(path, book, shape, problem) && MayAddTo(path, shape, problem);
    return TellRecordRead(frontEnd, book.Warnings, read, problem);
}

int RunUndo(CalibrationUnit& unit, const UndoPlan& plan, const RecordBook& book,
            const RecordShape& shape, CalibrationFrontEnd& frontEnd) {
    Undo undo(unit, plan, book, shape, frontEnd);
    return undo.Run();
}
