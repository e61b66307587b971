#pragma once

#include "calibration/calibration_run.h"
#include "calibration/record_file.h"

#include <string>

// Puts back what the transmitter held before the unit's last calibration in
// the record, when it still holds what that calibration left, and records
// the undo: as an undo when the transmitter confirmed every write, as an
// undo that failed otherwise, which may be tried again.

// Before the first frame: the record must be there, and one vl4 may add to.
// Answers the exit status, the problem told.
int ReadUndoRecord(const std::string& path, CalibrationFrontEnd& frontEnd, RecordBook& book,
                   RecordShape& shape);

struct UndoPlan {
    std::string RecordPath;
    std::string Technician, Tag;
    bool Unattended = false; // put back without asking
};

int RunUndo(CalibrationUnit& unit, const UndoPlan& plan, const RecordBook& book,
            const RecordShape& shape, CalibrationFrontEnd& frontEnd);
