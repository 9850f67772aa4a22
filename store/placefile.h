#pragma once

#include "lunar/ephemeris.h"
#include "messages/messages.h"
#include "store/paths.h"

#include <QString>
#include <QTimeZone>

// The observer's place, kept in hely.txt beside the other data files: one line
// NAME;LATITUDE;LONGITUDE;ELEVATION;ZONE with '.' decimals, in Windows-1250,
// ended by CR LF ("Szeged;46.25;20.14;75;Europe/Budapest"). The zone, a name
// of the time-zone database, came later: a line without it, as older versions
// wrote it, is a place on the system's clock. The name is everything before
// the three numbers, so a ';' in it needs no escaping. A name's characters that
// Windows-1250 lacks are written as their letter without its accent (ø as o),
// or as '?' where there is none; a built-in place reads back under its own
// name all the same ("Tromso" with Tromsø's coordinates is Tromsø). The reading
// is lenient: any line end or none, blanks around the fields, a decimal comma,
// a file in UTF-8, marked as such by an editor or not; lines after the first are ignored.
namespace lunex {

struct ObserverPlace {
    QString name;
    Place place;
    // Its clock: a name of the time-zone database; empty for the system's zone.
    QString zone = {};
};

// The longest name kept, in UTF-16 units: a place's name, not a text. The
// place dialog takes no more, and a longer one in the file is cut there.
inline constexpr qsizetype PlaceNameLimit = 100;

// A name with nothing to see in it: blanks, control characters and the
// invisible ones (a zero-width space U+200B, a word joiner, a filler). The
// place dialog refuses it as it refuses an empty one; read from the file it
// is no name.
bool IsBlankPlaceName(QStringView name);

// The zone whose clock the place's times are shown on.
QTimeZone ZoneOf(const ObserverPlace &place);

// Budapest, from the built-in places, on the system's clock: the place before any choice.
ObserverPlace DefaultObserverPlace();

struct PlaceReading {
    ObserverPlace place;
    // The file is there but could not be read or holds no place: the default
    // stands in, and `message` says so in the user's words.
    bool unreadable = false;
    // Also said, while the place stands: a zone the database does not know,
    // for which the system's zone stands in.
    QString message;
};

// The stored place; the default, silently, when there is no hely.txt at all.
// Nothing is ever written here.
PlaceReading LoadObserverPlace(const QString &dataDir);
FileProblem SaveObserverPlace(const QString &dataDir, const ObserverPlace &place);

} // namespace lunex
