#pragma once

#include "store/logfile.h"
#include "texts/eveningcsv.h"

#include <QList>
#include <QString>

// The log as CSV in the forecast's two forms: one row an entry, the moment on
// its own clock with its offset, the prediction rounded as the forecast shows it.
namespace lunex {

QString FormatLogCsv(const QList<LogEntry> &entries, CsvForm form);

} // namespace lunex
