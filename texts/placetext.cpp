#include "texts/placetext.h"

#include <cmath>

namespace lunex {

QString LatitudeLetter(double latitude) {
    return latitude < 0 ? QStringLiteral("D") : QStringLiteral("É");
}

QString LongitudeLetter(double longitude) {
    return longitude < 0 ? QStringLiteral("Ny") : QStringLiteral("K");
}

QString PlaceText(const Place &place, const QLocale &locale) {
    return QStringLiteral("%1° %2, %3° %4, %5 m")
        .arg(locale.toString(std::abs(place.latitude), 'f', 2), LatitudeLetter(place.latitude),
             locale.toString(std::abs(place.longitude), 'f', 2), LongitudeLetter(place.longitude),
             locale.toString(place.elevation, 'f', 0));
}

} // namespace lunex
