#pragma once

#include <QDateTime>

// The instants of true new moon (conjunction in ecliptic longitude), after
// Meeus, Astronomical Algorithms, 2nd ed., chapter 49, with ΔT from
// lunar/deltat.h. Good to well under a minute for 1900–2100.
namespace lunex {

// The lunation number k counts new moons from that of 2000 January 6 (k = 0);
// negative k are earlier ones.

// Julian Ephemeris Day (Terrestrial Time) of the true new moon of lunation k.
double TrueNewMoonJde(int k);

// The new moon of lunation k in Universal Time, to the millisecond.
QDateTime NewMoonUtc(int k);

// The first lunation whose new moon falls at or after the instant.
int LunationAtOrAfter(const QDateTime &instant);

} // namespace lunex
