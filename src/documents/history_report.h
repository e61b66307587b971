#pragma once

#include "calibration/calibration_history.h"

#include <string>
#include <vector>

// What the report says of where it comes from.
struct HistoryReportSource {
    std::string Record;  // the record file's name
    std::string Made;    // local time, to the minute
    std::string Program; // "vl4 1.2.0"
    DueRule Rule;
};

// The calibration history as a page for people: an overview of the units,
// the overdue ones first, then a sheet per unit with its calibrations and a
// trend of the electrode's slope and offset against their limits.
std::string HistoryReport(const std::vector<UnitHistory>& units, const HistoryReportSource& source);
