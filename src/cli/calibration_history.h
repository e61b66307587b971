#pragma once

#include "cli/record_file.h"
#include "core/calendar_time.h"

#include <cstdint>
#include <string>
#include <vector>

// The calibrations of a record unit by unit, in time order, with the date
// each unit is due again.

struct HistoryCalibration {
    int Line = 0;     // in the record
    std::string Time; // as recorded
    IsoTime At;
    std::string Outcome, Probe, CheckResult, Health, Technician;
    // Not a number where the record has none (the slope of a one-point
    // calibration).
    float SlopePercent = 0, OffsetPh7Mv = 0;
    // The transmitter's reading in the first standard before the
    // calibration, against the standard's value at the temperature.
    float FoundError = 0;
    std::string DueDate; // as recorded; empty: none
    bool Undone = false; // a later undo put the calibration before it back
};

struct UnitHistory {
    int32_t ProductionNumber = 0;
    std::string Identification, Tag;              // the newest the record gives
    std::vector<HistoryCalibration> Calibrations; // oldest first
    int LastWritten = -1;                         // the calibration the transmitter holds; -1: none
    bool HasDue = false;
    int32_t DueDay = 0;
    bool Overdue = false;
};

struct DueRule {
    int32_t Today = 0;        // the local date
    int32_t IntervalDays = 0; // after a calibration whose line gives no due date; 0: none
};

// Whether a calibration left its values in the transmitter: written, with
// its check passed or failed.
bool LeftInTransmitter(const std::string& outcome);

// The units of a record's rows. A unit is due on the due date of the last
// calibration it holds (an undo takes back the last one before it), or that
// calibration's date plus the rule's interval, and overdue when that day is
// before today. The units come in the order they need calibrating: by due
// date, so the overdue ones first, then those without one, each by
// production number. False, with the line and what is wrong, for a row
// whose field cannot be read.
bool ReadHistory(const std::vector<RecordRow>& rows, const DueRule& rule,
                 std::vector<UnitHistory>& units, int& line, std::string& problem);

// The numbers as the console shows them (the record keeps the exact ones);
// "-" where there is none.
constexpr int SlopeDecimals = 1, OffsetDecimals = 1, FoundErrorDecimals = 2;
std::string Shown(float value, int decimals);
std::string Shown(const std::string& text);
// Where the unit's due date stands, after its OVERDUE when past: "by 281
// days", "in 176 days", "today"; without a due date, why: "no written
// calibration", "no due date".
std::string DueDistance(const UnitHistory& unit, int32_t today);
