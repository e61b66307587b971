#pragma once

#include "core/language.h"

#include <string>
#include <vector>

// The calibration record's layout: a CSV file (RFC 4180 quoting, CRLF,
// UTF-8) with one line for every calibration that reached a result and for
// every undo, written by vl4 calibrate and read by its undo, vl4 history and
// vl4 certificate. A line holds every fact the certificate shows, so that a
// lost certificate can be made again from it. New columns go at the end: a
// record of the previous layout (its first RecPreviousLayoutColumns) stays
// readable.

enum RecordColumn : int {
    RecTime, // 2026-12-07T16:56:19.457+01:00
    RecPort,
    RecIdentification,
    RecProductionNumber, // signed, as the transmitter keeps it
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
    RecReadings1,     // how many good readings were taken
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
    RecComputedOffset, // for an undo: what it puts back
    RecComputedSensitivity,
    RecLeftOffset, // what it returned to the writes ("as left"); empty: no reply
    RecLeftSensitivity,
    RecLeftDate,
    RecSlopePercent, // of the ideal electrode at the temperature; empty unless measured
    RecOffsetPh7,    // mV
    RecCheckStandard,
    RecCheckStandardUsed,
    RecCheckValue,
    RecCheckResult, // pass, fail, interrupted or empty
    RecHealth,
    RecOutcome,
    RecDueDate,
    // The columns of this layout beyond the previous one:
    RecVersion,          // of the vl4 that wrote the line
    RecTemperatureGiven, // yes or no
    RecSettleRule,       // "settled" or "first 66"
    RecMaxDrift,         // mV/min, the settling limits
    RecMaxSpread,        // mV
    RecBuffers,          // "nist", the bottle table file's name, or empty
    RecSlopeSource,      // measured, assumed (one point) or kept
    RecCheckTolerance,
    RecStandardKind1, // value, buffer, table (air, zero, grab)
    RecStandardKind2,
    RecCheckKind,
    RecPressure, // hPa, the conditions of an oxygen or chlorine probe's standards
    RecSalinity, // g/kg
    RecSamplePh,
    RecHoclPercent,
    RecGrabDelay, // s
    // Each reading of a point from its start to its end, every 300 ms: the
    // voltages as the shortest floats that read back the same, a missing
    // reading as "-", separated by spaces.
    RecReadingsMv1,
    RecReadingsMv2,
    RecCheckReadingsMv,
    RecordColumnCount
};

constexpr int RecPreviousLayoutColumns = RecDueDate + 1;

extern const char* const RecordColumnNames[RecordColumnCount];

// The outcomes of a line, stored as they are; a person reads them translated.
constexpr const char OutcomeWritten[] = N_("written");
constexpr const char OutcomeRefused[] = N_("refused");
constexpr const char OutcomeDeclined[] = N_("declined");
// Written with its check failed, or not every write confirmed.
constexpr const char OutcomeFailed[] = N_("failed");
constexpr const char OutcomeUndo[] = N_("undo");
// An undo whose writes were not all confirmed; it may be tried again.
constexpr const char OutcomeUndoFailed[] = N_("undo failed");
// A verification, which writes nothing: every standard read within its
// tolerance, or one did not.
constexpr const char OutcomeVerified[] = N_("verified");
constexpr const char OutcomeVerifyFailed[] = N_("verify failed");

bool KnownOutcome(const std::string& outcome);

// The header line of this layout, with its CRLF.
std::string RecordHeader();
// One line of fields, quoted where they need it, with its CRLF.
std::string RecordLineText(const std::vector<std::string>& fields);
