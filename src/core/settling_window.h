#pragma once

#include "core/calibration_math.h"

// The last readings of a calibration point and whether they show a settled
// probe. A point is taken at the first reading at which a full window of
// good readings drifts and spreads less than the limits; its voltage is the
// mean of that window, as the dialog takes the mean of its samples.

struct SettlingLimits {
    double MaxDriftMvPerMinute; // the least-squares slope of the voltage over time
    double MaxSpreadMv;         // the readings' standard deviation
};
// About 0.01 pH a minute, and half a millivolt.
constexpr SettlingLimits UsualSettlingLimits = {0.6, 0.5};

struct SettlingReading {
    double Seconds; // since the point began
    float Voltage;  // mV
    bool HasValue;  // whether the transmitter's measured value came with it
    float Value;
};

class SettlingWindow {
public:
    static constexpr int Size = SamplesPerPoint;

    void Add(const SettlingReading& reading);
    int Count() const { return Filled; }
    bool Full() const { return Filled == Size; }
    // The window's readings, oldest first.
    const SettlingReading& operator[](int i) const {
        return Readings[(Next + Size - Filled + i) % Size];
    }

    // mV per minute, of either sign; 0 for fewer than two readings.
    double DriftMvPerMinute() const;
    double SpreadMv() const;
    float MeanVoltage() const;
    // The mean of the measured values that came, and how many did.
    double MeanValue(int& count) const;
    bool Stable(const SettlingLimits& limits) const;

private:
    SettlingReading Readings[Size] = {};
    int Next = 0;
    int Filled = 0;
};
