#pragma once

#include "lunar/ephemeris.h"

// The apparent geocentric ecliptic places of the Moon and the Sun to a
// fraction of an arc second: what the instant of new moon (the equality of
// their longitudes) needs to the second.
//
// The Moon: the lunar theory ELP/MPP02 of J. Chapront and G. Francou ("The
// lunar theory ELP revisited. Introduction of new planetary perturbations",
// A&A 404, 735–742, 2003) with its constants fitted to DE405, longitude only,
// truncated to the main-problem terms above 3·10⁻⁹ rad (0.0006″) and the
// planetary perturbations above 7·10⁻⁸ rad (T⁰) and 6·10⁻⁹ rad (T¹). The
// latitude and the distance, which here only turn the frame and time the
// light, come from Meeus's chapter 47 (lunar/ephemeris.h).
// The Sun: the Earth's heliocentric place from VSOP87A (P. Bretagnon and
// G. Francou, A&A 202, 309, 1988; the data as published with it), the terms
// of X and Y above 2.5·10⁻⁸ au (τ⁰) and 4·10⁻⁸ au (τ¹), the leading ones of
// the higher powers and of Z: within 0.04″ of the full series over 1900–2100.
//
// Both are brought from the ecliptic and equinox of J2000 to those of date
// (Meeus, Astronomical Algorithms, 2nd ed., eq. 21.5) and made apparent: each
// body is taken where it was when its light left it (for the Sun this is the
// annual aberration), and the nutation in longitude is added. The nutation is
// the same for both and leaves the instant of new moon alone.
namespace lunex {

// Apparent longitudes of date in degrees, 0..360.
double MoonApparentLongitude(double jde);
double SunApparentLongitude(double jde);

// The Sun's apparent place of date (longitude, latitude and distance).
Ecliptic SunApparent(double jde, const Nutation &nutation);

} // namespace lunex
