#include "calibration/free_chlorine.h"

#include <cmath>

namespace {

constexpr double ZeroCelsiusK = 273.15;

} // namespace

// Morris 1966 (J. Phys. Chem. 70, 3798-3805).
double HoclPka(double celsius) {
    const double t = celsius + ZeroCelsiusK;
    return 3000.00 / t - 10.0686 + 0.0253 * t;
}

double HoclShare(double ph, double celsius) {
    return 1 / (1 + std::pow(10.0, ph - HoclPka(celsius)));
}

double ReadingAfterPhChange(double fromPh, double toPh, double celsius) {
    return HoclShare(toPh, celsius) / HoclShare(fromPh, celsius);
}
