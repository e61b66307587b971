#pragma once

#include <string>
#include <vector>

// The calibration record: a CSV file (RFC 4180 quoting, CRLF, UTF-8) with one
// line for every calibration that reached a result, written by vl4 calibrate
// and read by its undo and by vl4 history.

enum RecordColumn : int {
    RecTime, // 2026-12-07T16:56:19.457+01:00
    RecPort,
    RecIdentification,
    RecProductionNumber,
    RecFirmware,
    RecProbe,
    RecTechnician,
    RecTag,
    RecTemperature, // °C
    RecPoints,      // 1 or 2
    // Point 1, then point 2 (empty for a one-point calibration); each:
    RecStandard1,     // the nominal value given
    RecStandardUsed1, // the value at the temperature
    RecVoltage1,      // mV, the mean of the accepted readings
    RecSpread1,       // mV, their standard deviation
    RecDrift1,        // mV/min, their least-squares drift
    RecReadings1,     // how many were taken
    RecSettle1,       // seconds from the point's start to its acceptance
    RecFoundValue1,   // the transmitter's measured value before the calibration
    RecStandard2,
    RecStandardUsed2,
    RecVoltage2,
    RecSpread2,
    RecDrift2,
    RecReadings2,
    RecSettle2,
    RecFoundValue2,
    RecFoundOffset, // what the transmitter held before ("as found")
    RecFoundSensitivity,
    RecFoundDate,
    RecComputedOffset,
    RecComputedSensitivity,
    RecLeftOffset, // what it returned to the writes ("as left"); empty: no reply
    RecLeftSensitivity,
    RecLeftDate,
    RecSlopePercent, // of the ideal electrode at the temperature; empty for one point
    RecOffsetPh7,    // mV
    RecCheckStandard,
    RecCheckStandardUsed,
    RecCheckValue,
    RecCheckResult, // pass, fail or empty
    RecHealth,
    RecOutcome, // written, refused, declined, failed, undo
    RecDueDate,
    RecordColumnCount
};

extern const char* const RecordColumnNames[RecordColumnCount];

// The outcomes of a line.
constexpr const char OutcomeWritten[] = "written";
constexpr const char OutcomeRefused[] = "refused";
constexpr const char OutcomeDeclined[] = "declined";
constexpr const char OutcomeFailed[] = "failed"; // written, but its check failed
constexpr const char OutcomeUndo[] = "undo";

// The header line, with its CRLF.
std::string RecordHeader();
// One line of RecordColumnCount fields, quoted where they need it, with its CRLF.
std::string RecordLine(const std::vector<std::string>& fields);

struct RecordRow {
    int Line = 0; // in the file, from 1
    std::vector<std::string> Fields;
    const std::string& operator[](RecordColumn column) const { return Fields[column]; }
};

// Reads the text of a record file: the header of this layout, then lines of
// as many fields. False, with the line (1 for the header) and what is wrong
// there, for anything else: another layout (a record of an older vl4), a
// field count that differs, a quote left open, text that is not UTF-8. An
// empty text is a record without lines.
bool ParseRecord(const std::string& content, std::vector<RecordRow>& rows, int& line,
                 std::string& problem);
