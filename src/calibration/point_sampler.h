#pragma once

#include "calibration/calibration_front_end.h"
#include "core/exit_status.h"
#include "devlink/transmitter_link.h"

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
    Interrupted, // a stop was asked for
};

// Reads the probe voltage every 300 ms, as the dialog's timer does, with the
// transmitter's measured value beside each, until the rule takes the point;
// a failed reading is not counted and does not end the window. Each reading
// goes into the point's trace at its time on the 300 ms grid, a missing one
// (failed, or let go because the one before ran long) as not a number, and
// to the front-end. `name` heads the messages ("point 1", "check"). Answers
// the exit status, with the failure said, and how the sampling ended.
int SamplePoint(TransmitterLink& link, const std::string& port, const PointRule& rule,
                const std::string& name, CalibrationFrontEnd& frontEnd, PointResult& point,
                PointEnd& end);
