#pragma once

// The apparent geocentric ecliptic longitudes of the Moon and the Sun to a
// fraction of an arc second: what the instant of new moon (their equality)
// needs to the second.
//
// The Moon: the lunar theory ELP/MPP02 of J. Chapront and G. Francou ("The
// lunar theory ELP revisited. Introduction of new planetary perturbations",
// A&A 404, 735–742, 2003) with its constants fitted to DE405, longitude only,
// truncated to the main-problem terms above 3·10⁻⁹ rad (0.0006″) and the
// planetary perturbations above 7·10⁻⁸ rad (T⁰) and 6·10⁻⁹ rad (T¹). The
// latitude and the distance, which here only turn the frame and time the
// light, come from Meeus's chapter 47 (lunar/ephemeris.h).
// The Sun: VSOP87 (Bretagnon and Francou, A&A 202, 309, 1988) in full, as
// libnova computes it, in the ecliptic of J2000.
//
// Both are brought to the ecliptic and equinox of date (Meeus, Astronomical
// Algorithms, 2nd ed., eq. 21.5) and made apparent: each body is taken where it
// was when its light left it (for the Sun this is the annual aberration), and
// the nutation in longitude is added.
namespace lunex {

// Apparent longitudes of date in degrees, 0..360.
double MoonApparentLongitude(double jde);
double SunApparentLongitude(double jde);

} // namespace lunex
