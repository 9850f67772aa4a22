#pragma once

#include "lunar/apparentsky.h"
#include "lunar/crescent.h"
#include "lunar/horizon.h"
#include "lunar/visibilitymap.h"

#include <QChar>
#include <QDate>
#include <QDateTime>
#include <QString>

// What the crescent's classes and evenings mean in words, for its table and
// its map.
namespace lunex {

QString YallopMeaning(YallopClass c);
QString OdehMeaning(OdehZone z);

// Why an evening (a morning) has no crescent to judge, as a sentence; empty
// for Computed.
QString CrescentStatusText(CrescentStatus status, Direction direction = Direction::Evening);

// The map's legend: each class with its meaning ("A: ..."), and what the
// cells without a class show.
QString LegendLabel(YallopClass c);
QString LegendLabel(OdehZone z);
QString NoCrescentLegendLabel(Direction direction = Direction::Evening);
QString NoEveningLegendLabel(Direction direction = Direction::Evening);

// The map's title: "A holdsarló láthatósága 2026. december 9. estéjén"
// ("reggelén" for a morning).
QString MapTitle(const QDate &date, Direction direction = Direction::Evening);
// Below it: the criterion, the new moon (UTC, to the minute) and the grid's step.
QString MapSubtitle(Criterion criterion, const QDateTime &newMoon, double step,
                    Direction direction = Direction::Evening);

// The nearest of the eight points of the compass to an azimuth (degrees from
// the north through the east): "É", "ÉK", "K", "DK", "D", "DNy", "Ny", "ÉNy".
QString CompassPoint(double azimuth);

// The words of the drawing of where to look. The numbers come formatted.
// "Szeged · 2026. 12. 10. 16:13 · a Hold 8,2° magasan, 243,5° azimutnál (DNy)"
QString SkyCaption(const QString &placeName, const QString &when, const QString &altitude,
                   const QString &azimuth, const QString &compassPoint);
QString SunLabel(const QString &altitude);           // "Nap (−6,3°)"
QString MoonLabel();                                 // "Hold (nagyítva)"
QString BinocularFieldLabel(const QString &degrees); // "10×50 távcső látómezeje (6,5°)"
// "a Hold útja holdnyugtáig"; in the morning "a Hold útja holdkeltétől"
QString MoonPathLabel(Direction direction = Direction::Evening);
// Where the Moon does not set (rise), its path over the hours shown, the
// number formatted: "a Hold útja napnyugta után 3 óráig"; in the morning
// "a Hold útja napkelte előtt 3 órától".
QString MoonPathHoursLabel(const QString &hours, Direction direction = Direction::Evening);
QString CloserLookLabel(const QString &degrees); // "A Hold környéke nagyítva (12° magas)"

// How dark the sky is: "polgári szürkület", "nautikai szürkület",
// "csillagászati szürkület", "éjszaka".
QString TwilightName(Twilight twilight);

// The Moon against the place's own skyline. At the best time: "a helyi
// horizont fölött" or "a helyi horizont mögött". When it goes, the clock time
// formatted: "16:48-kor a helyi horizont mögé bukik"; in the morning "5:12-kor
// a helyi horizont fölé emelkedik". When the skyline hides it all the while:
// "a helyi horizont végig takarja".
QString SkylineAtBestTimeText(bool above);
QString SkylineCrossingText(const QString &clock, Direction direction = Direction::Evening);
QString SkylineHidesMoonText();
// The same in a table's narrow cell: "fölött 16:48", with the clock of the
// crossing; "mögött" alone when the skyline hides it all the while.
QString SkylineCellText(const SkylineMoon &moon, const QString &crossingClock);
// The two together, as the drawing's caption says them: "a Hold a legjobb
// időpontban a helyi horizont fölött, 16:48-kor a helyi horizont mögé bukik".
QString SkylineSummary(bool aboveAtBestTime, const QString &whenItGoes);
// The Sun at the moment and how dark the sky is then, with the altitude
// formatted: "a Nap −7,6° magasan: nautikai szürkület".
QString SkyTwilightText(const QString &sunAltitude, Twilight twilight);

// The map in the window: while it is drawn, the place marked on it, and the
// Earth's picture that could not be read (the map has a plain background).
QString MapInProgressText();
QString MarkedPlaceText(const QString &placeName);
QString EarthMissingText(const QString &path, const QString &reason);
// A file of the coastlines and borders that could not be read: the map is
// drawn without them.
QString ShorelinesMissingText(const QString &path, const QString &reason);
// libical, which writes the calendar files, could not be loaded.
QString CalendarLibraryMissingText();
// The program that reads those files could not be started.
QString ShorelineReaderMissingText(const QString &program);

} // namespace lunex
