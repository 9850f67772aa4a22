#pragma once

#include <QDate>
#include <QDateTime>

#include <cmath>
#include <numbers>

// The common ground of the astronomy: Julian Days, the named epochs and
// angles in degrees.
namespace lunex {

// Radians in one degree: the astronomy and the pictures give angles in
// degrees, the trigonometry takes radians.
inline constexpr double Degree = std::numbers::pi / 180.0;

// Trigonometry of angles in degrees, reduced first: at large Julian Days or
// lunation numbers the arguments reach millions of degrees.
inline double SinDeg(double degrees) {
    return std::sin(std::fmod(degrees, 360.0) * Degree);
}
inline double CosDeg(double degrees) {
    return std::cos(std::fmod(degrees, 360.0) * Degree);
}

// The standard epoch J2000.0 (2000 January 1.5 TT).
inline constexpr double J2000 = 2451545.0;
// The mean new moon of lunation 0 (2000 January 6), Meeus eq. 49.1.
inline constexpr double LunationEpochJde = 2451550.09766;
// Meeus's mean lunation for the lunation count (eq. 49.1), not the program's
// phase constant SynodicMonthDays.
inline constexpr double MeanLunationDays = 29.530588861;

// Julian centuries of 36525 days since J2000.0.
inline double Centuries(double jd) {
    return (jd - J2000) / 36525.0;
}

// The Julian Day of an instant and back. Proleptic Gregorian calendar, as QDate.
double JulianDay(const QDateTime &instant);
QDateTime FromJulianDay(double jd);

// The Julian Day of 0h UT of a date.
inline double JulianDayOfDate(const QDate &date) {
    return double(date.toJulianDay()) - 0.5;
}

// The Universal Time of noon of the local mean solar time of a date (given by
// the Julian Day of its 0h UT) at an east longitude.
inline double LocalMeanNoon(double jdOfDateAtMidnightUt, double longitude) {
    return jdOfDateAtMidnightUt + 0.5 - longitude / 360.0;
}

} // namespace lunex
