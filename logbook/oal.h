#pragma once

#include "store/logfile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTimeZone>

#include <array>
#include <functional>

// The log in OpenAstronomyLog 2.1 XML, the form observing-log programs
// exchange: each entry an observation of the Moon by its observer at its
// site, what was seen in Hungarian results (lang="hu"), the optical aid as
// its accessories. Each observer and each site is written once.
namespace lunex {

QByteArray FormatOal(const QList<LogEntry> &entries);

struct OalReading {
    QList<LogEntry> entries; // with their predictions
    QString error;           // empty when the file was read
    // The observations of the Moon left out because the log could not keep
    // them as its own, by LogEntryFault (store/logfile.h).
    std::array<int, LogEntryFaultCount> skipped{};
    bool cancelled = false; // the progress asked to stop: no entries
};

// Told how many of the entries' predictions are made (of how many), it
// answers whether to go on.
using OalProgress = std::function<bool(qsizetype done, qsizetype total)>;

// The observations of the Moon in such a file. A moment keeps its offset,
// and is put on `zone`'s clock where that clock had the same offset then.
// Another program's observation, without Lunex's words for the result, was
// seen: with optical aid when one is named, else by eye. Each is checked as
// the log checks an entry (CheckLogEntry): one the log could not keep is
// left out and counted by its fault. A file with a document type declaration
// is refused: OpenAstronomyLog needs none, and its entities could make a
// small file expand to gigabytes.
OalReading ReadOal(const QByteArray &xml, const QTimeZone &zone, const OalProgress &progress = {});

// The entries not yet in the log: an entry at the same moment and place by
// the same observer is already held.
QList<LogEntry> NewEntries(const QList<LogRow> &rows, const QList<LogEntry> &entries);

} // namespace lunex
