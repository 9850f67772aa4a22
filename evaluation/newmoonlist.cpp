#include "evaluation/newmoonlist.h"

#include "lunar/newmoon.h"
#include "store/datafiles.h"
#include "store/fileio.h"

#include <QFileInfo>

namespace lunex {

void MakeNewMoonListIfAbsent(const QString &dataDir, const QTimeZone &zone, const QDate &today) {
    const QString path = AppPath(dataDir, NewMoonListFile);
    const QFileInfo info(path);
    // A link counts as there even when it leads nowhere: it is the user's.
    if (info.exists() || info.isSymLink()) {
        return;
    }
    const QStringList lines =
        QStringList{NewMoonListHeading(zone)} +
        NewMoonTexts(today.year() - ListYearsBack, today.year() + ListYearsAhead, zone);
    WriteFileAtomically(path, ListFileBytes(lines));
}

} // namespace lunex
