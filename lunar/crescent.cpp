#include "lunar/crescent.h"

#include "lunar/fundamentals.h"

#include <array>
#include <cmath>
#include <numbers>

namespace lunex {
namespace {

// Yallop's ratio of the Moon's radius to the Earth's, as he applies it to
// the horizontal parallax.
constexpr double YallopRadiusRatio = 0.27245;

// The best altitude difference for a crescent of width w (arc minutes): the
// cubic of both criteria, which differ only in the constant term.
double CubicInWidth(double w) {
    return -6.3226 * w + 0.7319 * w * w - 0.1018 * w * w * w;
}

} // namespace

QChar ClassLetter(YallopClass c) {
    return QChar(u'A' + int(c));
}

QChar ClassLetter(OdehZone z) {
    return QChar(u'A' + int(z));
}

YallopClass ClassifyYallop(double q) {
    constexpr std::array<double, 5> lowerLimits{0.216, -0.014, -0.160, -0.232, -0.293};
    for (std::size_t i = 0; i < lowerLimits.size(); ++i) {
        if (q > lowerLimits[i]) {
            return YallopClass(i);
        }
    }
    return YallopClass::F;
}

OdehZone ClassifyOdeh(double v) {
    if (v >= 5.65) {
        return OdehZone::A;
    }
    if (v >= 2.0) {
        return OdehZone::B;
    }
    if (v >= -0.96) {
        return OdehZone::C;
    }
    return OdehZone::D;
}

void MeasureCrescent(const LocalSky &sky, double bestTime, CrescentSighting &s) {
    const Place &place = sky.place();
    const GeocentricSky g = sky.track().at(bestTime);
    const double sidereal = GreenwichApparentSiderealTime(bestTime, g);
    const double sunHour = HourAngle(sidereal, place, g.sun);
    const double moonHour = HourAngle(sidereal, place, g.moon);

    // Yallop: geocentric and airless.
    const Horizontal sun = ToHorizontal(sunHour, g.sun.declination, place.latitude);
    const Horizontal moon = ToHorizontal(moonHour, g.moon.declination, place.latitude);
    s.arcl = AngularSeparation(g.sun.rightAscension, g.sun.declination, g.moon.rightAscension,
                               g.moon.declination);
    s.arcv = moon.altitude - sun.altitude;
    s.daz = SignedDegrees(sun.azimuth - moon.azimuth);
    s.parallax = std::asin(EarthRadiusKm / g.moon.distanceKm) / Degree;
    const double semiDiameter = YallopRadiusRatio * s.parallax;
    const double topocentricSemiDiameter =
        semiDiameter * (1 + std::sin(moon.altitude * Degree) * std::sin(s.parallax * Degree));
    s.widthYallop = 60.0 * topocentricSemiDiameter * (1 - std::cos(s.arcl * Degree));
    s.q = (s.arcv - (11.8371 + CubicInWidth(s.widthYallop))) / 10.0;
    s.yallop = ClassifyYallop(s.q);

    // Odeh: as seen from the place.
    const Topocentric sunSeen = ToTopocentric(sunHour, g.sun, sky.observer());
    const Topocentric moonSeen = ToTopocentric(moonHour, g.moon, sky.observer());
    const Horizontal sunT = ToHorizontal(sunSeen.hourAngle, sunSeen.declination, place.latitude);
    const Horizontal moonT = ToHorizontal(moonSeen.hourAngle, moonSeen.declination, place.latitude);
    // Hour angles serve as well as right ascensions for the separation:
    // both are measured from the same meridian.
    s.arclTopocentric = AngularSeparation(sunSeen.hourAngle, sunSeen.declination,
                                          moonSeen.hourAngle, moonSeen.declination);
    s.arcvTopocentric = moonT.altitude - sunT.altitude;
    const double seenSemiDiameter = semiDiameter * g.moon.distanceKm / moonSeen.distanceKm;
    s.widthTopocentric = 60.0 * seenSemiDiameter * (1 - std::cos(s.arclTopocentric * Degree));
    s.v = s.arcvTopocentric - (7.1651 + CubicInWidth(s.widthTopocentric));
    s.odeh = ClassifyOdeh(s.v);
}

CrescentSighting ObserveCrescent(const LocalSky &sky, double dateJd, double newMoonJd,
                                 Direction direction) {
    CrescentSighting s;
    const int sign = int(direction);
    const SunHorizon sun =
        FindSunHorizon(sky, LocalMeanNoon(dateJd, sky.place().longitude), direction);
    if (sun.kind != SunHorizon::Kind::Crosses) {
        s.status = sun.kind == SunHorizon::Kind::StaysUp ? CrescentStatus::SunStaysUp
                                                         : CrescentStatus::SunStaysDown;
        return s;
    }
    s.sunEvent = sun.jdUt;
    const MoonHorizon moon = FindMoonHorizon(sky, sun.jdUt, direction);
    s.moonEvent = moon.jdUt;
    if (moon.jdUt) {
        s.lagMinutes = sign * (*moon.jdUt - sun.jdUt) * 1440.0;
    }
    if (moon.kind == MoonHorizon::Kind::AlreadyDown) {
        s.status = CrescentStatus::MoonSetsFirst;
        return s;
    }
    if (moon.kind == MoonHorizon::Kind::StaysUp) {
        s.status = CrescentStatus::MoonStaysUp;
        return s;
    }
    s.bestTime = sun.jdUt + sign * (4.0 / 9.0) * (*s.lagMinutes / 1440.0);
    if (sign * (*s.bestTime - newMoonJd) <= 0) {
        s.status = CrescentStatus::BeforeNewMoon;
        return s;
    }
    MeasureCrescent(sky, *s.bestTime, s);
    return s;
}

} // namespace lunex
