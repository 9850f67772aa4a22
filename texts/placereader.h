#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>

// A place's coordinates and height as the user types them, and the forms a
// field shows them in.
namespace lunex {

enum class Axis { Latitude, Longitude };

// A latitude or a longitude as an observer types it: decimal degrees ("47,5",
// "-19.04", "47,5°") or degrees and minutes, with seconds if wished
// ("47° 29,9′", "47 29.9", "47°29'54\""), the hemisphere given by a sign or by
// its letter before or after the number (É or D for a latitude, K or Ny for a
// longitude, in either case). Only the last part may have decimals, minutes
// and seconds stay below 60. The decimal separator is the locale's, or '.'
// where the locale does not group digits with it. Degrees, north and east
// positive; nothing when the text is none of these or lies beyond 90° (180°).
std::optional<double> ReadCoordinate(QStringView text, Axis axis, const QLocale &locale);

// Metres above sea level, with the same decimal separators, optionally
// followed by "m"; nothing outside LowestElevation..HighestElevation.
std::optional<double> ReadElevation(QStringView text, const QLocale &locale);

// What a field shows: "47,498333° É" (to a millionth of a degree, about ten
// centimetres, trailing zeros left off) and "105"; each reads back as it was.
QString CoordinateText(double degrees, Axis axis, const QLocale &locale);
QString ElevationText(double metres, const QLocale &locale);

} // namespace lunex
