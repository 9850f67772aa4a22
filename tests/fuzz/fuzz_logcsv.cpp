// The observation log's file, naplo.csv: whatever it holds, every line is an
// entry or kept as it stood, and what the log writes back reads back as the
// same rows, so that a second save changes nothing.

#include "fuzzsupport.h"
#include "store/logfile.h"

using namespace lunex;
using namespace lunex::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes = Bytes(data, size).toByteArray();
    QList<int> unreadLines;
    const QList<LogRow> rows = ParseLogFile(bytes, &unreadLines);
    const auto unread =
        std::count_if(rows.begin(), rows.end(), [](const LogRow &row) { return !row.entry; });
    Check(unread == unreadLines.size(), "each unread row named by its line");
    for (const LogRow &row : rows) {
        Check(!row.entry || CheckLogEntry(*row.entry) != LogEntryFault::Moment,
              "an entry has a moment with its offset");
        Check(row.entry || bytes.contains(row.unreadText), "an unread row kept as it stood");
    }

    const QByteArray written = LogFileBytes(rows);
    const QList<LogRow> again = ParseLogFile(written);
    Check(again.size() == rows.size(), "as many rows read back",
          QStringLiteral("%1 of %2").arg(again.size()).arg(rows.size()));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        Check(bool(again[i].entry) == bool(rows[i].entry), "entries read back as entries",
              QString::number(i));
    }
    Check(LogFileBytes(again) == written, "a second save changes nothing");
    return 0;
}
