#pragma once

#include "store/logfile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTimeZone>

// The log in OpenAstronomyLog 2.1 XML, the form observing-log programs
// exchange: each entry an observation of the Moon by its observer at its
// site, what was seen in Hungarian results (lang="hu"), the optical aid as
// its accessories. Each observer and each site is written once.
namespace lunex {

QByteArray FormatOal(const QList<LogEntry> &entries);

struct OalReading {
    QList<LogEntry> entries; // with their predictions
    QString error;           // empty when the file was read
};

// The observations of the Moon in such a file. A moment keeps its offset,
// and is put on `zone`'s clock where that clock had the same offset then.
// Another program's observation, without Lunex's words for the result, was
// seen: with optical aid when one is named, else by eye.
OalReading ReadOal(const QByteArray &xml, const QTimeZone &zone);

// The entries not yet in the log: an entry at the same moment and place by
// the same observer is already held.
QList<LogEntry> NewEntries(const QList<LogRow> &rows, const QList<LogEntry> &entries);

} // namespace lunex
