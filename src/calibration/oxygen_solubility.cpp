#include "calibration/oxygen_solubility.h"

#include <cmath>

namespace {

constexpr double ZeroCelsiusK = 273.15;

} // namespace

// Benson & Krause 1984 (Limnol. Oceanogr. 29, 620-632) in the form of the
// USGS DOTABLES (Office of Water Quality Technical Memorandum 2011.03).
double OxygenSolubility(double celsius, double pressureHpa, double salinityGPerKg) {
    const double t = celsius + ZeroCelsiusK;
    const double t2 = t * t, t3 = t2 * t, t4 = t3 * t;
    // Fresh water at 1 atm, mg/L.
    const double c0 = std::exp(-139.34411 + 1.575701e5 / t - 6.642308e7 / t2 + 1.243800e10 / t3 -
                               8.621949e11 / t4);
    // Salt drives oxygen out.
    const double fs = std::exp(-salinityGPerKg * (0.017674 - 10.754 / t + 2140.7 / t2));
    // Less air pressure, less oxygen; the water vapour u in the air takes its
    // share of the pressure, and theta is oxygen's second virial coefficient.
    const double p = pressureHpa / StandardPressureHpa; // atm
    const double u = std::exp(11.8571 - 3840.70 / t - 216961 / t2);
    const double theta = 0.000975 - 1.426e-5 * celsius + 6.436e-8 * celsius * celsius;
    const double fp = (p - u) * (1 - theta * p) / ((1 - u) * (1 - theta));
    return c0 * fs * fp;
}

// The barometric formula of the ICAO standard atmosphere (ISO 2533) in the
// troposphere.
double PressureAtAltitude(double metres) {
    return StandardPressureHpa * std::pow(1 - 2.25577e-5 * metres, 5.25588);
}
