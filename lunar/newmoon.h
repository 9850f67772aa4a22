#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTimeZone>

// The instants of true new moon (conjunction in ecliptic longitude), after
// Meeus, Astronomical Algorithms, 2nd ed., chapter 49, with ΔT from the
// Espenak–Meeus polynomials. Good to well under a minute for 1900–2100.
namespace lunex {

// The lunation number k counts new moons from that of 2000 January 6 (k = 0);
// negative k are earlier ones.

// Julian Ephemeris Day (Terrestrial Time) of the true new moon of lunation k.
double TrueNewMoonJde(int k);

// ΔT = TT − UT in seconds for the decimal year y = year + (month − 0.5) / 12,
// astronomical year numbering (the year 1 BC is 0). Valid for −1999 to +3000.
double DeltaTSeconds(double decimalYear);

// The decimal year of ΔT for an instant: the middle of its month.
double DecimalYear(const QDateTime &instant);

// The Julian Day of an instant and back. Proleptic Gregorian calendar, as QDate.
double JulianDay(const QDateTime &instant);
QDateTime FromJulianDay(double jd);

// The new moon of lunation k in Universal Time, to the millisecond.
QDateTime NewMoonUtc(int k);

// The first lunation whose new moon falls at or after the instant.
int LunationAtOrAfter(const QDateTime &instant);

// The new moon as the civil clock of the zone shows it, daylight saving
// included, rounded to the nearest minute: "YYYY-MM-DD HH:MM".
QString NewMoonText(const QDateTime &utc, const QTimeZone &zone);

// Every new moon whose local text falls in the years fromYear..toYear of the
// zone, oldest first. Years 1 to 3000 (the form has four digits, ΔT ends);
// the date conversion reads back years from 100 on.
QStringList NewMoonTexts(int fromYear, int toYear, const QTimeZone &zone);

// The span of a list made without asking: last year to ten years ahead.
inline constexpr int ListYearsBack = 1;
inline constexpr int ListYearsAhead = 10;

// The heading line of a list in the zone's civil time, and of one in UTC.
QString NewMoonListHeading(const QTimeZone &zone);
inline constexpr QStringView UtcListHeading = u"Újholdak (UTC)";

} // namespace lunex
