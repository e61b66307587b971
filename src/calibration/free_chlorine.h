#pragma once

// Free chlorine is hypochlorous acid (HOCl) and hypochlorite (OCl-); their
// shares follow the water's pH and temperature. An amperometric chlorine
// sensor sees HOCl only, so it reads less when the pH rises, although the
// free chlorine a DPD test measures stays the same.

// The acid constant of HOCl at the temperature.
double HoclPka(double celsius);

// The share of free chlorine that is HOCl, 0 to 1.
double HoclShare(double ph, double celsius);

// What an amperometric sensor reads after the water's pH moved, as a share of
// what it read before, at the same free chlorine.
double ReadingAfterPhChange(double fromPh, double toPh, double celsius);

// Below this HOCl share a sensor calibrated there sees little of the
// chlorine, and the least change in pH moves its reading much.
constexpr double PoorHoclShare = 0.5;
