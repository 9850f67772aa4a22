#pragma once

#include <QDateTime>
#include <QTimeZone>

// The instants of true new moon: the Moon and the Sun at the same apparent
// geocentric ecliptic longitude (lunar/lunartheory.h), found from Meeus's
// estimate (Astronomical Algorithms, 2nd ed., chapter 49) by Newton's method,
// and turned into Universal Time with lunar/deltat.h.
//
// Measured against the new moons of 1900–2100 solved from JPL's integration
// DE431 (tests/data/newmoons-tt-sample.csv, every tenth one): in TT 0.23 s
// RMS, 0.9 s at most (1″ of the Moon's longitude is 2 s); Meeus's instant from
// the complete VSOP87 and ELP-2000/82 (his example 49.a) within half a second.
// In UT, rounded to the minute, the reference's own minute for all of them.
// UT carries ΔT's error too: a fraction of a second up to 2025; after that ΔT
// is a forecast that may be off by seconds by 2050 and by tens of seconds by
// 2100.
namespace lunex {

// The lunation number k counts new moons from that of 2000 January 6 (k = 0);
// negative k are earlier ones.

// Meeus's instant of lunation k (Julian Ephemeris Day, TT): chapter 49's
// series, within about twenty seconds of the true instant.
double MeeusNewMoonJde(int k);

// The instant of lunation k (Julian Ephemeris Day, TT) from the full theory.
double TrueNewMoonJde(int k);

// The new moon of lunation k in Universal Time, to the millisecond.
QDateTime NewMoonUtc(int k);

// The first lunation whose new moon falls at or after the instant.
int LunationAtOrAfter(const QDateTime &instant);

// The years the new moons and ΔT serve, and with them lunex-crescents, the
// forecast window and the year at a glance.
inline constexpr int FirstServedYear = 1000;
inline constexpr int LastServedYear = 3000;
// The first and the last lunation whose new moon falls in those years on the
// zone's clock.
int FirstForecastLunation(const QTimeZone &zone);
int LastForecastLunation(const QTimeZone &zone);

} // namespace lunex
