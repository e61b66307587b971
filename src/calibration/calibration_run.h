#pragma once

#include "calibration/calibration_front_end.h"
#include "calibration/calibration_plan.h"
#include "devlink/transmitter_link.h"

#include <string>

// A calibration with settled points, buffers at their temperature, what the
// transmitter held before and holds after, a check standard and a record,
// judged by the policy the window's dialog applies. It runs on a link that is
// open and has identified its transmitter, and tells its front-end what
// happens and asks it what only a person can say.

// The transmitter a calibration talks to.
struct CalibrationUnit {
    TransmitterLink& Link;
    std::string Port;
    std::string Identification; // as received, in UTF-8
};

// Before the first frame: a record that cannot take the calibration's line is
// found now, not after the writes. Answers the exit status, the problem told.
int PrepareCalibrationRecord(const CalibrationPlan& plan, CalibrationFrontEnd& frontEnd);

// Runs the calibration. Answers the exit status; `result` is the record's
// line of a calibration that reached a result (its Outcome empty otherwise),
// appended to the plan's record when it has one.
int RunCalibration(CalibrationUnit& unit, const CalibrationPlan& plan,
                   CalibrationFrontEnd& frontEnd, CalibrationRecord& result);

// What the transmitter holds of the calibration, read; an unanswered read
// is told as a failure. Answers the exit status.
int ReadUnit(CalibrationUnit& unit, CalibrationFrontEnd& frontEnd, CalibrationRecord& record);
int ReadHeld(CalibrationUnit& unit, CalibrationFrontEnd& frontEnd, HeldPair& held);
