#pragma once

#include <cstdint>

// The command numbers of the transmitter's values. Plain C++ without the
// Windows headers, so that the simulated transmitter answers the very same map.

// Identification commands every device of the family answers.
enum DeviceCommand : uint8_t {
    CmdIdentify = 33,         // 8 bytes of text, padded with zero bytes
    CmdFirmwareVersion = 34,  // word: major in the high byte, minor in the low byte
    CmdProductionNumber = 35, // signed 32-bit
};

// The transmitter's own values. 39 to 41 are not used.
enum TransmitterCommand : uint8_t {
    CmdProbeVoltage = 36,    // float, mV
    CmdMeasuredValue = 37,   // float
    CmdRatio = 38,           // float, a fraction
    CmdOutputWiring = 42,    // byte
    CmdProbeType = 43,       // byte
    CmdDamping = 44,         // byte, 0 to 30
    CmdCalibrationDate = 45, // CalibrationDate
    CmdLowerRange = 46,      // float
    CmdUpperRange = 47,      // float
    CmdOffset = 48,          // float
    CmdSensitivity = 49,     // float
    CmdDepth = 50,           // float
};

// The highest damping the transmitter takes.
constexpr int MaxDamping = 30;
