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

// A place's name as a part of a suggested file name ("Szeged-Tápé" for
// "Szeged/Tápé"): letters and digits as they are, every run of anything else
// (a '/', a '.', a blank, a control character) one '-', none at either end,
// and at most 60 characters; "hely" for a name with nothing left.
QString FileNamePart(QStringView name);

} // namespace lunex
