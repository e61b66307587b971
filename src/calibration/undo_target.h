#pragma once

#include "calibration/record_file.h"

#include <cstdint>
#include <string>

// What an undo puts back, decided from the record and from what the
// transmitter holds now, before anything is written: what the calibration
// the unit holds found, into a transmitter that still holds what that
// calibration left, for the probe it was made for.
struct UndoTarget {
    const RecordEntry* Calibration = nullptr; // null: nothing may be written
    std::string Refusal;                      // why, when nothing may be written
};

// `heldNow` is what the transmitter holds; a value an earlier undo that was
// not confirmed already put back counts as held, so that the undo can be
// tried again.
UndoTarget FindUndoTarget(const RecordBook& book, int32_t productionNumber, uint8_t probeTypeNow,
                          const HeldPair& heldNow);

// "offset 1.25, sensitivity -57.3, date 2026-06-01"
std::string PairText(const HeldPair& held);
