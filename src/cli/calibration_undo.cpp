#include "cli/calibration_undo.h"

#include "calibration/undo_run.h"
#include "cli/console_front_end.h"
#include "cli/transmitter_session.h"

int UndoCalibration(CommandContext& context, const std::string& port,
                    const CalibrationOptions& options) {
    ConsoleFrontEnd console(context);
    RecordBook book;
    RecordShape shape;
    if (int status = ReadUndoRecord(options.RecordPath, console, book, shape)) return status;
    TransmitterSession session;
    if (int status = session.Open(context, port)) return status;
    CalibrationUnit unit = {session.Link, session.Port, session.Identification};
    const UndoPlan plan = {options.RecordPath, options.Technician, options.Tag, options.Unattended};
    return RunUndo(unit, plan, book, shape, console);
}
