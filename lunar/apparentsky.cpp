#include "lunar/apparentsky.h"

#include "lunar/fundamentals.h"

#include <cmath>

namespace lunex {
namespace {

// Sun and Moon as seen from the place, before refraction.
SkyMoment ObserveAirless(const GeocentricSky &g, const Place &place,
                         const ObserverPosition &observer, double jdUt) {
    const double sidereal = GreenwichApparentSiderealTime(jdUt, g);
    const Topocentric sun = ToTopocentric(HourAngle(sidereal, place, g.sun), g.sun, observer);
    const Topocentric moon = ToTopocentric(HourAngle(sidereal, place, g.moon), g.moon, observer);
    SkyMoment m;
    m.jdUt = jdUt;
    m.sun = ToHorizontal(sun.hourAngle, sun.declination, place.latitude);
    m.moon = ToHorizontal(moon.hourAngle, moon.declination, place.latitude);
    m.moonSemiDiameter = MoonSemiDiameter(moon.distanceKm);
    m.illuminatedFraction = IlluminatedFraction(g.sun, g.moon);
    return m;
}

SkyMoment Refracted(SkyMoment m) {
    m.sun.altitude = ApparentAltitude(m.sun.altitude);
    m.moon.altitude = ApparentAltitude(m.moon.altitude);
    m.brightLimbDirection = DirectionOnSky(m.moon, m.sun);
    return m;
}

} // namespace

double ApparentAltitude(double trueAltitude) {
    if (trueAltitude < -1.0) {
        return trueAltitude;
    }
    // Eq. 16.4 gives the refraction in arc minutes for the true altitude.
    const double refraction =
        1.02 / std::tan((trueAltitude + 10.3 / (trueAltitude + 5.11)) * Degree);
    return trueAltitude + refraction / 60.0;
}

double IlluminatedFraction(const Equatorial &sun, const Equatorial &moon) {
    const double elongation = AngularSeparation(sun.rightAscension, sun.declination,
                                                moon.rightAscension, moon.declination) *
                              Degree;
    const double phaseAngle = std::atan2(sun.distanceKm * std::sin(elongation),
                                         moon.distanceKm - sun.distanceKm * std::cos(elongation));
    return (1.0 + std::cos(phaseAngle)) / 2.0;
}

double DirectionOnSky(const Horizontal &from, const Horizontal &to) {
    // The initial bearing of the great circle, with altitude for latitude and
    // azimuth for longitude.
    const double a1 = from.altitude * Degree, a2 = to.altitude * Degree;
    const double dz = (to.azimuth - from.azimuth) * Degree;
    const double bearing =
        std::atan2(std::sin(dz) * std::cos(a2),
                   std::cos(a1) * std::sin(a2) - std::sin(a1) * std::cos(a2) * std::cos(dz));
    return NormalizeDegrees(bearing / Degree);
}

SkyMoment ObserveSky(const LocalSky &sky, double jdUt) {
    return Refracted(ObserveAirless(sky.track().at(jdUt), sky.place(), sky.observer(), jdUt));
}

SkyMoment ObserveSky(const Place &place, double jdUt) {
    return Refracted(
        ObserveAirless(ComputeGeocentricSky(jdUt), place, ObserverPositionOf(place), jdUt));
}

Twilight TwilightAt(double sunAltitude) {
    if (sunAltitude >= -6) {
        return Twilight::Civil;
    }
    if (sunAltitude >= -12) {
        return Twilight::Nautical;
    }
    return sunAltitude >= -18 ? Twilight::Astronomical : Twilight::Night;
}

} // namespace lunex
