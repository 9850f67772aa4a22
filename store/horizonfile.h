#pragma once

#include "lunar/horizon.h"
#include "messages/messages.h"

#include <QList>
#include <QString>

// The observer's own skyline, kept in horizont.txt beside hely.txt: the
// horizon list of lunar/horizon.h, one azimuth and altitude a line in degrees,
// '.' decimals, a '#' comment on top saying what the file is, CR LF line ends
// as in the other data files. It belongs to the place in hely.txt; no file,
// or an empty one, is the flat horizon. The reading is as lenient as the
// list's: bad lines are skipped and said.
namespace lunex {

struct HorizonFileReading {
    HorizonProfile skyline;
    // The file is there but could not be read: the flat horizon stands in,
    // and `message` says so in the user's words. Bad lines are said in
    // `message` too, while the others stand.
    bool unreadable = false;
    QString message;
};

// The stored skyline; the flat horizon, silently, when there is no horizont.txt.
HorizonFileReading LoadHorizon(const QString &dataDir);
// The skyline of the place in hely.txt: the flat horizon, silently, where
// hely.txt is not there or cannot be read, for Budapest stands in then and
// the skyline is not Budapest's.
HorizonFileReading LoadStoredPlaceHorizon(const QString &dataDir);
// A flat horizon empties the file rather than leaving an old skyline behind.
FileProblem SaveHorizon(const QString &dataDir, const HorizonProfile &skyline);

} // namespace lunex
