#pragma once

// How much oxygen water holds when it stands in air: what an oxygen probe in
// air-saturated water (or in water-saturated air above it) should read.

// The conditions a calibration in air may name.
constexpr double OxygenLowestCelsius = 0.0, OxygenHighestCelsius = 40.0;
constexpr double LowestPressureHpa = 500.0, HighestPressureHpa = 1100.0;
constexpr double HighestSalinity = 40.0; // g/kg
constexpr double StandardPressureHpa = 1013.25;

// mg/L of oxygen in water saturated with water-saturated air at the
// temperature, the barometric pressure (not reduced to sea level) and the
// salinity, within the ranges above (Benson & Krause 1984, as the USGS
// DOTABLES give it).
double OxygenSolubility(double celsius, double pressureHpa, double salinityGPerKg);

// The pressure of the standard atmosphere at an altitude, hPa: for a site
// whose barometer is unknown.
double PressureAtAltitude(double metres);
