#pragma once

#include "core/number_text.h"
#include "devlink/transmitter_link.h"

// Every value a full read-out brings from the transmitter.
struct Readout {
    WORD FirmwareVersion = 0;
    LONG ProductionNumber = 0;
    BYTE OutputWiring = 0;
    BYTE ProbeType = 0;
    CalibrationDate Calibration = {};
    BYTE Damping = 0;
    float Offset = 0.0f;
    float Sensitivity = 0.0f;
    float Depth = 0.0f;
    float LowerRange = 0.0f;
    float UpperRange = 0.0f;
    float ProbeVoltage = 0.0f;
    float MeasuredValue = 0.0f;
    float Ratio = 0.0f;
};

// The calibration date as one BCD value 0xYYYYMMDD, as FormatDate takes it.
uint32_t DateBits(const CalibrationDate& date);

// One transaction of a full read-out: what it reads, how big the value is on
// the wire, and how the tool shows it.
struct ReadoutStep {
    const char* Name; // plain ASCII, for tables of figures
    int ValueSize;
    bool (*Read)(TransmitterLink& link, Readout& values);
    // The text shown: written into text, or one of the name tables' texts.
    const char* (*Show)(const Readout& values, NumberText& text);
};

// The reads in the order the main window makes them after a connect.
constexpr int ReadoutStepCount = 14;
extern const ReadoutStep ReadoutSteps[ReadoutStepCount];
