#include "lunar/lunartheory.h"

#include "lunar/ephemeris.h"
#include "lunar/fundamentals.h"
#include "lunar/lunartheory_terms.h"
#include "lunar/solartheory_terms.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace lunex {
namespace {

constexpr double ArcSecond = std::numbers::pi / 648000.0;
constexpr double TwoPi = 2.0 * std::numbers::pi;
constexpr double LightDaysPerKm = 1.0 / 299792.458 / 86400.0;
constexpr double AberrationConstant = 20.4898 / 3600.0; // degrees at 1 au
// VSOP87's dynamical equinox of J2000 moved to that of FK5 (Meeus eq. 32.3;
// the terms with the latitude stay below a thousandth of an arc second). It
// moves the new moons by 0.18 s, about the size of the theory's own error.
constexpr double Fk5Correction = -0.09033 / 3600.0;
// The corrections of the mean motions of the perigee and the node (″ per
// century) that follow from the fitted constants (Chapront and Francou, eq. 6).
constexpr double CorrectionW2 = -0.0040985;
constexpr double CorrectionW3 = 0.0000009;

// An argument in radians: a constant in degrees, arc minutes and arc seconds
// and a rate in arc seconds per Julian century, reduced before they meet.
double Argument(double degrees, double minutes, double seconds, double rate, double t) {
    return (degrees + minutes / 60.0 + seconds / 3600.0) * Degree +
           std::fmod(rate * t * ArcSecond, TwoPi);
}

// The Delaunay arguments D, F, l, l′, the planets' mean longitudes and ζ,
// with the corrections of the fit to DE405 (Chapront and Francou, table 4 and
// the derived corrections of the mean motions of the perigee and the node).
struct ElpArguments {
    double meanLongitude = 0; // W1
    std::array<double, 13> values{};
};

ElpArguments ArgumentsAt(double t) {
    const double t2 = t * t, t3 = t2 * t, t4 = t3 * t;
    const auto series = [&](double c1, double c2, double c3, double c4) {
        return (c2 * t2 + c3 * t3 + c4 * t4) * ArcSecond + std::fmod(c1 * t * ArcSecond, TwoPi);
    };
    const double w1 = Argument(-142, 18, 59.95571 - 0.07008, 0, t) +
                      series(1732559343.73604 - 0.35106, -6.8084 - 0.03743, 0.006604 - 0.00018865,
                             -3.169e-5 - 0.00001024);
    const double w2 = Argument(83, 21, 11.67475 + 0.20794, 0, t) +
                      series(14643420.3171 + 0.08017 + CorrectionW2, -38.2631 + 0.00470602,
                             -0.045047 - 0.00025213, 0.00021301);
    const double w3 = Argument(125, 2, 40.39816 - 0.07215, 0, t) +
                      series(-6967919.5383 - 0.04317 + CorrectionW3, 6.359 - 0.00261070,
                             0.007625 - 0.00010712, -3.586e-5);
    const double earth = Argument(100, 27, 59.13885 - 0.00033, 0, t) +
                         series(129597742.293 + 0.00732, -0.0202, 9e-6, 1.5e-7);
    const double perihelion = Argument(102, 56, 14.45766 - 0.00749, 0, t) +
                              series(1161.24342, 0.529265, -1.1814e-4, 1.1379e-5);
    ElpArguments a;
    a.meanLongitude = w1;
    a.values = {w1 - earth + std::numbers::pi,
                w1 - w3,
                w1 - w2,
                earth - perihelion,
                Argument(-108, 15, 3.216919, 538101628.66888, t),
                Argument(-179, 58, 44.758419, 210664136.45777, t),
                Argument(100, 27, 59.13885, 129597742.293, t),
                Argument(-5, 26, 3.642778, 68905077.65936, t),
                Argument(34, 21, 5.379392, 10925660.57335, t),
                Argument(50, 4, 38.902495, 4399609.33632, t),
                Argument(-46, 3, 4.354234, 1542482.57845, t),
                Argument(-56, 20, 56.808371, 786547.897, t),
                w1 + 5028.79695 * t * ArcSecond};
    return a;
}

// The Moon's longitude V (radians) on the mean ecliptic of date, from ELP's
// departure point: W1 and the series.
double ElpLongitude(double t) {
    const ElpArguments a = ArgumentsAt(t);
    const auto &v = a.values;
    double sum = 0.0;
    for (const elp::MainTerm &term : elp::MainLongitude) {
        const auto &m = term.multiples;
        sum += term.amplitude * std::sin(m[0] * v[0] + m[1] * v[1] + m[2] * v[2] + m[3] * v[3]);
    }
    const auto perturbations = [&v](const auto &terms) {
        double total = 0.0;
        for (const elp::PerturbationTerm &term : terms) {
            double argument = term.phase;
            for (std::size_t i = 0; i < v.size(); ++i) {
                argument += term.multiples[i] * v[i];
            }
            total += term.amplitude * std::sin(argument);
        }
        return total;
    };
    return a.meanLongitude + sum + perturbations(elp::PerturbationT0) +
           t * perturbations(elp::PerturbationT1);
}

struct Spherical {
    double longitude = 0; // radians
    double latitude = 0;
};

// From ELP's ecliptic of date to the fixed ecliptic of J2000, with Laskar's
// precession as ELP/MPP02 gives it (the P, Q rotation of its eq. 8).
Spherical ElpToJ2000(double longitude, double latitude, double t) {
    const double t2 = t * t, t3 = t2 * t, t4 = t3 * t, t5 = t4 * t;
    const double p = 0.10180391e-4 * t + 0.47020439e-6 * t2 - 0.5417367e-9 * t3 -
                     0.2507948e-11 * t4 + 0.463486e-14 * t5;
    const double q = -0.113469002e-3 * t + 0.12372674e-6 * t2 + 0.12654170e-8 * t3 -
                     0.1371808e-11 * t4 - 0.320334e-14 * t5;
    const double root = std::sqrt(1.0 - p * p - q * q);
    const double x = std::cos(longitude) * std::cos(latitude);
    const double y = std::sin(longitude) * std::cos(latitude);
    const double z = std::sin(latitude);
    const double x2 = (1 - 2 * p * p) * x + 2 * p * q * y + 2 * p * root * z;
    const double y2 = 2 * p * q * x + (1 - 2 * q * q) * y - 2 * q * root * z;
    const double z2 = -2 * p * root * x + 2 * q * root * y + (1 - 2 * p * p - 2 * q * q) * z;
    return {std::atan2(y2, x2), std::atan2(z2, std::hypot(x2, y2))};
}

// From the ecliptic and equinox of J2000 to those of date (Meeus eq. 21.5
// with the IAU 1976 constants).
Spherical OfDate(const Spherical &j2000, double jde) {
    const double t = Centuries(jde);
    const double eta = (47.0029 * t - 0.03302 * t * t + 0.000060 * t * t * t) * ArcSecond;
    const double pi = 174.876384 * Degree - (869.8089 * t - 0.03536 * t * t) * ArcSecond;
    const double p = (5029.0966 * t + 1.11113 * t * t - 0.000006 * t * t * t) * ArcSecond;
    const double l = j2000.longitude, b = j2000.latitude;
    const double a = std::cos(eta) * std::cos(b) * std::sin(pi - l) - std::sin(eta) * std::sin(b);
    const double c = std::cos(b) * std::cos(pi - l);
    const double z = std::cos(eta) * std::sin(b) + std::sin(eta) * std::cos(b) * std::sin(pi - l);
    return {p + pi - std::atan2(a, c), std::asin(std::clamp(z, -1.0, 1.0))};
}

// The Moon where it was when the light now arriving left it, in degrees. The
// latitude only tilts the frame (P and Q are below 10⁻³): its change during
// the light's 1.3 s does not matter.
double MoonLongitude(double jde) {
    const Ecliptic rough = MoonApparent(jde, Nutation{});
    const double emitted = jde - rough.distanceKm * LightDaysPerKm;
    const double t = Centuries(emitted);
    return OfDate(ElpToJ2000(ElpLongitude(t), rough.latitude * Degree, t), jde).longitude / Degree;
}

struct Rectangular {
    double x = 0, y = 0, z = 0;
};

template <std::size_t N> double SumSeries(const std::array<vsop87::Term, N> &terms, double tau) {
    double sum = 0.0;
    for (const vsop87::Term &term : terms) {
        sum += term.amplitude * std::cos(term.phase + term.frequency * tau);
    }
    return sum;
}

// The Earth's heliocentric place (au) in the ecliptic and equinox of J2000.
Rectangular EarthHeliocentric(double jde) {
    using namespace vsop87;
    const double tau = (jde - J2000) / 365250.0;
    const double tau2 = tau * tau, tau3 = tau2 * tau;
    return {SumSeries(X0, tau) + tau * SumSeries(X1, tau) + tau2 * SumSeries(X2, tau) +
                tau3 * SumSeries(X3, tau),
            SumSeries(Y0, tau) + tau * SumSeries(Y1, tau) + tau2 * SumSeries(Y2, tau) +
                tau3 * SumSeries(Y3, tau),
            SumSeries(Z0, tau) + tau * SumSeries(Z1, tau)};
}

// The Sun's place of date as the Earth sees it, nutation left out: the
// geometric place turned round from the Earth's, less the annual aberration
// κ/R (Meeus eq. 25.10, κ = 20.4898″; within 0.01″ of the aberration from the
// Earth's true velocity).
Ecliptic SunOfDate(double jde) {
    const Rectangular earth = EarthHeliocentric(jde);
    const double distance = std::sqrt(earth.x * earth.x + earth.y * earth.y + earth.z * earth.z);
    const Spherical j2000{std::atan2(-earth.y, -earth.x),
                          std::atan2(-earth.z, std::hypot(earth.x, earth.y))};
    const Spherical ofDate = OfDate(j2000, jde);
    Ecliptic place;
    place.longitude = ofDate.longitude / Degree + Fk5Correction - AberrationConstant / distance;
    place.latitude = ofDate.latitude / Degree;
    place.distanceKm = distance * AstronomicalUnitKm;
    return place;
}

} // namespace

double MoonApparentLongitude(double jde) {
    return NormalizeDegrees(MoonLongitude(jde) + NutationAt(jde).longitude);
}

Ecliptic SunApparent(double jde, const Nutation &nutation) {
    Ecliptic place = SunOfDate(jde);
    place.longitude = NormalizeDegrees(place.longitude + nutation.longitude);
    return place;
}

double SunApparentLongitude(double jde) {
    return SunApparent(jde, NutationAt(jde)).longitude;
}

} // namespace lunex
