// The OpenAstronomyLog import: whatever the file holds, it is refused with a
// reason or read, and every entry it brings is one the log keeps: written to
// naplo.csv, it reads back.

#include "fuzzsupport.h"
#include "logbook/oal.h"

using namespace lunex;
using namespace lunex::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const QTimeZone budapest("Europe/Budapest");
    // A few predictions an input: each takes a millisecond.
    const OalReading reading = ReadOal(Bytes(data, size).toByteArray(), budapest,
                                       [](qsizetype, qsizetype total) { return total <= 16; });
    Check(reading.error.isEmpty() || reading.entries.isEmpty(), "a refused file brings nothing");
    QList<LogRow> rows;
    for (const LogEntry &e : reading.entries) {
        Check(CheckLogEntry(e) == LogEntryFault::None, "an entry the log keeps");
        rows.append({e, {}});
    }
    for (const LogRow &row : ParseLogFile(LogFileBytes(rows))) {
        Check(bool(row.entry), "an imported entry reads back from the log");
    }
    return 0;
}
