#pragma once

#include "core/calibration_policy.h"
#include "core/settling_window.h"

#include <cstdint>
#include <string>
#include <vector>

struct Setting;

// Everything a calibration found out and did, as its record line and its
// certificate give it.

// One point (or the check): the standard, its readings and what was taken.
struct PointResult {
    bool Taken = false;
    float Standard = 0.0f;     // as given
    float StandardUsed = 0.0f; // its value at the temperature
    float Voltage = 0.0f;      // the mean of the accepted window
    double SpreadMv = 0.0;
    double DriftMvPerMinute = 0.0;
    int Readings = 0;         // good readings since the point began
    double SettleSeconds = 0; // from the point's start to its acceptance
    bool HasFoundValue = false;
    double FoundValue = 0.0;            // the transmitter's measured value over the window
    std::vector<SettlingReading> Trace; // every good reading since the point began
    int WindowStart = 0;                // the first of the accepted window in Trace
};

// The calibration a transmitter holds, each value with whether it is known.
struct HeldPair {
    bool HasOffset = false, HasSensitivity = false, HasDate = false;
    float Offset = 0.0f;
    float Sensitivity = 0.0f;
    uint32_t Date = 0; // BCD; 0: none

    // The values as the transmitter carries them: 0 offset, 1 sensitivity,
    // 2 date (the order of SettingKeys).
    static constexpr int Values = 3;
    static const char* const SettingKeys[Values];
    // The transmitter's setting of the value.
    static const Setting& SettingOf(int value);
    uint32_t Raw(int value) const;
    // As a settings file writes it: "-57.3", "2026-06-01".
    std::string Text(int value) const;
    void Set(int value, uint32_t raw); // known from now on
};

struct CalibrationRecord {
    std::string Time; // of the result, with its UTC offset
    std::string Port, Identification, Firmware, Technician, Tag;
    int32_t ProductionNumber = 0;
    uint8_t ProbeType = 0;
    double Temperature = 25.0;
    int Points = 0; // 0 for an undo
    PointResult Point[2];
    HeldPair Found;
    bool HasComputed = false;
    CalibrationResult Computed = {};
    SlopeSource Slope = SlopeSource::Measured;
    HeldPair Left;
    bool HasCheck = false;
    PointResult Check;
    bool CheckPassed = false;
    std::string Outcome; // OutcomeWritten, ...
    std::string DueDate; // ISO, empty for none

    bool IsPh() const;
    double IdealSlope() const; // of a pH electrode at the temperature
    // "ok", "check probe", ... for the computed pair; empty without one.
    std::string Health() const;
};

// "9.18", with buffers "9.18 at 15.0 °C: 9.276": the standard as given and
// the value used.
std::string StandardText(const PointResult& point, bool buffers, double temperature);

// The fields of the record line, in the record's column order.
std::vector<std::string> RecordFields(const CalibrationRecord& record);
// "2026-12-07", "0000-00-00" for no date.
std::string DateText(uint32_t bcd);

class AppendingFile;
struct CommandContext;
struct RecordRow;

// Opens the record file for appending before the first frame goes out: a new
// one gets its header, an old one must have this layout's. Its lines go into
// rows when asked for. Answers the exit status, the error line said.
int OpenRecordFile(CommandContext& context, const std::string& path, AppendingFile& file,
                   std::vector<RecordRow>* rows = nullptr);

class TransmitterSession;

// What a record line says of the unit: production number, firmware, probe
// type, port and identification. Answers the exit status, the error line said.
int ReadUnit(CommandContext& context, TransmitterSession& session, CalibrationRecord& record);
// The calibration the transmitter holds; nothing has been written when it
// does not come. Answers the exit status.
int ReadHeld(CommandContext& context, TransmitterSession& session, HeldPair& held);
// The pair a record line gives from its column `first` on (found_ or
// left_); false when a value is missing or no number.
bool HeldOfRecord(const RecordRow& row, int first, HeldPair& held);
