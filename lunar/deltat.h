#pragma once

// ΔT = TT − UT: how far the Earth's rotation lags behind uniform time. The
// one place where Terrestrial Time becomes Universal Time, for the new moons,
// the sky and the crescents alike.
//
// From 1620 the yearly values of the Earth's observed rotation (to 1954 the
// historical fit of Stephenson, Morrison and Hohenkerk 2016, then the measured
// values) up to 2025, interpolated smoothly; after 2025 a forecast, which
// starts from the last observed value and is only as good as any forecast of
// the Earth's rotation (a few seconds by 2050, tens of seconds by 2100); after
// 2150 the long-term parabola of tidal braking. Before 1620 the Espenak–Meeus
// expressions, joined to the table without a jump.
namespace lunex {

// ΔT in seconds for a decimal year (astronomical numbering: 1 BC is 0).
double DeltaTSeconds(double decimalYear);

// The decimal year of a Julian Day: 2000.0 at 2000 January 1, 0h.
double DecimalYear(double jd);

// ΔT in days for an instant of UT given as a Julian Day.
double DeltaTDays(double jdUt);

// The Julian Day in UT of an instant given in TT (a Julian Ephemeris Day).
double UniversalFromTerrestrial(double jde);

} // namespace lunex
