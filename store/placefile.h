#pragma once

#include "lunar/ephemeris.h"
#include "messages/messages.h"
#include "store/paths.h"

#include <QString>

// The observer's place, kept in hely.txt beside the other data files: one line
// NAME;LATITUDE;LONGITUDE;ELEVATION with '.' decimals, in Windows-1250, ended
// by CR LF ("Szeged;46.25;20.14;75"). The name is everything before the last
// three fields, so a ';' in it needs no escaping. A name's characters that
// Windows-1250 lacks are written as their letter without its accent (ø as o),
// or as '?' where there is none; a built-in place reads back under its own
// name all the same ("Tromso" with Tromsø's coordinates is Tromsø). The reading
// is lenient: any line end or none, blanks around the fields, a decimal comma,
// a UTF-8 file that an editor marked as such; lines after the first are ignored.
namespace lunex {

struct ObserverPlace {
    QString name;
    Place place;
};

// Budapest, from the built-in places: the place before any choice.
ObserverPlace DefaultObserverPlace();

struct PlaceReading {
    ObserverPlace place;
    // The file is there but could not be read or holds no place: the default
    // stands in, and `message` says so in the user's words.
    bool unreadable = false;
    QString message;
};

// The stored place; the default, silently, when there is no hely.txt at all.
// Nothing is ever written here.
PlaceReading LoadObserverPlace(const QString &dataDir);
FileProblem SaveObserverPlace(const QString &dataDir, const ObserverPlace &place);

} // namespace lunex
