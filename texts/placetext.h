#pragma once

#include "lunar/ephemeris.h"

#include <QLocale>
#include <QString>

// A place on the Earth as the user reads it.
namespace lunex {

// The hemisphere's letter: "É" (north) or "D" of a latitude, "K" (east) or
// "Ny" of a longitude; zero counts as north and east.
QString LatitudeLetter(double latitude);
QString LongitudeLetter(double longitude);

// "47,50° É, 19,04° K, 105 m" in the locale's numbers.
QString PlaceText(const Place &place, const QLocale &locale);

} // namespace lunex
