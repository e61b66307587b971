#include "core/buffer_table.h"
#include "core/calibration_math.h"
#include "core/calibration_policy.h"
#include "core/settling_window.h"
#include "core/voltage_samples.h"
#include "devlink/probe_defaults.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr float Infinity = std::numeric_limits<float>::infinity();
constexpr float NotANumber = std::numeric_limits<float>::quiet_NaN();

CalibrationPoints TwoPoints(uint8_t type, float n1, float u1, float n2, float u2) {
    return {type, false, true, true, n1, n2, u1, u2};
}

CalibrationPoints OnePoint(uint8_t type, float n1, float u1) {
    return {type, true, true, false, n1, 0.0f, u1, 0.0f};
}

void ExpectPair(const CalibrationPoints& points, float sensitivity, float offset) {
    CalibrationResult r = {};
    ASSERT_TRUE(ComputeCalibration(points, r));
    EXPECT_EQ(r.Sensitivity, sensitivity);
    EXPECT_EQ(r.Offset, offset);
}

void ExpectRefused(const CalibrationPoints& points,
                   CalibrationFault why = CalibrationFault::NoUsableSlope) {
    CalibrationResult result = {1.5f, 2.5f};
    CalibrationFault fault = CalibrationFault::None;
    EXPECT_FALSE(ComputeCalibration(points, result, &fault));
    EXPECT_EQ(fault, why);
    EXPECT_EQ(result.Sensitivity, 1.5f) << "left as it was";
    EXPECT_EQ(result.Offset, 2.5f);
}

// The expected floats come from an independent computation. Where noted,
// computing the offset from the unrounded slope, or in single precision,
// gives a different float.
TEST(CalibrationMath, EveryFormulaOfTheTable) {
    // pH, two points: unrounded slope -22.131243, single precision -22.131256.
    ExpectPair(TwoPoints(ProbePH, 4.01f, 171.5f, 9.21f, -165.25f), -64.7596206665039f,
               -22.131250381469727f);
    // pH, one point: the assumed slope; the neutral point gives the offset
    // directly, pH 0 lies 7 x 58 mV away.
    ExpectPair(OnePoint(ProbePH, 7.0f, 171.3f), -58.0f, 171.3f);
    ExpectPair(OnePoint(ProbePH, 0.0f, 171.5f), -58.0f, 171.5f - 406.0f);
    ExpectPair(OnePoint(ProbePH, 4.01f, 171.3f), -58.0f, -2.119983673095703f); // single: -2.11998
    // Redox: the offset is what the probe shows beside the standard, in
    // either mode.
    ExpectPair(OnePoint(ProbeRedox, -200.0f, -150.25f), 1.0f, 49.75f);
    ExpectPair(TwoPoints(ProbeRedox, 200.0f, 250.5f, 400.0f, 0.0f), 1.0f, 50.5f);
    // Chlorine and oxygen through zero: unrounded slope -20.833334; a
    // falling second standard is computed the same way.
    ExpectPair(TwoPoints(ProbeChlorine, 1.0f, 12.5f, 4.0f, 112.5f), 33.33333206176758f,
               -20.833332061767578f);
    ExpectPair(TwoPoints(ProbeOxygen, 4.0f, 112.5f, 1.0f, 12.5f), 33.33333206176758f,
               -20.833328247070312f);
    ExpectPair(OnePoint(ProbeOxygen, 8.2f, 45.3f), 5.52439022064209f, 0.0f);
    // A type beyond the table calibrates as the probe its name shows (AND 3):
    // 7 as oxygen, 4 as pH (whose one-point standard may be 0), 5 as Redox.
    ExpectPair(OnePoint(7, 8.2f, 45.3f), 5.52439022064209f, 0.0f);
    ExpectPair(OnePoint(4, 0.0f, 171.5f), -58.0f, 171.5f - 406.0f);
    ExpectPair(OnePoint(5, -200.0f, -150.25f), 1.0f, 49.75f);
}

TEST(CalibrationMath, PointSetsThatCannotCalibrate) {
    // Two points need both, with different standards.
    CalibrationPoints points = TwoPoints(ProbePH, 4.0f, 170.0f, 9.0f, -120.0f);
    points.Point2Valid = false;
    ExpectRefused(points, CalibrationFault::InvalidPoints);
    points = TwoPoints(ProbePH, 4.0f, 170.0f, 9.0f, -120.0f);
    points.Point1Valid = false;
    ExpectRefused(points, CalibrationFault::InvalidPoints);
    ExpectRefused(TwoPoints(ProbeChlorine, 1.0f, 10.0f, 1.0f, 30.0f),
                  CalibrationFault::InvalidPoints);
    // One point needs point 1; a standard of 0 only works where the formula
    // has an offset of its own.
    points = OnePoint(ProbePH, 4.0f, 170.0f);
    points.Point1Valid = false;
    points.Point2Valid = true;
    ExpectRefused(points, CalibrationFault::InvalidPoints);
    ExpectRefused(OnePoint(ProbeChlorine, 0.0f, 30.0f), CalibrationFault::InvalidPoints);
    ExpectRefused(OnePoint(ProbeOxygen, -0.0f, 30.0f), CalibrationFault::InvalidPoints);
    EXPECT_TRUE(PointsValid(OnePoint(ProbeRedox, 0.0f, 30.0f)));
    EXPECT_TRUE(PointsValid(OnePoint(ProbePH, 0.0f, 30.0f)));
    // The second point's state does not matter in one-point mode.
    points = OnePoint(ProbeOxygen, 2.0f, 30.0f);
    points.Standard2 = 2.0f;
    EXPECT_TRUE(PointsValid(points));
}

TEST(CalibrationMath, PairsTheTransmitterCouldNotUseAreRefused) {
    // No slope: equal voltages, or a one-point voltage of 0.
    ExpectRefused(TwoPoints(ProbePH, 4.0f, 100.0f, 9.0f, 100.0f));
    ExpectRefused(TwoPoints(ProbeChlorine, 0.0f, 5.0f, 2.0f, 5.0f));
    ExpectRefused(OnePoint(ProbeChlorine, 2.0f, 0.0f));
    // A slope beyond the float range between neighbouring standards.
    ExpectRefused(TwoPoints(ProbeChlorine, 1.0f, -3e38f, std::nextafter(1.0f, 2.0f), 3e38f));
    ExpectRefused(OnePoint(ProbeOxygen, 1e-45f, 1000.0f));
    // An offset beyond it, or a voltage that was not a number.
    ExpectRefused(OnePoint(ProbeRedox, -3e38f, 3e38f));
    ExpectRefused(OnePoint(ProbePH, 7.0f, NotANumber));
    ExpectRefused(TwoPoints(ProbePH, 4.0f, Infinity, 9.0f, 100.0f));
    // Slopes no working probe has: pH buffers typed the wrong way round, a
    // falling chlorine or oxygen probe. Redox has no slope to get wrong.
    const CalibrationFault wrongSign = CalibrationFault::WrongSlopeSign;
    ExpectRefused(TwoPoints(ProbePH, 4.01f, -177.0f, 7.0f, 0.0f), wrongSign);
    ExpectRefused(TwoPoints(ProbeChlorine, 0.5f, 100.0f, 1.5f, 20.0f), wrongSign);
    ExpectRefused(OnePoint(ProbeOxygen, 8.0f, -40.0f), wrongSign);
    ExpectRefused(OnePoint(6, 0.5f, -40.0f), wrongSign);
    ExpectPair(OnePoint(ProbeRedox, 300.0f, -150.0f), 1.0f, -450.0f);
}

TEST(CalibrationMath, PhPairsAgainstAHealthyElectrode) {
    EXPECT_NEAR(PhSlopePercent(-59.16f), 100.0, 1e-4);
    // The slope of a probe left in its first buffer; typed buffers swapped.
    EXPECT_NEAR(PhSlopePercent(-0.067f), 0.113, 0.001);
    EXPECT_LT(PhSlopePercent(59.16f), 0.0);
    const PhLimits limits = UsualPhLimits;
    const float ideal = static_cast<float>(IdealPhSlope);
    EXPECT_TRUE(PhWithin({ideal, 0.0f}, limits));
    EXPECT_TRUE(PhWithin({ideal * 0.805f, 60.0f}, limits));
    EXPECT_TRUE(PhWithin({ideal * 1.095f, -60.0f}, limits));
    EXPECT_FALSE(PhWithin({ideal * 0.79f, 0.0f}, limits));
    EXPECT_FALSE(PhWithin({ideal * 1.11f, 0.0f}, limits));
    EXPECT_FALSE(PhWithin({ideal, 60.5f}, limits));
    EXPECT_FALSE(PhWithin({ideal, -61.0f}, limits));
    EXPECT_FALSE(PhWithin({-ideal, 0.0f}, limits));
}

TEST(CalibrationMath, StandardsThatMayBeMeasured) {
    EXPECT_TRUE(StandardAccepted(true, 4.01f, false));
    EXPECT_TRUE(StandardAccepted(true, 0.0f, false));
    EXPECT_FALSE(StandardAccepted(true, -0.01f, false));
    EXPECT_TRUE(StandardAccepted(true, -200.0f, true));
    EXPECT_FALSE(StandardAccepted(false, 4.01f, true)) << "the text was not wholly a number";
    for (bool negativeAllowed : {false, true}) {
        EXPECT_FALSE(StandardAccepted(true, Infinity, negativeAllowed));
        EXPECT_FALSE(StandardAccepted(true, -Infinity, negativeAllowed));
        EXPECT_FALSE(StandardAccepted(true, NotANumber, negativeAllowed));
    }
}

// The one policy of the window and vl4: refused, unusual, plausible, and
// the health words of the record.
TEST(CalibrationPolicy, VerdictsAndHealthOfMeasuredAssumedAndKeptSlopes) {
    CalibrationResult pair;
    const auto verdict = [&](const CalibrationPoints& points, double ideal = IdealPhSlope) {
        return JudgeCalibration(points, pair, ideal).Verdict;
    };
    // A probe never moved from its first buffer: a slope of almost nothing.
    EXPECT_EQ(verdict(TwoPoints(ProbePH, 7.0f, 0.0f, 4.01f, 0.015f)), CalibrationVerdict::Unusual);
    EXPECT_EQ(verdict(TwoPoints(ProbePH, 7.0f, 0.0f, 4.01f, 170.0f)),
              CalibrationVerdict::Plausible);
    EXPECT_EQ(verdict(TwoPoints(ProbePH, 4.01f, -177.0f, 7.0f, 0.0f)), CalibrationVerdict::Refused);
    EXPECT_EQ(verdict(TwoPoints(ProbePH, 7.0f, 1.0f, 7.0f, 2.0f)), CalibrationVerdict::Refused);
    EXPECT_EQ(JudgeCalibration(TwoPoints(ProbePH, 7.0f, 1.0f, 7.0f, 2.0f), pair).Fault,
              CalibrationFault::InvalidPoints);
    EXPECT_EQ(verdict(TwoPoints(ProbeChlorine, 0.5f, 100.0f, 1.5f, 300.0f)),
              CalibrationVerdict::Plausible)
        << "no usual limits but pH's";
    // One point: only the offset says anything; the assumed -58 is 98 %.
    EXPECT_EQ(verdict(OnePoint(ProbePH, 6.86f, 8.3f)), CalibrationVerdict::Plausible);
    EXPECT_EQ(verdict(OnePoint(ProbePH, 6.86f, 75.0f)), CalibrationVerdict::Unusual);
    EXPECT_EQ(verdict(OnePoint(ProbePH, 6.86f, 8.3f), IdealPhSlopeAt(-80.0)),
              CalibrationVerdict::Plausible)
        << "the assumed slope is not judged at any temperature";
    EXPECT_STREQ(HealthWords(ProbePH, {-58.0f, 8.3f}, SlopeSource::Assumed),
                 "ok (offset only; slope assumed)");
    EXPECT_STREQ(HealthWords(ProbePH, {-58.0f, 31.0f}, SlopeSource::Assumed),
                 "check probe (offset only; slope assumed)");
    // A kept slope was measured before: it is judged, with the new offset.
    const CalibrationResult kept = PairWithSlope(9.276f, -131.0f, -45.0f);
    EXPECT_EQ(kept.Sensitivity, -45.0f);
    EXPECT_FLOAT_EQ(kept.Offset, -131.0f - 2.276f * -45.0f);
    EXPECT_EQ(JudgeCalibration(ProbePH, kept, SlopeSource::Kept).Verdict,
              CalibrationVerdict::Unusual);
    EXPECT_STREQ(HealthWords(ProbePH, {-59.0f, 5.0f}, SlopeSource::Kept), "ok");
    EXPECT_STREQ(HealthWords(ProbePH, {-52.0f, 5.0f}, SlopeSource::Measured), "check probe");
    EXPECT_STREQ(HealthWords(ProbeOxygen, {1.0f, 500.0f}, SlopeSource::Measured), "ok");
    // At 15 degrees an ideal electrode has 57.17 mV/pH: 56 is healthy there.
    EXPECT_NEAR(IdealPhSlopeAt(25.0), -59.16, 0.005);
    EXPECT_NEAR(IdealPhSlopeAt(15.0), -0.198416 * 288.15, 1e-12);
    EXPECT_NEAR(PhSlopePercent(-56.0f, IdealPhSlopeAt(15.0)), 97.95, 0.01);
    EXPECT_FALSE(Healthy(ProbePH, {-53.0f, 0.0f}, SlopeSource::Measured));
    EXPECT_TRUE(Healthy(ProbePH, {-53.0f, 0.0f}, SlopeSource::Measured, IdealPhSlopeAt(-10.0)));
}

// A window of 66 readings 0.3 s apart on a known line and noise.
TEST(SettlingWindow, DriftSpreadAndMeanOfTheLastReadings) {
    SettlingWindow window;
    EXPECT_EQ(window.DriftMvPerMinute(), 0.0);
    for (int i = 0; i < 100; ++i) {
        const double t = 0.3 * i;
        // 1.2 mV a minute, with a zig-zag of +-0.1 mV that has no slope of its own.
        const float v = static_cast<float>(20.0 + 0.02 * t + (i % 2 ? 0.1 : -0.1));
        window.Add({t, v, i % 3 != 0, static_cast<float>(7.0 + i * 0.001)});
        EXPECT_EQ(window.Count(), i < 66 ? i + 1 : 66);
    }
    EXPECT_NEAR(window.DriftMvPerMinute(), 1.2, 0.05);
    EXPECT_TRUE(window.Full());
    EXPECT_EQ(window[0].Seconds, 0.3 * 34) << "the oldest of the last 66";
    VoltageSamples samples;
    for (int i = 0; i < 66; ++i) samples.Add(window[i].Voltage);
    EXPECT_EQ(window.MeanVoltage(), samples.Mean()) << "the dialog's arithmetic";
    EXPECT_EQ(window.SpreadMv(), samples.StandardDeviation());
    int values = 0;
    const double mean = window.MeanValue(values);
    EXPECT_EQ(values, 44) << "the readings that came with a value";
    EXPECT_NEAR(mean, 7.0 + 0.001 * 66.5, 0.001);
    EXPECT_FALSE(window.Stable(UsualSettlingLimits)) << "1.2 mV a minute drifts";
    EXPECT_TRUE(window.Stable({1.3, 0.5}));
    EXPECT_FALSE(window.Stable({1.3, 0.1})) << "the spread";
}

TEST(BufferTable, ValuesAtTheTemperatureAndTheirNames) {
    const int borax = FindBuffer(NistBuffers, 9.18);
    ASSERT_EQ(borax, 4);
    EXPECT_EQ(FindBuffer(NistBuffers, 9.2), 4) << "within 0.02";
    EXPECT_EQ(FindBuffer(NistBuffers, 9.21), -1);
    EXPECT_EQ(FindBuffer(NistBuffers, 4.01), 1);
    EXPECT_EQ(FindBuffer(NistBuffers, 6.86), 2);
    double value = 0;
    ASSERT_TRUE(BufferValueAt(NistBuffers, borax, 15.0, value));
    EXPECT_EQ(value, 9.276);
    ASSERT_TRUE(BufferValueAt(NistBuffers, borax, 17.5, value));
    EXPECT_NEAR(value, (9.276 + 9.225) / 2, 1e-12);
    ASSERT_TRUE(BufferValueAt(NistBuffers, 0, 0.0, value));
    EXPECT_EQ(value, 1.666);
    ASSERT_TRUE(BufferValueAt(NistBuffers, 5, 50.0, value));
    EXPECT_EQ(value, 9.828);
    EXPECT_FALSE(BufferValueAt(NistBuffers, borax, -0.5, value));
    EXPECT_FALSE(BufferValueAt(NistBuffers, borax, 50.5, value));
    EXPECT_TRUE(RowsInOrder(NistBuffers));
}

} // namespace
