#pragma once

#include "lunar/ephemeris.h"
#include "lunar/riseset.h"

// Where the Sun and the Moon stand in an observer's sky as the eye sees them:
// from the observer's place (topocentric), lifted by standard refraction, and
// how much of the Moon's disc is lit and on which side. For telling an
// observer where to look; the crescent criteria keep their own airless
// quantities (lunar/crescent.h).
namespace lunex {

// The apparent altitude of a body whose airless altitude is `trueAltitude`
// (degrees), with the standard refraction of 10 °C and 1010 hPa
// (Sæmundsson's formula, Meeus, Astronomical Algorithms, eq. 16.4). Below
// −1° the body cannot be seen at all and no refraction is added.
double ApparentAltitude(double trueAltitude);

// The illuminated fraction of the Moon's disc, 0 to 1, from the geocentric
// places of the Sun and the Moon (Meeus, ch. 48: the phase angle from the
// elongation and both distances, eqs. 48.2 and 48.3, k = (1 + cos i) / 2).
double IlluminatedFraction(const Equatorial &sun, const Equatorial &moon);

// The direction in which `to` lies as seen from `from` on the observer's sky:
// degrees from straight up (towards the zenith) through the direction of
// increasing azimuth (to the right for an observer facing the horizon), along
// the great circle between them. From the Moon to the Sun it is the way the
// crescent's lit side faces.
double DirectionOnSky(const Horizontal &from, const Horizontal &to);

struct SkyMoment {
    double jdUt = 0;
    Horizontal sun;                 // apparent: seen from the place, with refraction
    Horizontal moon;                // likewise; azimuth from the north through the east
    double moonSemiDiameter = 0;    // degrees, as seen from the place
    double illuminatedFraction = 0; // 0..1
    double brightLimbDirection = 0; // DirectionOnSky(moon, sun)
};

// How dark the sky is by the Sun's altitude below the horizon: civil twilight
// down to 6°, nautical to 12°, astronomical to 18°, night below; each stage
// holds its lower bound (the Sun at exactly −6° is still civil twilight).
enum class Twilight { Civil, Nautical, Astronomical, Night };
Twilight TwilightAt(double sunAltitude);

// The sky of one place at one instant (Julian Day, UT).
SkyMoment ObserveSky(const LocalSky &sky, double jdUt);
// The same without a precomputed track: a handful of instants, as a drawing needs.
SkyMoment ObserveSky(const Place &place, double jdUt);

} // namespace lunex
