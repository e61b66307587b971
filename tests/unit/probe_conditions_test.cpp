// What an oxygen probe in air and a chlorine probe in water of some pH should
// read: against the published tables, to the decimals they print.
#include "calibration/free_chlorine.h"
#include "calibration/oxygen_solubility.h"

#include <gtest/gtest.h>

namespace {

// Three decimals as the tables print them.
constexpr double Printed = 0.0005;

TEST(OxygenSolubility, AirSaturatedFreshWaterAtSeaLevelAsTheTablesGiveIt) {
    const struct {
        double Celsius, MgPerL;
    } table[] = {{0, 14.621}, {10, 11.288}, {20, 9.092}, {25, 8.263}, {30, 7.559}};
    for (const auto& row : table)
        EXPECT_NEAR(OxygenSolubility(row.Celsius, StandardPressureHpa, 0), row.MgPerL, Printed)
            << row.Celsius << " \xC2\xB0"
            << "C";
}

TEST(OxygenSolubility, SaltAndALowerPressureHoldLess) {
    EXPECT_NEAR(OxygenSolubility(25, StandardPressureHpa, 35), 6.772, Printed) << "sea water";
    EXPECT_NEAR(OxygenSolubility(20, 933.25, 0), 8.358, Printed) << "700 mmHg";
    EXPECT_NEAR(OxygenSolubility(15, 954.61, 0), 9.491, Printed) << "500 m";
}

TEST(OxygenSolubility, TheCornersOfTheRangesGivePlausibleValues) {
    for (double celsius : {OxygenLowestCelsius, OxygenHighestCelsius})
        for (double hpa : {LowestPressureHpa, HighestPressureHpa})
            for (double salinity : {0.0, HighestSalinity}) {
                const double c = OxygenSolubility(celsius, hpa, salinity);
                EXPECT_GT(c, 2.0) << celsius << " " << hpa << " " << salinity;
                EXPECT_LT(c, 16.0) << celsius << " " << hpa << " " << salinity;
            }
}

TEST(PressureAtAltitude, TheStandardAtmosphere) {
    EXPECT_DOUBLE_EQ(PressureAtAltitude(0), StandardPressureHpa);
    EXPECT_NEAR(PressureAtAltitude(500), 954.61, 0.005);
    EXPECT_NEAR(OxygenSolubility(15, PressureAtAltitude(500), 0), 9.491, Printed);
    // Higher than any site a transmitter stands at still lies within the
    // pressures a calibration may name.
    EXPECT_GT(PressureAtAltitude(5000), LowestPressureHpa);
}

TEST(FreeChlorine, TheHoclShareAtTheWatersPhAndTemperature) {
    EXPECT_NEAR(HoclPka(25), 7.537, Printed);
    EXPECT_NEAR(HoclShare(7.2, 25), 0.685, Printed);
    EXPECT_GT(HoclShare(8.0, 10), HoclShare(8.0, 30)) << "colder water holds more HOCl";
    EXPECT_GT(HoclShare(6.0, 25), 0.95);
    EXPECT_LT(HoclShare(9.0, 25), 0.05);
}

TEST(FreeChlorine, AnAmperometricReadingFollowsThePh) {
    EXPECT_NEAR(ReadingAfterPhChange(7.2, 7.5, 25), 0.76, 0.005);
    EXPECT_NEAR(ReadingAfterPhChange(7.2, 7.5, 25) * ReadingAfterPhChange(7.5, 7.2, 25), 1.0,
                1e-12);
    EXPECT_GT(ReadingAfterPhChange(7.5, 7.2, 25), 1.0) << "a falling pH reads more";
}

} // namespace
