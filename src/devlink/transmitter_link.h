#pragma once

#include "devlink/device_link.h"

// The date of the last calibration as the transmitter keeps it, in BCD digits:
// 15 March 2024 is Day 0x15, Month 0x03, Year 0x2024 (bytes 15 03 24 20).
// All zero when the probe has not been calibrated.
struct CalibrationDate {
    BYTE Day;
    BYTE Month;
    WORD Year;
};
static_assert(sizeof(CalibrationDate) == 4, "travels as one 4-byte value");

// One accessor per transmitter value. Getters write their out value only on
// success; setters leave the value the transmitter replied in their argument.
class TransmitterLink : public DeviceLink {
public:
    bool GetProbeVoltage(float& value);
    bool GetMeasuredValue(float& value);
    bool GetRatio(float& value);
    bool GetOutputWiring(BYTE& value);
    bool GetProbeType(BYTE& value);
    bool SetProbeType(BYTE& value);
    bool GetDamping(BYTE& value);
    // The caller keeps its own value; what the transmitter replies is dropped.
    bool SetDamping(BYTE value);
    bool GetCalibrationDate(CalibrationDate& value);
    bool SetCalibrationDate(CalibrationDate& value);
    bool GetLowerRange(float& value);
    bool SetLowerRange(float& value);
    bool GetUpperRange(float& value);
    bool SetUpperRange(float& value);
    bool GetOffset(float& value);
    bool SetOffset(float& value);
    bool GetSensitivity(float& value);
    bool SetSensitivity(float& value);
    bool GetDepth(float& value);
    bool SetDepth(float& value);
};
