#pragma once

#include <QDateTime>

// ΔT = TT − UT: how far the Earth's rotation lags behind uniform time. The
// one place where Terrestrial Time becomes Universal Time, for the new moons
// and for the sky alike. From the Espenak–Meeus polynomials (NASA's Five
// Millennium Canon of Solar Eclipses, 2006).
namespace lunex {

// ΔT in seconds for the decimal year y = year + (month − 0.5) / 12,
// astronomical year numbering (the year 1 BC is 0). Valid for −1999 to +3000.
double DeltaTSeconds(double decimalYear);

// The decimal year of ΔT for an instant: the middle of its month.
double DecimalYear(const QDateTime &instant);

// ΔT in days for an instant of UT given as a Julian Day.
double DeltaTDays(double jdUt);

} // namespace lunex
