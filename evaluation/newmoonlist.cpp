#include "evaluation/newmoonlist.h"

#include "lunar/newmoon.h"
#include "store/datafiles.h"
#include "store/fileio.h"

#include <QFileInfo>

namespace lunex {
namespace {

// The zone's wall clock at the instant, rounded to the nearest minute, as a
// UTC date-time that reads like it (so no zone rule applies twice).
QDateTime WallClockMinute(const QDateTime &utc, const QTimeZone &zone) {
    const qint64 offsetMs = qint64{zone.offsetFromUtc(utc)} * 1000;
    const qint64 localMs = utc.toMSecsSinceEpoch() + offsetMs;
    // Rounded on the local clock, not in UT: historical offsets (local mean
    // time) are not whole minutes.
    const qint64 minute = 60000;
    const qint64 shifted = localMs + minute / 2;
    const qint64 rounded = shifted - (((shifted % minute) + minute) % minute);
    // Rounded up across the moment the clocks go forward, the minute is one
    // the clock skips (02:00 for a new moon at 01:59:40): the rounded instant
    // is read off the clock again, which then shows 03:00.
    const qint64 instant = rounded - offsetMs;
    const int offsetThen = zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(instant, Qt::UTC));
    return QDateTime::fromMSecsSinceEpoch(instant + qint64{offsetThen} * 1000, QTimeZone::utc());
}

QString EntryText(const QDateTime &wallClock) {
    return wallClock.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

} // namespace

QString NewMoonText(const QDateTime &utc, const QTimeZone &zone) {
    return EntryText(WallClockMinute(utc, zone));
}

QStringList NewMoonTexts(int fromYear, int toYear, const QTimeZone &zone) {
    QStringList texts;
    if (fromYear > toYear) {
        return texts;
    }
    // Two days early: the zone's offset may put a new moon of the last UT
    // hours of December into the local January.
    const QDateTime start =
        QDateTime(QDate(fromYear, 1, 1), QTime(0, 0), QTimeZone::utc()).addDays(-2);
    for (int k = LunationAtOrAfter(start);; ++k) {
        const QDateTime wallClock = WallClockMinute(NewMoonUtc(k), zone);
        const int year = wallClock.date().year();
        if (year > toYear) {
            break;
        }
        if (year >= fromYear) {
            texts.append(EntryText(wallClock));
        }
    }
    return texts;
}

QString NewMoonListHeading(const QTimeZone &zone) {
    return QStringLiteral("Újholdak (helyi idő: %1)").arg(ZoneName(zone));
}

FileProblem MakeNewMoonListIfAbsent(const QString &dataDir, const QTimeZone &zone,
                                    const QDate &today) {
    if (dataDir.isEmpty()) {
        return FileProblem::NoHome;
    }
    const QString path = AppPath(dataDir, NewMoonListFile);
    const QFileInfo info(path);
    // A link counts as there even when it leads nowhere: it is the user's.
    if (info.exists() || info.isSymLink()) {
        return FileProblem::None;
    }
    const QStringList lines =
        QStringList{NewMoonListHeading(zone)} +
        NewMoonTexts(today.year() - ListYearsBack, today.year() + ListYearsAhead, zone);
    return WriteDataFile(path, ListFileBytes(lines));
}

void PrepareDataFiles(const QString &dataDir, const SystemZoneSetting &zone, const QDate &today,
                      Messenger &messages) {
    if (!zone.unknown.isEmpty()) {
        messages.showMessage(UnknownZoneMessage(zone.unknown), MessageIcon::Warning);
    }
    if (dataDir.isEmpty()) {
        messages.showMessage(NoHomeMessage, MessageIcon::Warning);
        return;
    }
    RemoveStaleSaveCopies(dataDir);
    const FileProblem problem = MakeNewMoonListIfAbsent(dataDir, zone.zone, today);
    if (problem != FileProblem::None) {
        messages.showMessage(WriteFailureMessage(FileNameOf(NewMoonListFile), problem),
                             MessageIcon::Critical);
    }
}

} // namespace lunex
