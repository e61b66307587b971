#pragma once

#include "calibration/calibration_record.h"
#include "cli/command.h"
#include "cli/transmitter_session.h"

#include <string>

// How a point is taken: the first full window of good readings that is
// stable, or (without settling) simply the first full window.
struct PointRule {
    bool Settle = true;
    SettlingLimits Limits = UsualSettlingLimits;
    double TimeoutSeconds = 180.0;
};

// How a point's sampling ended.
enum class PointEnd {
    Taken,
    NotSettled,  // not stable within the rule's time
    Lost,        // the transmitter stopped answering, or the output is lost
    Interrupted, // Ctrl+C, a closing console
};

// Reads the probe voltage every 300 ms, as the dialog's timer does, with the
// transmitter's measured value beside each, until the rule takes the point;
// a failed reading is not counted and does not end the window. Each reading
// goes into the point's trace at its time on the 300 ms grid, a missing one
// (failed, or let go because the one before ran long) as not a number. A
// console shows the readings, drift, spread and time on one line with a bar
// that fills as the window does. `name` heads the messages ("point 1",
// "check"). Answers the exit status, with the error line said, and how the
// sampling ended.
int SamplePoint(CommandContext& context, TransmitterSession& session, const PointRule& rule,
                const std::string& name, PointResult& point, PointEnd& end);
