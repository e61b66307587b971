#include "core/settling_window.h"

#include "core/voltage_samples.h"

#include <cmath>

void SettlingWindow::Add(const SettlingReading& reading) {
    Readings[Next] = reading;
    Next = (Next + 1) % Size;
    if (Filled < Size) ++Filled;
}

// Against times taken from the window's mean, which loses nothing to the
// size of the seconds.
double SettlingWindow::DriftMvPerMinute() const {
    if (Filled < 2) return 0.0;
    double meanTime = 0.0, meanVoltage = 0.0;
    for (int i = 0; i < Filled; ++i) {
        meanTime += (*this)[i].Seconds;
        meanVoltage += (*this)[i].Voltage;
    }
    meanTime /= Filled;
    meanVoltage /= Filled;
    double products = 0.0, squares = 0.0;
    for (int i = 0; i < Filled; ++i) {
        const double dt = (*this)[i].Seconds - meanTime;
        products += dt * ((*this)[i].Voltage - meanVoltage);
        squares += dt * dt;
    }
    return squares > 0.0 ? products / squares * 60.0 : 0.0;
}

double SettlingWindow::SpreadMv() const {
    VoltageSamples samples;
    for (int i = 0; i < Filled; ++i) samples.Add((*this)[i].Voltage);
    return samples.StandardDeviation();
}

float SettlingWindow::MeanVoltage() const {
    VoltageSamples samples;
    for (int i = 0; i < Filled; ++i) samples.Add((*this)[i].Voltage);
    return samples.Mean();
}

double SettlingWindow::MeanValue(int& count) const {
    double sum = 0.0;
    count = 0;
    for (int i = 0; i < Filled; ++i) {
        if (!(*this)[i].HasValue) continue;
        sum += (*this)[i].Value;
        ++count;
    }
    return count ? sum / count : 0.0;
}

bool SettlingWindow::Stable(const SettlingLimits& limits) const {
    return Full() && std::fabs(DriftMvPerMinute()) <= limits.MaxDriftMvPerMinute &&
           SpreadMv() <= limits.MaxSpreadMv;
}
