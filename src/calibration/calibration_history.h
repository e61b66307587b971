#pragma once

#include "calibration/record_file.h"
#include "core/calendar_time.h"

#include <cstdint>
#include <string>
#include <vector>

// The calibrations of a record unit by unit, in time order, with the date
// each unit is due again.

struct HistoryCalibration {
    std::string File;
    int Line = 0;     // in the record
    std::string Time; // as recorded
    IsoTime At;
    std::string Outcome, Probe, CheckResult, Health, Technician;
    uint8_t ProbeType = 0;
    // Not a number where the record has none: a slope that was not
    // measured (one point, or kept), a probe that is no pH probe.
    float SlopePercent = 0, OffsetPh7Mv = 0;
    // What the probe type's health judges besides the slope: a pH
    // electrode's offset at pH 7 and a Redox electrode's offset, mV; an
    // oxygen or chlorine probe's zero, mg/L. Not a number where none.
    float Zero = 0;
    // The transmitter's reading in the first standard before the
    // calibration, against the standard's value at the temperature.
    float FoundError = 0;
    std::string DueDate;      // as recorded; empty: none
    bool Undone = false;      // a later undo put back what it found
    bool Unconfirmed = false; // its writes were not all confirmed
};

struct UnitHistory {
    int32_t ProductionNumber = 0;
    std::string Identification, Tag;              // the newest the record gives
    std::vector<HistoryCalibration> Calibrations; // oldest first
    int LastWritten = -1;                         // the calibration the transmitter holds; -1: none
    // The last writes were not all confirmed: what the unit holds is not
    // known until it is read.
    bool Unconfirmed = false;
    // Its last verification, after the calibration it holds; -1: none. A
    // passed one makes it due again; a failed one says to calibrate it.
    int LastVerified = -1;
    bool VerifyFailed = false;
    uint8_t ProbeType = 0; // of its newest line
    bool HasDue = false;
    int32_t DueDay = 0;
    bool Overdue = false;
};

struct DueRule {
    int32_t Today = 0;        // the local date
    int32_t IntervalDays = 0; // after a calibration whose line gives no due date; 0: none
};

// The units of a record book. A unit is due on the due date of the
// calibration it holds, or of a verification that passed after it, or that
// line's date plus the rule's interval, and overdue when that day is before
// today; a unit whose last writes were not confirmed, or whose last
// verification failed, has no due date. The units come in the order they
// need attention: those not confirmed or failed, then by due date (the
// overdue ones first), then those without one, each by production number.
std::vector<UnitHistory> ReadHistory(const RecordBook& book, const DueRule& rule);

// The numbers as the console shows them (the record keeps the exact ones),
// with the language's decimal symbol; "-" where there is none.
constexpr int SlopeDecimals = 1, OffsetDecimals = 1, FoundErrorDecimals = 2;
std::string Shown(float value, int decimals);
std::string Shown(const std::string& text);
// What a person reads of the unit's due date, after its OVERDUE when past:
// "by 281 days", "in 176 days", "today"; without a due date, why: "no
// written calibration", "no due date", "not confirmed: read the unit".
std::string DueDistance(const UnitHistory& unit, int32_t today);
// The words for a calibration whose writes were not confirmed.
extern const char NotConfirmedWords[];
// The recorded health words as a person reads them: "ok", "check probe
// (slope only)", "not confirmed: sensitivity, date"; "-" for none.
std::string ShownHealth(const HistoryCalibration& calibration);
