#pragma once

// The probe voltages sampled at one calibration point: their mean as the
// calibration takes it (the float samples summed in double precision, the
// mean rounded to a float) and how far they spread.
class VoltageSamples {
public:
    void Add(float voltage);
    int Count() const { return Samples; }
    float Mean() const;
    // The sample standard deviation, mV; 0 for fewer than two samples.
    double StandardDeviation() const;

private:
    int Samples = 0;
    double Sum = 0.0;
    // Welford's running mean and sum of squared differences, which lose
    // nothing to cancellation when the spread is small beside the mean.
    double RunningMean = 0.0;
    double SquaredDifferences = 0.0;
};
