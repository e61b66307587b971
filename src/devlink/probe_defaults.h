#pragma once

#include <cstdint>

// Plain C++ without the Windows headers: the simulated transmitter takes its
// electrodes' nominal slopes from the same table.

// The probe a transmitter is set up for; indexes ProbeTypeNames and ProbeDefaults.
enum ProbeType : uint8_t {
    ProbePH = 0,
    ProbeRedox = 1,
    ProbeChlorine = 2,
    ProbeOxygen = 3,
};
constexpr int ProbeTypeCount = 4;

// The slope of an ideal pH electrode at 25 °C, mV per pH.
constexpr double IdealPhSlope = -59.16;

// The input parameters loaded into the transmitter when its probe type changes.
struct ProbeParameters {
    float Offset;
    float Sensitivity;
    float LowerRange;
    float UpperRange;
};

inline constexpr ProbeParameters ProbeDefaults[ProbeTypeCount] = {
    {0.0f, static_cast<float>(IdealPhSlope), 0.0f, 14.0f}, // pH
    {0.0f, 1.0f, -1000.0f, 1000.0f},                       // Redox
    {0.0f, 200.0f, 0.0f, 2.0f},                            // chlorine
    {0.0f, 9.0f, 0.0f, 20.0f},                             // oxygen
};
