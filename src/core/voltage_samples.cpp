#include "core/voltage_samples.h"

#include <cmath>

void VoltageSamples::Add(float voltage) {
    ++Samples;
    Sum += voltage;
    const double difference = voltage - RunningMean;
    RunningMean += difference / Samples;
    SquaredDifferences += difference * (voltage - RunningMean);
}

float VoltageSamples::Mean() const {
    return Samples ? static_cast<float>(Sum / Samples) : 0.0f;
}

double VoltageSamples::StandardDeviation() const {
    return Samples < 2 ? 0.0 : std::sqrt(SquaredDifferences / (Samples - 1));
}
