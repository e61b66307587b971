#pragma once

#include "app/dialog_targets.h"
#include "core/calibration_writes.h"

// The calibration dialog's writes go through the shared write sequence; each
// main-window field then shows the value of the transmitter's reply, never
// the one sent. A write without a reply leaves its field as it was.
void ShowReplies(const CalibrationWrites& writes, const CalibrationTargets& targets);

// The transmitter's date value 0xYYYYMMDD as the record it travels in.
CalibrationDate CalibrationDateOf(uint32_t bcdDate);
