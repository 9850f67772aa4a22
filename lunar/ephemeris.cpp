#include "lunar/ephemeris.h"

#include "lunar/deltat.h"
#include "lunar/fundamentals.h"
#include "lunar/lunartheory.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace lunex {
namespace {

// One row of tables 47.A and 47.B: the multiples of D, M, M′ and F and the
// coefficients of the sine (longitude, latitude; 10⁻⁶ degree) and of the
// cosine (distance; 10⁻³ km). Terms with M are multiplied by E^|M|.
struct LunarTerm {
    signed char d, m, mp, f;
    int sine;
    int cosine;
};

// Table 47.A: longitude Σl and distance Σr.
constexpr std::array<LunarTerm, 60> LongitudeDistanceTerms{{
    {0, 0, 1, 0, 6288774, -20905355},
    {2, 0, -1, 0, 1274027, -3699111},
    {2, 0, 0, 0, 658314, -2955968},
    {0, 0, 2, 0, 213618, -569925},
    {0, 1, 0, 0, -185116, 48888},
    {0, 0, 0, 2, -114332, -3149},
    {2, 0, -2, 0, 58793, 246158},
    {2, -1, -1, 0, 57066, -152138},
    {2, 0, 1, 0, 53322, -170733},
    {2, -1, 0, 0, 45758, -204586},
    {0, 1, -1, 0, -40923, -129620},
    {1, 0, 0, 0, -34720, 108743},
    {0, 1, 1, 0, -30383, 104755},
    {2, 0, 0, -2, 15327, 10321},
    {0, 0, 1, 2, -12528, 0},
    {0, 0, 1, -2, 10980, 79661},
    {4, 0, -1, 0, 10675, -34782},
    {0, 0, 3, 0, 10034, -23210},
    {4, 0, -2, 0, 8548, -21636},
    {2, 1, -1, 0, -7888, 24208},
    {2, 1, 0, 0, -6766, 30824},
    {1, 0, -1, 0, -5163, -8379},
    {1, 1, 0, 0, 4987, -16675},
    {2, -1, 1, 0, 4036, -12831},
    {2, 0, 2, 0, 3994, -10445},
    {4, 0, 0, 0, 3861, -11650},
    {2, 0, -3, 0, 3665, 14403},
    {0, 1, -2, 0, -2689, -7003},
    {2, 0, -1, 2, -2602, 0},
    {2, -1, -2, 0, 2390, 10056},
    {1, 0, 1, 0, -2348, 6322},
    {2, -2, 0, 0, 2236, -9884},
    {0, 1, 2, 0, -2120, 5751},
    {0, 2, 0, 0, -2069, 0},
    {2, -2, -1, 0, 2048, -4950},
    {2, 0, 1, -2, -1773, 4130},
    {2, 0, 0, 2, -1595, 0},
    {4, -1, -1, 0, 1215, -3958},
    {0, 0, 2, 2, -1110, 0},
    {3, 0, -1, 0, -892, 3258},
    {2, 1, 1, 0, -810, 2616},
    {4, -1, -2, 0, 759, -1897},
    {0, 2, -1, 0, -713, -2117},
    {2, 2, -1, 0, -700, 2354},
    {2, 1, -2, 0, 691, 0},
    {2, -1, 0, -2, 596, 0},
    {4, 0, 1, 0, 549, -1423},
    {0, 0, 4, 0, 537, -1117},
    {4, -1, 0, 0, 520, -1571},
    {1, 0, -2, 0, -487, -1739},
    {2, 1, 0, -2, -399, 0},
    {0, 0, 2, -2, -381, -4421},
    {1, 1, 1, 0, 351, 0},
    {3, 0, -2, 0, -340, 0},
    {4, 0, -3, 0, 330, 0},
    {2, -1, 2, 0, 327, 0},
    {0, 2, 1, 0, -323, 1165},
    {1, 1, -1, 0, 299, 0},
    {2, 0, 3, 0, 294, 0},
    {2, 0, -1, -2, 0, 8752},
}};

// Table 47.B: latitude Σb (the cosine column is unused).
constexpr std::array<LunarTerm, 60> LatitudeTerms{{
    {0, 0, 0, 1, 5128122, 0}, {0, 0, 1, 1, 280602, 0},  {0, 0, 1, -1, 277693, 0},
    {2, 0, 0, -1, 173237, 0}, {2, 0, -1, 1, 55413, 0},  {2, 0, -1, -1, 46271, 0},
    {2, 0, 0, 1, 32573, 0},   {0, 0, 2, 1, 17198, 0},   {2, 0, 1, -1, 9266, 0},
    {0, 0, 2, -1, 8822, 0},   {2, -1, 0, -1, 8216, 0},  {2, 0, -2, -1, 4324, 0},
    {2, 0, 1, 1, 4200, 0},    {2, 1, 0, -1, -3359, 0},  {2, -1, -1, 1, 2463, 0},
    {2, -1, 0, 1, 2211, 0},   {2, -1, -1, -1, 2065, 0}, {0, 1, -1, -1, -1870, 0},
    {4, 0, -1, -1, 1828, 0},  {0, 1, 0, 1, -1794, 0},   {0, 0, 0, 3, -1749, 0},
    {0, 1, -1, 1, -1565, 0},  {1, 0, 0, 1, -1491, 0},   {0, 1, 1, 1, -1475, 0},
    {0, 1, 1, -1, -1410, 0},  {0, 1, 0, -1, -1344, 0},  {1, 0, 0, -1, -1335, 0},
    {0, 0, 3, 1, 1107, 0},    {4, 0, 0, -1, 1021, 0},   {4, 0, -1, 1, 833, 0},
    {0, 0, 1, -3, 777, 0},    {4, 0, -2, 1, 671, 0},    {2, 0, 0, -3, 607, 0},
    {2, 0, 2, -1, 596, 0},    {2, -1, 1, -1, 491, 0},   {2, 0, -2, 1, -451, 0},
    {0, 0, 3, -1, 439, 0},    {2, 0, 2, 1, 422, 0},     {2, 0, -3, -1, 421, 0},
    {2, 1, -1, 1, -366, 0},   {2, 1, 0, 1, -351, 0},    {4, 0, 0, 1, 331, 0},
    {2, -1, 1, 1, 315, 0},    {2, -2, 0, -1, 302, 0},   {0, 0, 1, 3, -283, 0},
    {2, 1, 1, -1, -229, 0},   {1, 1, 0, -1, 223, 0},    {1, 1, 0, 1, 223, 0},
    {0, 1, -2, -1, -220, 0},  {2, 1, -1, -1, -220, 0},  {1, 0, 1, 1, -185, 0},
    {2, -1, -2, -1, 181, 0},  {0, 1, 2, 1, -177, 0},    {4, 0, -2, -1, 176, 0},
    {4, -1, -1, -1, 166, 0},  {1, 0, 1, -1, -164, 0},   {4, 0, 1, -1, 132, 0},
    {1, 0, -1, -1, -119, 0},  {4, -1, 0, -1, 115, 0},   {2, -2, 0, 1, 107, 0},
}};

// Four-point Lagrange interpolation (Meeus ch. 3, eq. 3.12) at x in [0, 1]
// between y1 and y2, with y0 at −1 and y3 at 2.
double Lagrange4(double y0, double y1, double y2, double y3, double x) {
    const double xm1 = x + 1.0, x1 = x - 1.0, x2 = x - 2.0;
    return -y0 * x * x1 * x2 / 6.0 + y1 * xm1 * x1 * x2 / 2.0 - y2 * xm1 * x * x2 / 2.0 +
           y3 * xm1 * x * x1 / 6.0;
}

} // namespace

double NormalizeDegrees(double degrees) {
    const double r = std::fmod(degrees, 360.0);
    return r < 0 ? r + 360.0 : r;
}

double SignedDegrees(double degrees) {
    const double r = NormalizeDegrees(degrees);
    return r >= 180.0 ? r - 360.0 : r;
}

Nutation NutationAt(double jde) {
    const double t = Centuries(jde);
    const double node = 125.04452 - 1934.136261 * t + 0.0020708 * t * t + t * t * t / 450000.0;
    const double sunMean = 280.4665 + 36000.7698 * t;
    const double moonMean = 218.3165 + 481267.8813 * t;
    Nutation n;
    n.longitude = (-17.20 * SinDeg(node) - 1.32 * SinDeg(2 * sunMean) -
                   0.23 * SinDeg(2 * moonMean) + 0.21 * SinDeg(2 * node)) /
                  3600.0;
    n.obliquity = (9.20 * CosDeg(node) + 0.57 * CosDeg(2 * sunMean) + 0.10 * CosDeg(2 * moonMean) -
                   0.09 * CosDeg(2 * node)) /
                  3600.0;
    // Eq. 22.2: 23°26′21.448″ − 46.8150″ T − 0.00059″ T² + 0.001813″ T³.
    const double mean = 23.0 + 26.0 / 60.0 +
                        (21.448 - 46.8150 * t - 0.00059 * t * t + 0.001813 * t * t * t) / 3600.0;
    n.trueObliquity = mean + n.obliquity;
    return n;
}

Ecliptic MoonApparent(double jde, const Nutation &nutation) {
    const double t = Centuries(jde);
    const double t2 = t * t, t3 = t2 * t, t4 = t3 * t;
    // Eqs. 47.1–47.6.
    const double meanLongitude =
        218.3164477 + 481267.88123421 * t - 0.0015786 * t2 + t3 / 538841.0 - t4 / 65194000.0;
    const double elongation =
        297.8501921 + 445267.1114034 * t - 0.0018819 * t2 + t3 / 545868.0 - t4 / 113065000.0;
    const double sunAnomaly = 357.5291092 + 35999.0502909 * t - 0.0001536 * t2 + t3 / 24490000.0;
    const double moonAnomaly =
        134.9633964 + 477198.8675055 * t + 0.0087414 * t2 + t3 / 69699.0 - t4 / 14712000.0;
    const double latitudeArgument =
        93.2720950 + 483202.0175233 * t - 0.0036539 * t2 - t3 / 3526000.0 + t4 / 863310000.0;
    const double a1 = 119.75 + 131.849 * t;
    const double a2 = 53.09 + 479264.290 * t;
    const double a3 = 313.45 + 481266.484 * t;
    const double e = 1.0 - 0.002516 * t - 0.0000074 * t2; // 47.6
    const double eFactor[3] = {1.0, e, e * e};

    const double d = NormalizeDegrees(elongation) * Degree;
    const double m = NormalizeDegrees(sunAnomaly) * Degree;
    const double mp = NormalizeDegrees(moonAnomaly) * Degree;
    const double f = NormalizeDegrees(latitudeArgument) * Degree;

    double sumL = 0, sumR = 0, sumB = 0;
    for (const LunarTerm &term : LongitudeDistanceTerms) {
        const double argument = term.d * d + term.m * m + term.mp * mp + term.f * f;
        const double factor = eFactor[std::abs(term.m)];
        sumL += term.sine * factor * std::sin(argument);
        sumR += term.cosine * factor * std::cos(argument);
    }
    for (const LunarTerm &term : LatitudeTerms) {
        const double argument = term.d * d + term.m * m + term.mp * mp + term.f * f;
        sumB += term.sine * eFactor[std::abs(term.m)] * std::sin(argument);
    }
    // The additive terms: Venus (A1), Jupiter (A2) and the Earth's flattening.
    sumL += 3958 * SinDeg(a1) + 1962 * SinDeg(meanLongitude - latitudeArgument) + 318 * SinDeg(a2);
    sumB += -2235 * SinDeg(meanLongitude) + 382 * SinDeg(a3) + 175 * SinDeg(a1 - latitudeArgument) +
            175 * SinDeg(a1 + latitudeArgument) + 127 * SinDeg(meanLongitude - moonAnomaly) -
            115 * SinDeg(meanLongitude + moonAnomaly);

    Ecliptic place;
    place.longitude = NormalizeDegrees(meanLongitude + sumL / 1e6 + nutation.longitude);
    place.latitude = sumB / 1e6;
    place.distanceKm = 385000.56 + sumR / 1000.0;
    return place;
}

Equatorial ToEquatorial(const Ecliptic &place, double obliquity) {
    const double l = place.longitude * Degree, b = place.latitude * Degree, e = obliquity * Degree;
    Equatorial q;
    q.rightAscension = NormalizeDegrees(
        std::atan2(std::sin(l) * std::cos(e) - std::tan(b) * std::sin(e), std::cos(l)) / Degree);
    q.declination =
        std::asin(std::sin(b) * std::cos(e) + std::cos(b) * std::sin(e) * std::sin(l)) / Degree;
    q.distanceKm = place.distanceKm;
    return q;
}

double GreenwichMeanSiderealTime(double jdUt) {
    const double t = Centuries(jdUt);
    // The day count's multiple of 360° is removed before it meets the
    // fraction, so that no precision is lost at large Julian Days.
    const double days = jdUt - J2000;
    const double whole = std::floor(days);
    return NormalizeDegrees(280.46061837 + 0.98564736629 * whole +
                            360.98564736629 * (days - whole) + 0.000387933 * t * t -
                            t * t * t / 38710000.0);
}

GeocentricSky ComputeGeocentricSky(double jdUt) {
    const double jde = jdUt + DeltaTDays(jdUt);
    const Nutation nutation = NutationAt(jde);
    GeocentricSky sky;
    sky.sun = ToEquatorial(SunApparent(jde, nutation), nutation.trueObliquity);
    sky.moon = ToEquatorial(MoonApparent(jde, nutation), nutation.trueObliquity);
    sky.equationOfEquinoxes = nutation.longitude * std::cos(nutation.trueObliquity * Degree);
    return sky;
}

double GreenwichApparentSiderealTime(double jdUt, const GeocentricSky &sky) {
    return NormalizeDegrees(GreenwichMeanSiderealTime(jdUt) + sky.equationOfEquinoxes);
}

SkyTrack::SkyTrack(double firstJdUt, double lastJdUt, double stepDays)
    : first_(firstJdUt - stepDays), step_(stepDays) {
    // One step more on each side: the four-point formula needs a neighbour
    // beyond both ends of every interval.
    const auto count = static_cast<std::size_t>(std::ceil((lastJdUt - firstJdUt) / stepDays)) + 3;
    samples_.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        GeocentricSky sky = ComputeGeocentricSky(first_ + step_ * double(i));
        if (i > 0) {
            const GeocentricSky &previous = samples_.back();
            sky.sun.rightAscension =
                previous.sun.rightAscension +
                SignedDegrees(sky.sun.rightAscension - previous.sun.rightAscension);
            sky.moon.rightAscension =
                previous.moon.rightAscension +
                SignedDegrees(sky.moon.rightAscension - previous.moon.rightAscension);
        }
        samples_.push_back(sky);
    }
}

GeocentricSky SkyTrack::at(double jdUt) const {
    const double position = (jdUt - first_) / step_;
    const auto i = static_cast<std::ptrdiff_t>(std::floor(position));
    if (!(i >= 1 && i + 2 < std::ptrdiff_t(samples_.size()))) {
        return ComputeGeocentricSky(jdUt);
    }
    const double x = position - double(i);
    const GeocentricSky &s0 = samples_[std::size_t(i - 1)];
    const GeocentricSky &s1 = samples_[std::size_t(i)];
    const GeocentricSky &s2 = samples_[std::size_t(i + 1)];
    const GeocentricSky &s3 = samples_[std::size_t(i + 2)];
    const auto interpolate = [&](auto member) {
        return Lagrange4(member(s0), member(s1), member(s2), member(s3), x);
    };
    GeocentricSky sky;
    sky.sun.rightAscension =
        NormalizeDegrees(interpolate([](const GeocentricSky &s) { return s.sun.rightAscension; }));
    sky.sun.declination = interpolate([](const GeocentricSky &s) { return s.sun.declination; });
    sky.sun.distanceKm = interpolate([](const GeocentricSky &s) { return s.sun.distanceKm; });
    sky.moon.rightAscension =
        NormalizeDegrees(interpolate([](const GeocentricSky &s) { return s.moon.rightAscension; }));
    sky.moon.declination = interpolate([](const GeocentricSky &s) { return s.moon.declination; });
    sky.moon.distanceKm = interpolate([](const GeocentricSky &s) { return s.moon.distanceKm; });
    sky.equationOfEquinoxes =
        interpolate([](const GeocentricSky &s) { return s.equationOfEquinoxes; });
    return sky;
}

ObserverPosition ObserverPositionOf(const Place &place) {
    constexpr double axisRatio = 0.99664719; // b / a = 1 − f
    const double phi = place.latitude * Degree;
    const double u = std::atan(axisRatio * std::tan(phi));
    const double height = place.elevation / (EarthRadiusKm * 1000.0);
    return {axisRatio * std::sin(u) + height * std::sin(phi), std::cos(u) + height * std::cos(phi)};
}

double HourAngle(double apparentSiderealTime, const Place &place, const Equatorial &body) {
    return SignedDegrees(apparentSiderealTime + place.longitude - body.rightAscension);
}

Horizontal ToHorizontal(double hourAngle, double declination, double latitude) {
    const double h = hourAngle * Degree, d = declination * Degree, phi = latitude * Degree;
    const double sinAltitude =
        std::sin(phi) * std::sin(d) + std::cos(phi) * std::cos(d) * std::cos(h);
    // Eq. 13.5 in the form without tan δ, which stays finite at the poles.
    const double fromSouth =
        std::atan2(std::cos(d) * std::sin(h),
                   std::cos(d) * std::cos(h) * std::sin(phi) - std::sin(d) * std::cos(phi));
    return {std::asin(std::clamp(sinAltitude, -1.0, 1.0)) / Degree,
            NormalizeDegrees(fromSouth / Degree + 180.0)};
}

Topocentric ToTopocentric(double hourAngle, const Equatorial &body,
                          const ObserverPosition &observer) {
    // In Earth radii, x towards the meridian on the equator, y towards the
    // west (the sense of the hour angle), z towards the celestial pole.
    const double r = body.distanceKm / EarthRadiusKm;
    const double h = hourAngle * Degree, d = body.declination * Degree;
    const double x = r * std::cos(d) * std::cos(h) - observer.rhoCosPhi;
    const double y = r * std::cos(d) * std::sin(h);
    const double z = r * std::sin(d) - observer.rhoSinPhi;
    const double distance = std::sqrt(x * x + y * y + z * z);
    return {std::atan2(y, x) / Degree, std::asin(z / distance) / Degree, distance * EarthRadiusKm};
}

double AngularSeparation(double ra1, double dec1, double ra2, double dec2) {
    const double dRa = (ra2 - ra1) * Degree, d1 = dec1 * Degree, d2 = dec2 * Degree;
    const double a = std::sin((d2 - d1) / 2.0), b = std::sin(dRa / 2.0);
    const double haversine = a * a + std::cos(d1) * std::cos(d2) * b * b;
    return 2.0 * std::asin(std::sqrt(std::clamp(haversine, 0.0, 1.0))) / Degree;
}

double SunSemiDiameter(double distanceKm) {
    return 959.63 / 3600.0 / (distanceKm / AstronomicalUnitKm);
}

double MoonSemiDiameter(double distanceKm) {
    return 358473400.0 / distanceKm / 3600.0;
}

} // namespace lunex
