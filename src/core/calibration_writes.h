#pragma once

#include "core/calibration_math.h"
#include "devlink/transmitter_link.h"

#include <cstdint>

// The writes that put a calibration into a transmitter, as the window's
// dialog and vl4 make them: the offset, the sensitivity (unless a one-point
// calibration keeps the one the transmitter has) and the date, in that
// order, every write tried whatever became of the others. A write is
// confirmed by a reply that carries what was sent.

enum class CalibrationValue { Offset, Sensitivity, Date };

struct CalibrationWrite {
    CalibrationValue Value;
    BYTE Command;
    uint32_t Sent;         // a float's bits or a BCD date
    uint32_t Returned = 0; // what the transmitter's reply carried
    bool Done = false;     // a reply came
    bool Confirmed() const { return Done && Returned == Sent; }
};

struct CalibrationWrites {
    static constexpr int Most = 3;
    CalibrationWrite Writes[Most];
    int Count = 0;
    bool AllConfirmed() const;
};

// A new calibration, dated today (TodayBcd).
CalibrationWrites PlanCalibrationWrites(const CalibrationResult& pair, bool keepSensitivity,
                                        uint32_t bcdDate);
// A calibration put back as it was.
CalibrationWrites PlanRestoreWrites(float offset, float sensitivity, uint32_t bcdDate);

// Every write in order, whatever the others did. Answers whether every
// write got a reply.
bool WriteCalibration(TransmitterLink& link, CalibrationWrites& writes);

// The date a calibration gives the transmitter: the PC's local date, BCD.
uint32_t TodayBcd();
