#pragma once

#include "calibration/record_file.h"

#include <cstdint>
#include <vector>

// Which calibration a unit holds, by its record: the one rule that the
// history, its due dates, the report and undo go by.
//
// A calibration whose writes the transmitter confirmed, each reply carrying
// what was sent, is what the unit holds from then on, whether or not its
// check passed; one refused or declined wrote nothing. An undo puts back
// what the last calibration still held found, so the one before is held
// again. Writes that were not all confirmed (a calibration or an undo that
// lost the transmitter) leave the unit's values unknown until the next
// confirmed writes: they are never taken for what it holds.

struct UnitLines {
    int32_t ProductionNumber = 0;
    // Its lines in time order (by UTC), the files' order where equal.
    std::vector<const RecordEntry*> Lines;
    int Held = -1;             // the calibration the unit holds; -1: none
    std::vector<int> UndoneBy; // for each line: the undo that put back what it found; -1: none
    bool Unconfirmed = false;  // the last writes were not all confirmed
};

// Whether a line's writes reached the transmitter, each confirmed.
bool WritesConfirmed(const CalibrationRecord& record);

// The units of the book, by production number, each with what it holds.
std::vector<UnitLines> UnitsOf(const RecordBook& book);
