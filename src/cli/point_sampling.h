#pragma once

#include "cli/calibration_record.h"
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

// Reads the probe voltage every 300 ms, as the dialog's timer does, with the
// transmitter's measured value beside each, until the rule takes the point;
// a failed reading is not counted and does not end the window. A console
// shows the readings, drift, spread and time on one line with a bar that
// fills as the window does. `name` heads the messages ("point 1", "check").
// Answers the exit status: a point that does not settle in time, a
// transmitter that stops answering, a lost output or Ctrl+C end it.
int SamplePoint(CommandContext& context, TransmitterSession& session, const PointRule& rule,
                const std::string& name, PointResult& point);
