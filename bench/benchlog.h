#pragma once

// The observation logs the benchmarks open: one entry an evening at Szeged
// from 2000 on, each with the first one's prediction, so that the log is what
// is timed, not its making.

#include "store/logfile.h"

#include <QDate>
#include <QTime>
#include <QTimeZone>

namespace lunex::bench {

// The entry of the evening `day` days after 1 January 2000 (before it when
// negative).
inline LogEntry BenchLogEntry(int day) {
    static const LogEntry first = [] {
        LogEntry e;
        e.placeName = QStringLiteral("Szeged");
        e.place = {46.25, 20.14, 75};
        e.observer = QStringLiteral("Kovács Éva");
        e.aid = OpticalAid::Binoculars;
        e.aidText = QStringLiteral("10×50");
        e.notes = QStringLiteral("vékony sarló a párában");
        e.moment = QDateTime(QDate(2000, 1, 1), QTime(17, 30), QTimeZone("Europe/Budapest"));
        return Predicted(e);
    }();
    LogEntry e = first;
    e.moment = QDateTime(QDate(2000, 1, 1).addDays(day), QTime(17, 30), first.moment.timeZone());
    e.result =
        SightingResult(((day % SightingResultCount) + SightingResultCount) % SightingResultCount);
    return e;
}

// A log of `count` such entries in `dir`'s Pic.
inline FileProblem WriteBenchLog(const QString &dir, int count) {
    QList<LogRow> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i) {
        rows.append({BenchLogEntry(i), {}});
    }
    return SaveObservationLog(dir, rows);
}

} // namespace lunex::bench
