#pragma once

#include <vector>

// Apparent places of the Sun and the Moon as seen from the Earth's centre and
// from a place on its surface: the Sun from VSOP87 (lunar/lunartheory.h, a
// tenth of an arc second), the Moon from Meeus's series (ten arc seconds),
// what the crescent criteria and times of rising and setting to the minute
// need. Sources: Jean Meeus, Astronomical Algorithms, 2nd ed. (Willmann-Bell,
// 1998), chapters cited at each function.
//
// Angles are in degrees, instants are Julian Days: "UT" for Universal Time,
// "TT" (JDE) for Terrestrial Time; ΔT between them comes from lunar/deltat,
// the same as the new moons use. Longitudes are east-positive.
namespace lunex {

struct Equatorial {
    double rightAscension = 0; // degrees, 0..360
    double declination = 0;
    double distanceKm = 0;
};

struct Ecliptic {
    double longitude = 0;
    double latitude = 0;
    double distanceKm = 0;
};

// Nutation in longitude and in obliquity, and the true obliquity of the
// ecliptic (ch. 22: the abridged series, good to 0.5″ and 0.1″; eq. 22.2).
struct Nutation {
    double longitude = 0; // Δψ
    double obliquity = 0; // Δε
    double trueObliquity = 0;
};
Nutation NutationAt(double jde);

// The Moon's apparent place of date (ch. 47: the ELP-2000/82 series as Meeus
// truncates it, tables 47.A and 47.B with the additive terms; about 10″ in
// longitude, 4″ in latitude), nutation in longitude applied.
Ecliptic MoonApparent(double jde, const Nutation &nutation);

// Ecliptic to equatorial coordinates (eqs. 13.3 and 13.4).
Equatorial ToEquatorial(const Ecliptic &place, double obliquity);

// Mean sidereal time at Greenwich for an instant of UT (eq. 12.4).
double GreenwichMeanSiderealTime(double jdUt);

// Everything about the sky that does not depend on the place: the geocentric
// apparent places of both bodies and the equation of the equinoxes (Δψ cos ε,
// which turns mean sidereal time into apparent, ch. 12).
struct GeocentricSky {
    Equatorial sun;
    Equatorial moon;
    double equationOfEquinoxes = 0;
};
GeocentricSky ComputeGeocentricSky(double jdUt);

// Apparent sidereal time at Greenwich.
double GreenwichApparentSiderealTime(double jdUt, const GeocentricSky &sky);

// The geocentric places over a span of time, computed once at whole steps and
// interpolated between them (four-point Lagrange, ch. 3), so that a map of
// tens of thousands of places costs a handful of ephemeris evaluations. The
// places change smoothly within an hour: the interpolation error stays far
// below the series' own (the tests hold it to 0.3″). Outside the span the
// places are computed directly.
class SkyTrack {
public:
    SkyTrack(double firstJdUt, double lastJdUt, double stepDays = 1.0 / 24.0);
    GeocentricSky at(double jdUt) const;
    double first() const { return first_; }
    double last() const { return first_ + step_ * double(samples_.size() - 1); }

private:
    // Right ascensions unwrapped along the span, so that interpolation never
    // meets the jump from 360° to 0°.
    std::vector<GeocentricSky> samples_;
    double first_;
    double step_;
};

// A place on the Earth: geodetic latitude and east longitude in degrees, height
// above sea level in metres.
struct Place {
    double latitude = 0;
    double longitude = 0;
    double elevation = 0;
};

// The observer's geocentric position in Earth equatorial radii (ch. 11):
// ρ sin φ′ and ρ cos φ′ on the reference ellipsoid of 1976 (a = 6378.14 km,
// f = 1/298.257).
struct ObserverPosition {
    double rhoSinPhi = 0;
    double rhoCosPhi = 0;
};
ObserverPosition ObserverPositionOf(const Place &place);

inline constexpr double EarthRadiusKm = 6378.14;

// Altitude above the horizon (no refraction) and azimuth from the north
// through the east (ch. 13, eqs. 13.5 and 13.6, with Meeus' azimuth from the
// south turned by 180°).
struct Horizontal {
    double altitude = 0;
    double azimuth = 0;
};

// The local hour angle of a body, −180..180, from the apparent sidereal time.
double HourAngle(double apparentSiderealTime, const Place &place, const Equatorial &body);

Horizontal ToHorizontal(double hourAngle, double declination, double latitude);

// The place of a body as seen from the observer rather than from the Earth's
// centre: hour angle, declination and distance corrected for parallax (ch. 40,
// the rigorous formulae, written as a difference of rectangular vectors).
struct Topocentric {
    double hourAngle = 0;
    double declination = 0;
    double distanceKm = 0;
};
Topocentric ToTopocentric(double hourAngle, const Equatorial &body,
                          const ObserverPosition &observer);

// The angle between two directions on the sky (ch. 17, eq. 17.1 in the
// haversine form that stays exact for small separations).
double AngularSeparation(double ra1, double dec1, double ra2, double dec2);

// Semi-diameters (ch. 55): the Sun's 959.63″ at 1 au; the Moon's from its
// distance, k = 0.272481 (358 473 400″·km / Δ).
double SunSemiDiameter(double distanceKm);
double MoonSemiDiameter(double distanceKm);

inline constexpr double AstronomicalUnitKm = 149597870.7;

double NormalizeDegrees(double degrees); // 0 ≤ result < 360
double SignedDegrees(double degrees);    // −180 ≤ result < 180

} // namespace lunex
