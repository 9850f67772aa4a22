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

namespace lunex {

QString FileNamePart(QStringView name) {
    // Letters and digits only: a separator would lead into another folder, a
    // leading '.' hide the file, and the rest trouble a shell or another
    // system's file names.
    QString part;
    for (const char32_t c : name.toUcs4()) {
        if (QChar::isLetterOrNumber(c)) {
            if (part.size() >= 60) {
                break;
            }
            part += QString::fromUcs4(&c, 1);
        } else if (!part.isEmpty() && !part.endsWith(u'-')) {
            part += u'-';
        }
    }
    while (part.endsWith(u'-')) {
        part.chop(1);
    }
    return part.isEmpty() ? QStringLiteral("hely") : part;
}

} // namespace lunex
